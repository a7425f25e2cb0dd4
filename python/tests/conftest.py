"""What the tests compare with: dsf2vemo-cli, named by DSF2VEMO_CLI."""

import os
import subprocess

import pytest


class Cli:
    def __init__(self, program):
        self.program = program

    def run(self, *arguments, env=None):
        """Runs it in the C locale unless `env` says otherwise."""
        return subprocess.run([self.program, *map(os.fspath, arguments)], capture_output=True,
                              env=env or dict(os.environ, LC_ALL="C"), check=False)

    def error(self, *arguments):
        """The description after "dsf2vemo-cli: error: " of a failing run."""
        run = self.run(*arguments)
        assert run.returncode == 1 and run.stderr.startswith(b"dsf2vemo-cli: error: "), run
        return os.fsdecode(run.stderr[len(b"dsf2vemo-cli: error: "):].rstrip(b"\n"))


@pytest.fixture(scope="session")
def cli():
    program = os.environ.get("DSF2VEMO_CLI")
    if not program or not os.access(program, os.X_OK):
        pytest.fail("DSF2VEMO_CLI must name the dsf2vemo-cli these tests compare with")
    return Cli(program)


@pytest.fixture
def write(tmp_path):
    """Writes bytes to tmp_path / "in.dsf" and returns the path."""
    def write_file(data):
        (tmp_path / "in.dsf").write_bytes(data)
        return tmp_path / "in.dsf"
    return write_file
