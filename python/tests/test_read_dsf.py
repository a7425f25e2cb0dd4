import errno
import importlib.metadata
import os
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
    m = dsf2vemo.read_dsf(write("in.dsf", data), quiet=True)
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
    path = write("in.dsf", GOOD[name][0])
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
    path = write("in.dsf", DAMAGED[name])
    with pytest.raises(dsf2vemo.DsfError) as raised:
        dsf2vemo.read_dsf(path)
    assert isinstance(raised.value, ValueError)
    assert str(raised.value) == cli.error("--check", path)


def test_the_words_are_the_readers(write):
    path = write("in.dsf", DEMO[:127])
    with pytest.raises(dsf2vemo.DsfError, match=r"^cannot read '.*in\.dsf': the file is 127 bytes "
                       r"long, but a data system file with 2 variables needs 128 bytes$"):
        dsf2vemo.read_dsf(path)


@pytest.mark.parametrize("make_path", [str, os.fsencode, lambda p: p])
def test_a_missing_file_is_file_not_found_as_open_says_it(make_path, tmp_path):
    path = make_path(tmp_path / "missing.dsf")
    with pytest.raises(FileNotFoundError) as raised:
        dsf2vemo.read_dsf(path)
    with pytest.raises(FileNotFoundError) as opened:
        open(os.fsdecode(path), "rb")
    assert raised.value.errno == errno.ENOENT
    assert str(raised.value) == str(opened.value)


def test_what_exists_but_cant_be_read_is_a_dsf_error(tmp_path):
    with pytest.raises(dsf2vemo.DsfError, match="it is a folder, not a file$"):
        dsf2vemo.read_dsf(tmp_path)


@pytest.mark.parametrize("make_path", [str, os.fsencode, lambda p: p])
@pytest.mark.parametrize("file_name", ["demo.dsf", "caf\udce9 ü.dsf"])
def test_paths_as_str_bytes_and_path_like(make_path, file_name, write):
    path = write(file_name, DEMO)
    assert dsf2vemo.read_dsf(make_path(path)).names == ["X1", "X2"]
    path.write_bytes(DEMO[:100])
    with pytest.raises(dsf2vemo.DsfError) as raised:
        dsf2vemo.read_dsf(make_path(path))
    assert str(raised.value).startswith(f"cannot read '{path}': ")


@pytest.mark.parametrize("path, error", [("a\0b.dsf", ValueError), (b"a\0b", ValueError),
                                         (7, TypeError), (None, TypeError)])
def test_what_is_no_path_is_refused(path, error):
    with pytest.raises(error):
        dsf2vemo.read_dsf(path)


def test_the_version_is_the_converters(cli):
    assert cli.run("--version").stdout == b"dsf2vemo 1.00\n"
    assert dsf2vemo.__version__ == importlib.metadata.version("dsf2vemo") == "1.0"


def run_python(script, timeout=60):
    return subprocess.run([sys.executable, "-c", textwrap.dedent(script)], capture_output=True,
                          text=True, timeout=timeout, check=False)


def test_other_threads_run_while_the_core_reads(tmp_path):
    # The reader waits in the core for a writer of the pipe, which only another thread can be:
    # with the GIL held, nothing would ever open it.
    fifo = tmp_path / "pipe.dsf"
    os.mkfifo(fifo)
    run = run_python(f"""
        import threading, dsf2vemo
        failures = []
        def read():
            try:
                dsf2vemo.read_dsf({str(fifo)!r})
            except dsf2vemo.DsfError as error:
                failures.append(error)
        reader = threading.Thread(target=read)
        reader.start()
        open({str(fifo)!r}, "wb").close()
        reader.join()
        print(len(failures))
        """, timeout=30)
    assert run.stdout == "1\n", run.stderr


@pytest.mark.parametrize("size, error", [(72 + 20 * 20000 + 4 * 20000**2, "MemoryError"),
                                         (72, "DsfError")])
def test_running_out_of_memory_is_a_memory_error(size, error, tmp_path):
    # 20000 variables in a sparse file of 1.6 GB for a process that may have 1 GB; with nothing
    # after the counts, the file is refused before anything is allocated.
    path = tmp_path / "big.dsf"
    with open(path, "wb") as file:
        file.write(DEMO[:68] + (20000).to_bytes(4, "little"))
        file.truncate(size)
    run = run_python(f"""
        import resource, dsf2vemo
        resource.setrlimit(resource.RLIMIT_AS, (1 << 30, 1 << 30))
        try:
            dsf2vemo.read_dsf({str(path)!r})
        except Exception as error:
            print(type(error).__name__, error)
        """)
    assert run.stdout.startswith(error + " cannot read"), run.stdout + run.stderr
