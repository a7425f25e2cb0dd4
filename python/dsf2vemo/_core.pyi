"""The converter's core; the dsf2vemo package's functions are the ones to call."""

import os
from pathlib import Path
from typing import List, Optional, Tuple, Union

import numpy

_Path = Union[str, bytes, "os.PathLike[str]", "os.PathLike[bytes]"]

version_text: str

class DsfError(ValueError): ...

def read(
    input: _Path, input_text: bytes
) -> Tuple[str, int, List[str], numpy.ndarray, numpy.ndarray, List[str]]: ...
def convert(
    input: _Path,
    input_text: bytes,
    output: Optional[_Path],
    format: Optional[str],
    list_separator: Optional[str],
    decimal_separator: Optional[str],
) -> Tuple[List[Path], List[str], List[str]]: ...
