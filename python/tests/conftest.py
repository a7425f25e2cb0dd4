"""What every test compares with: dsf2vemo-cli, named by DSF2VEMO_CLI."""

import os
import subprocess

import pytest


class Cli:
    def __init__(self, program):
        self.program = program

    def run(self, *arguments, env=None):
        """Runs it in the C locale unless `env` says otherwise."""
        env = env or dict(os.environ, LC_ALL="C")
        return subprocess.run([self.program, *map(os.fspath, arguments)], capture_output=True,
                              env=env, check=False)

    def error(self, *arguments):
        """The description after "dsf2vemo-cli: error: " of a failing run."""
        run = self.run(*arguments)
        assert run.returncode == 1, run
        prefix = b"dsf2vemo-cli: error: "
        assert run.stderr.startswith(prefix) and run.stderr.endswith(b"\n"), run.stderr
        return os.fsdecode(run.stderr[len(prefix):-1])


@pytest.fixture(scope="session")
def cli():
    program = os.environ.get("DSF2VEMO_CLI")
    if not program or not os.access(program, os.X_OK):
        pytest.fail("DSF2VEMO_CLI must name the dsf2vemo-cli these tests compare with")
    return Cli(program)


@pytest.fixture
def write(tmp_path):
    """Writes bytes to a file under tmp_path and returns its path."""

    def write_file(name, data):
        path = tmp_path / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(data)
        return path

    return write_file
