"""The moments of PRELIS 2 data system files (*.dsf) for numpy and pandas.

``read_dsf()`` reads a file into a :class:`Moments`: the covariance matrix and the means as numpy
arrays holding exactly the file's doubles, the names and the header as text, and what the
diagnosis found. ``convert()`` writes the converter's formats (the Vemo text data file, JSON,
Mplus summary data) as ``dsf2vemo-cli`` does.
"""

from __future__ import annotations

import os
import warnings
from dataclasses import dataclass
from pathlib import Path
from typing import TYPE_CHECKING, List, Optional, Tuple, Union

import numpy

from . import _core
from ._core import DsfError

DsfError.__module__ = __name__

if TYPE_CHECKING:
    import pandas

__all__ = ["DsfError", "DsfWarning", "Moments", "convert", "read_dsf", "__version__"]

# The version of the converter ("1.00") as Python writes versions ("1.0").
__version__ = ".".join(str(int(part)) for part in _core.version_text.split("."))

PathArgument = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]


class DsfWarning(UserWarning):
    """Something in a file that was read makes its moments suspect as a covariance matrix."""


@dataclass(frozen=True, eq=False)
class Moments:
    """The moments a data system file holds.

    Attributes:
        header: the header text without its padding, decoded from Windows-1252.
        cases: the number of cases.
        names: the variable names, in file order.
        cov: the p x p second-moment matrix, symmetric, exactly the file's doubles.
        means: the p means.
        findings: what the diagnosis found suspect, one sentence each.
    """

    header: str
    cases: int
    names: List[str]
    cov: numpy.ndarray
    means: numpy.ndarray
    findings: List[str]

    def to_pandas(self) -> Tuple[pandas.DataFrame, pandas.Series]:
        """The matrix as a DataFrame and the means as a Series, indexed by the names."""
        import pandas

        return (
            pandas.DataFrame(self.cov, index=self.names, columns=self.names),
            pandas.Series(self.means, index=self.names, name="mean"),
        )

    def __repr__(self) -> str:
        return (f"Moments(header={self.header!r}, cases={self.cases}, "
                f"{len(self.names)} variables, {len(self.findings)} findings)")


def _path(path: PathArgument) -> Union[str, bytes]:
    given = os.fspath(path)
    if (b"\0" if isinstance(given, bytes) else "\0") in given:
        raise ValueError("embedded null byte")
    return given


def _input(path: PathArgument) -> Tuple[Union[str, bytes], bytes]:
    """The path as the core takes it, and as the messages name it."""
    given = _path(path)
    return given, os.fsencode(given)


def _warn(text: bytes, sentences: List[str]) -> None:
    name = os.fsdecode(text)
    for sentence in sentences:
        warnings.warn(f"{name}: {sentence}", DsfWarning, stacklevel=3)


def read_dsf(path: PathArgument, *, quiet: bool = False) -> Moments:
    """Reads a data system file.

    Args:
        path: the file, as ``str``, ``bytes`` or ``os.PathLike``.
        quiet: when true, the findings are not issued as :class:`DsfWarning`.

    Raises:
        FileNotFoundError: the file doesn't exist.
        DsfError: the file can't be read or is damaged; the message is the converter's.
    """
    given, text = _input(path)
    header, cases, names, cov, means, findings = _core.read(given, text)
    if not quiet:
        _warn(text, findings)
    return Moments(header, cases, names, cov, means, findings)


def convert(
    input: PathArgument,
    output: Optional[PathArgument] = None,
    format: Optional[str] = None,
    list_separator: Optional[str] = None,
    decimal_separator: Optional[str] = None,
    *,
    quiet: bool = False,
) -> List[Path]:
    """Converts a data system file as ``dsf2vemo-cli`` does, and returns the files written.

    Args:
        input: the data system file.
        output: the file to write; by default the input's name with the format's extension
            (``study.txt``, ``study.json``, ``study.inp``). Its extension chooses the format
            unless ``format`` is given: ``.json`` JSON, ``.inp`` Mplus, anything else the Vemo
            text data file.
        format: ``"vemo"``, ``"json"`` or ``"mplus"`` (an input file and its data file).
        list_separator, decimal_separator: for the text data file; by default the locale's.
        quiet: when true, the findings and Mplus's renamings are not issued as warnings.

    An existing file is replaced only by a complete new one; a failed conversion changes none.

    Raises:
        FileNotFoundError: the input doesn't exist.
        DsfError: the input can't be read or the output can't be written, in the converter's
            words.
    """
    given, text = _input(input)
    target = None if output is None else _path(output)
    paths, findings, notes = _core.convert(given, text, target, format, list_separator,
                                           decimal_separator)
    if not quiet:
        _warn(text, findings + notes)
    return paths
