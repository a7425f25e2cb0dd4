import os
import re
import sys
import warnings

import pytest

import dsf2vemo
from dsf_files import DEMO, GOOD
from test_read_dsf import run_python

EXTENSIONS = {"vemo": ".txt", "json": ".json", "mplus": ".inp"}


def written(folder):
    return {path.name: path.read_bytes() for path in sorted(folder.iterdir())
            if path.suffix != ".dsf"}


def convert_both(tmp_path, monkeypatch, data, cli, cli_options, **options):
    """Converts `data` with dsf2vemo-cli and with convert(), each in a folder of its own; returns
    what each wrote, the paths convert() returned and the warnings of both."""
    results = []
    for side in ["cli", "python"]:
        folder = tmp_path / side
        folder.mkdir()
        (folder / "in.dsf").write_bytes(data)
        monkeypatch.chdir(folder)
        if side == "cli":
            run = cli.run(*cli_options, "in.dsf", env=os.environ.copy())
            assert run.returncode == 0, run.stderr
            results.append(run.stderr.decode().replace("dsf2vemo-cli: warning: ", ""))
        else:
            with warnings.catch_warnings(record=True) as caught:
                warnings.simplefilter("always")
                paths = dsf2vemo.convert("in.dsf", **options)
            results.append("".join(f"{w.message}\n" for w in caught))
    return written(tmp_path / "cli"), written(tmp_path / "python"), paths, results


@pytest.mark.parametrize("name", GOOD)
@pytest.mark.parametrize("format", EXTENSIONS)
@pytest.mark.parametrize("separators", [(), (";", ",")])
def test_convert_writes_what_the_command_line_writes(name, format, separators, tmp_path, cli,
                                                     monkeypatch):
    monkeypatch.setenv("LC_ALL", "C")
    data = GOOD[name][0]
    output = "out" + EXTENSIONS[format]
    options = ["-o", output]
    kwargs = {"output": output}
    if separators:
        options += ["--list-separator", separators[0], "--decimal-separator", separators[1]]
        kwargs.update(list_separator=separators[0], decimal_separator=separators[1])
    if name == "not_finite" and format != "vemo":
        # JSON and Mplus have no words for NaN.
        monkeypatch.chdir(tmp_path)
        (tmp_path / "in.dsf").write_bytes(data)
        with pytest.raises(dsf2vemo.DsfError) as raised:
            dsf2vemo.convert("in.dsf", **kwargs)
        assert str(raised.value) == cli.error(*options, "in.dsf")
        assert os.listdir(tmp_path) == ["in.dsf"]
        return
    by_cli, by_python, paths, (cli_warnings, python_warnings) = convert_both(
        tmp_path, monkeypatch, data, cli, options, **kwargs)
    assert by_python == by_cli and output in by_cli
    assert sorted(path.name for path in paths) == list(by_cli)
    # Python's messages write numbers with a point, whatever the file's decimal separator.
    assert python_warnings == re.sub(r"(\d),(\d)", r"\1.\2", cli_warnings)


@pytest.mark.parametrize("format", [None, *EXTENSIONS])
@pytest.mark.parametrize("locale, list_separator", [("C", ","), ("de_DE.UTF-8", ";")])
def test_default_names_and_the_locales_separators(format, locale, list_separator, tmp_path, cli,
                                                  monkeypatch):
    locales = os.environ.get("DSF2VEMO_TEST_LOCALES")
    if locale != "C":
        if not locales or not os.path.isdir(os.path.join(locales, locale)):
            pytest.fail("DSF2VEMO_TEST_LOCALES must name the folder of the test locales")
        monkeypatch.setenv("LOCPATH", locales)
    monkeypatch.setenv("LC_ALL", locale)
    options = ["--format", format] if format else []
    by_cli, by_python, paths, _ = convert_both(tmp_path, monkeypatch, GOOD["high_bit_names"][0],
                                               cli, options, format=format)
    assert by_python == by_cli
    assert sorted(paths) == [tmp_path / "python" / name for name in by_cli]
    if format in (None, "vemo"):
        assert by_cli["in.txt"].startswith(f"rowtype_{list_separator}".encode())


@pytest.mark.parametrize("call, options", [
    ({"output": "in.dsf", "format": "json"}, ["-o", "in.dsf", "--format", "json"]),
    ({"output": "none/out.txt"}, ["-o", "none/out.txt"]),
    ({"list_separator": ".", "decimal_separator": "."},
     ["--list-separator", ".", "--decimal-separator", "."]),
])
def test_what_cant_be_written_is_refused_as_the_command_line_refuses_it(call, options, tmp_path,
                                                                        cli, monkeypatch):
    monkeypatch.chdir(tmp_path)
    (tmp_path / "in.dsf").write_bytes(DEMO)
    with pytest.raises(dsf2vemo.DsfError) as raised:
        dsf2vemo.convert("in.dsf", **call)
    assert str(raised.value) == cli.error(*options, "in.dsf")
    assert os.listdir(tmp_path) == ["in.dsf"]


def test_a_format_must_be_named_as_the_command_line_names_it(tmp_path):
    (tmp_path / "in.dsf").write_bytes(DEMO)
    with pytest.raises(ValueError, match="^format must be 'vemo', 'json' or 'mplus', not 'JSON'$"):
        dsf2vemo.convert(tmp_path / "in.dsf", format="JSON")
    assert dsf2vemo.convert(tmp_path / "in.dsf", format="json") == [tmp_path / "in.json"]


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="reads glibc's sigaction")
def test_python_keeps_answering_ctrl_c_after_a_conversion(tmp_path):
    # The handler of SIGINT in C, before and after a conversion: the core must not take over the
    # one through which Python raises KeyboardInterrupt.
    (tmp_path / "in.dsf").write_bytes(DEMO)
    run = run_python(f"""
        import ctypes, signal, dsf2vemo
        libc = ctypes.CDLL(None, use_errno=True)
        def handler():
            action = (ctypes.c_void_p * 32)()
            assert libc.sigaction(signal.SIGINT, None, action) == 0
            return action[0]
        before = handler()
        dsf2vemo.convert({str(tmp_path / "in.dsf")!r})
        print(before is not None and handler() == before)
        """)
    assert run.stdout == "True\n", run.stderr


def test_a_quiet_conversion_warns_nothing(tmp_path):
    (tmp_path / "in.dsf").write_bytes(GOOD["correlation"][0])
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert dsf2vemo.convert(tmp_path / "in.dsf", quiet=True) == [tmp_path / "in.txt"]
