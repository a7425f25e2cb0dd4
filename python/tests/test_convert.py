import os
import re
import sys
import warnings

import pytest

import dsf2vemo
from dsf_files import DEMO, GOOD
from test_read_dsf import run_python

OPTIONS = {"output": "-o", "format": "--format", "list_separator": "--list-separator",
           "decimal_separator": "--decimal-separator"}


def cli_options(**kwargs):
    return [word for key, value in kwargs.items() if value for word in (OPTIONS[key], value)]


def convert_both(folder, monkeypatch, data, cli, **kwargs):
    """Converts `data` with dsf2vemo-cli and with convert(kwargs), each in a folder of its own;
    returns what each wrote, with its warnings under "", and the paths convert() returned."""
    results = []
    for side in ["cli", "python"]:
        (folder / side).mkdir()
        (folder / side / "in.dsf").write_bytes(data)
        monkeypatch.chdir(folder / side)
        if side == "cli":
            run = cli.run(*cli_options(**kwargs), "in.dsf", env=os.environ.copy())
            assert run.returncode == 0, run.stderr
            warned = run.stderr.decode().replace("dsf2vemo-cli: warning: ", "")
            # Python's messages write numbers with a point, whatever the decimal separator.
            warned = re.sub(r"(\d),(\d)", r"\1.\2", warned)
        else:
            with warnings.catch_warnings(record=True) as caught:
                warnings.simplefilter("always")
                paths = dsf2vemo.convert("in.dsf", **kwargs)
            warned = "".join(f"{w.message}\n" for w in caught)
        files = {p.name: p.read_bytes() for p in (folder / side).iterdir() if p.suffix != ".dsf"}
        results.append(dict(files, **{"": warned}))
    return results + [paths]


# JSON and Mplus refuse NaN: rows of the refusals below.
@pytest.mark.parametrize("name, output", [
    (name, output) for name in GOOD for output in ["out.txt", "out.json", "out.inp"]
    if name != "not_finite" or output == "out.txt"])
@pytest.mark.parametrize("separators", [{}, {"list_separator": ";", "decimal_separator": ","}])
def test_convert_writes_what_the_command_line_writes(name, output, separators, tmp_path, cli,
                                                     monkeypatch):
    monkeypatch.setenv("LC_ALL", "C")
    by_cli, by_python, paths = convert_both(tmp_path, monkeypatch, GOOD[name][0], cli,
                                            output=output, **separators)
    assert by_python == by_cli and output in by_cli
    assert sorted(path.name for path in paths) == sorted(by_cli)[1:]


@pytest.mark.parametrize("format", [None, "vemo", "json", "mplus"])
@pytest.mark.parametrize("locale, list_separator", [("C", ","), ("de_DE.UTF-8", ";")])
def test_default_names_and_the_locales_separators(format, locale, list_separator, tmp_path, cli,
                                                  monkeypatch):
    if locale != "C":
        # Without it glibc takes the C locale, and the separator below is the wrong one.
        monkeypatch.setenv("LOCPATH", os.environ["DSF2VEMO_TEST_LOCALES"])
    monkeypatch.setenv("LC_ALL", locale)
    by_cli, by_python, paths = convert_both(tmp_path, monkeypatch, GOOD["high_bit_names"][0],
                                            cli, format=format)
    assert by_python == by_cli
    assert sorted(paths) == [tmp_path / "python" / name for name in sorted(by_cli)[1:]]
    if format in (None, "vemo"):
        assert by_cli["in.txt"].startswith(f"rowtype_{list_separator}".encode())


@pytest.mark.parametrize("data, kwargs", [
    (DEMO, {"output": "in.dsf", "format": "json"}),
    (DEMO, {"output": "none/out.txt"}),
    (DEMO, {"list_separator": ".", "decimal_separator": "."}),
    (GOOD["not_finite"][0], {"output": "out.json"}),
    (GOOD["not_finite"][0], {"format": "mplus"}),
])
def test_what_cant_be_written_is_refused_as_the_command_line_refuses_it(data, kwargs, tmp_path,
                                                                        cli, monkeypatch):
    monkeypatch.chdir(tmp_path)
    (tmp_path / "in.dsf").write_bytes(data)
    with pytest.raises(dsf2vemo.DsfError) as raised:
        dsf2vemo.convert("in.dsf", **kwargs)
    assert str(raised.value) == cli.error(*cli_options(**kwargs), "in.dsf")
    assert os.listdir(tmp_path) == ["in.dsf"]


def test_a_format_is_named_as_the_command_line_names_it_and_quiet_warns_nothing(tmp_path):
    (tmp_path / "in.dsf").write_bytes(GOOD["correlation"][0])
    with pytest.raises(ValueError, match="^format must be 'vemo', 'json' or 'mplus', not 'JSON'$"):
        dsf2vemo.convert(tmp_path / "in.dsf", format="JSON")
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        assert dsf2vemo.convert(tmp_path / "in.dsf", quiet=True) == [tmp_path / "in.txt"]


@pytest.mark.skipif(not sys.platform.startswith("linux"), reason="reads glibc's sigaction")
@pytest.mark.parametrize("signal_name", ["SIGINT", "SIGTERM", "SIGHUP", "SIGQUIT", "SIGPIPE",
                                         "SIGXFSZ"])
def test_python_keeps_answering_ctrl_c_after_a_conversion(signal_name, tmp_path):
    # The C handler before and after a conversion: the core must take over neither the one
    # through which Python raises KeyboardInterrupt nor those it leaves to the system or ignores.
    (tmp_path / "in.dsf").write_bytes(DEMO)
    run = run_python(f"""
        import ctypes, signal, dsf2vemo
        def handler():
            action = (ctypes.c_void_p * 32)()
            assert ctypes.CDLL(None).sigaction(signal.{signal_name}, None, action) == 0
            return action[0]
        before = handler()
        dsf2vemo.convert({str(tmp_path / "in.dsf")!r})
        print(handler() == before)
        """)
    assert run.stdout == "True\n", run.stderr
