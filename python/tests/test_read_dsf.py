import ast
import errno
import importlib.metadata
import os
import re
import subprocess
import sys
import textwrap
import warnings

import numpy
import pytest

import dsf2vemo
from dsf_files import DAMAGED, DEMO, GOOD, moments_of


@pytest.mark.parametrize("name", GOOD)
def test_moments_are_the_files_own_doubles(name, write):
    data, header, names = GOOD[name]
    m = dsf2vemo.read_dsf(write(data), quiet=True)
    cov, means = moments_of(data)
    assert (m.header, m.cases, m.names) == (header, int.from_bytes(data[64:68], "little"), names)
    assert m.cov.dtype == m.means.dtype == numpy.float64
    assert numpy.array_equal(m.cov.view("<u8"), cov)
    assert numpy.array_equal(m.means.view("<u8"), means)
    # Handed over from the core as they are: numpy owns no copy of its own.
    assert not m.cov.flags.owndata and type(m.cov.base).__name__ == "PyCapsule"
    frame, series = m.to_pandas()
    assert list(frame.index) == list(frame.columns) == list(series.index) == names
    assert numpy.array_equal(frame.to_numpy().view("<u8"), cov)
    assert numpy.array_equal(series.to_numpy().view("<u8"), means)


@pytest.mark.parametrize("name, quiet, warned", [
    ("demo", False, False), ("correlation", False, True), ("correlation", True, False)])
def test_findings_are_the_diagnosis_and_warnings_unless_quiet(name, quiet, warned, write, cli):
    path = write(GOOD[name][0])
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        m = dsf2vemo.read_dsf(path, quiet=quiet)
    checked = cli.run("--check", path).stdout.decode()
    assert m.findings == ([] if checked == f"{path}: no findings\n" else
                          [line.split(": ", 1)[1] for line in checked.splitlines()])
    assert bool(m.findings) == (name == "correlation")
    assert all(f.startswith("every variance is exactly 1") for f in m.findings)
    assert [(w.category, str(w.message), w.filename) for w in caught] == [
        (dsf2vemo.DsfWarning, f"{path}: {f}", __file__) for f in m.findings if warned]


@pytest.mark.parametrize("name", DAMAGED)
def test_a_damaged_file_is_a_dsf_error_in_the_converters_words(name, write, cli):
    path = write(DAMAGED[name])
    with pytest.raises(dsf2vemo.DsfError) as raised:
        dsf2vemo.read_dsf(path)
    assert isinstance(raised.value, ValueError)
    assert str(raised.value) == cli.error("--check", path)
    if name == "one_byte_short":
        assert str(raised.value) == (f"cannot read '{path}': the file is 127 bytes long, but a "
                                     "data system file with 2 variables needs 128 bytes")


@pytest.mark.parametrize("make_path", [str, os.fsencode, lambda p: p])
@pytest.mark.parametrize("file_name", ["demo.dsf", "caf\udce9 ü.dsf"])
def test_paths_as_str_bytes_and_path_like(make_path, file_name, tmp_path):
    path = tmp_path / file_name
    with pytest.raises(FileNotFoundError) as raised:
        dsf2vemo.read_dsf(make_path(path))
    with pytest.raises(FileNotFoundError) as opened:
        open(path, "rb")
    assert str(raised.value) == str(opened.value) and raised.value.errno == errno.ENOENT
    path.write_bytes(DEMO)
    assert dsf2vemo.read_dsf(make_path(path)).names == ["X1", "X2"]
    # An output too; of Mplus's pair the input file comes first.
    written = dsf2vemo.convert(make_path(path), make_path(tmp_path / "out.inp"))
    assert written == [tmp_path / "out.inp", tmp_path / "out.dat"]
    assert sorted(os.listdir(tmp_path)) == sorted([file_name, "out.dat", "out.inp"])
    path.write_bytes(DEMO[:100])
    with pytest.raises(dsf2vemo.DsfError, match=f"^cannot read '{re.escape(str(path))}': "):
        dsf2vemo.read_dsf(make_path(path))


@pytest.mark.parametrize("path, error", [(".", dsf2vemo.DsfError), ("a\0b.dsf", ValueError),
                                         (b"a\0b", ValueError), (7, TypeError), (None, TypeError)])
def test_what_is_no_file_is_refused(path, error):
    with pytest.raises(error):
        dsf2vemo.read_dsf(path)


def test_the_version_is_the_converters(cli):
    assert cli.run("--version").stdout == b"dsf2vemo 1.00\n"
    assert dsf2vemo.__version__ == importlib.metadata.version("dsf2vemo") == "1.0"


def test_the_package_carries_its_types_and_a_stub_of_every_name_of_the_core():
    folder = os.path.dirname(dsf2vemo.__file__)
    assert os.path.isfile(os.path.join(folder, "py.typed"))
    with open(os.path.join(folder, "_core.pyi"), encoding="utf-8") as stub:
        tree = ast.parse(stub.read())
    stubbed = {target.id for node in tree.body if isinstance(node, ast.AnnAssign)
               for target in [node.target]}
    stubbed |= {node.name for node in tree.body
                if isinstance(node, (ast.FunctionDef, ast.ClassDef))}
    assert stubbed == {name for name in dir(dsf2vemo._core) if not name.startswith("_")}


def run_python(script, timeout=60):
    return subprocess.run([sys.executable, "-c", textwrap.dedent(script)], capture_output=True,
                          text=True, timeout=timeout, check=False)


@pytest.mark.parametrize("function", ["read_dsf", "convert"])
def test_other_threads_run_while_the_core_reads(function, tmp_path):
    # The reader waits in the core for a writer of the pipe, which only another thread can be:
    # with the GIL held, nothing would ever open it.
    os.mkfifo(tmp_path / "pipe.dsf")
    run = run_python(f"""
        import concurrent.futures, dsf2vemo
        read = concurrent.futures.ThreadPoolExecutor().submit(dsf2vemo.{function}, {str(tmp_path / "pipe.dsf")!r})
        open({str(tmp_path / "pipe.dsf")!r}, "wb").close()
        print(type(read.exception()).__name__)
        """, timeout=30)
    assert run.stdout == "DsfError\n", run.stderr


@pytest.mark.parametrize("size, error", [(72 + 20 * 20000 + 4 * 20000**2, "MemoryError"),
                                         (72, "DsfError")])
def test_running_out_of_memory_is_a_memory_error(size, error, tmp_path):
    # 20000 variables in a sparse file of 1.6 GB for a process that may have 1 GB; with nothing
    # after the counts, the file is refused before anything is allocated.
    with open(tmp_path / "big.dsf", "wb") as file:
        file.write(DEMO[:68] + (20000).to_bytes(4, "little"))
        file.truncate(size)
    run = run_python(f"""
        import concurrent.futures, resource, dsf2vemo
        resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
        error = concurrent.futures.ThreadPoolExecutor().submit(dsf2vemo.read_dsf, {str(tmp_path / "big.dsf")!r}).exception()
        print(type(error).__name__, error)
        """)
    assert run.stdout.startswith(error + " cannot read"), run.stdout + run.stderr
