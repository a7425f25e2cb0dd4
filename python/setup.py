"""Builds the extension dsf2vemo._core from the converter's own C++ core.

In the repository the core sits beside this folder; it is copied into bundled/ before each build,
so that an sdist carries it and builds on its own. {fmt}, Eigen and JSON for Modern C++ are
header-only and come from the system, or from the folders DSF2VEMO_INCLUDE_DIRS lists.
"""

import os
import re
import shutil
import sys
import sysconfig
from pathlib import Path

import pybind11
from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

HERE = Path(__file__).resolve().parent
BUNDLED = HERE / "bundled"
REPOSITORY = HERE.parent


def bundle_core():
    """Refreshes bundled/ from the repository; in an sdist, bundled/ is all there is."""
    if not (REPOSITORY / "core" / "CMakeLists.txt").is_file():
        if not (BUNDLED / "resources" / "version.h").is_file():
            sys.exit("dsf2vemo: the converter's core is neither beside this folder nor bundled")
        return
    shutil.rmtree(BUNDLED, ignore_errors=True)
    sources = shutil.ignore_patterns("CMakeLists.txt")
    shutil.copytree(REPOSITORY / "core", BUNDLED / "core", ignore=sources)
    shutil.copytree(REPOSITORY / "util", BUNDLED / "util", ignore=sources)
    (BUNDLED / "resources").mkdir()
    shutil.copy2(REPOSITORY / "resources" / "version.h", BUNDLED / "resources")


def package_version():
    """The version of resources/version.h ("1.00") in its Python form ("1.0")."""
    text = (BUNDLED / "resources" / "version.h").read_text(encoding="ascii")
    found = re.search(r'^#define DSF2VEMO_VERSION_TEXT "(\d+)\.(\d+)"$', text, re.MULTILINE)
    if not found:
        sys.exit('dsf2vemo: resources/version.h holds no DSF2VEMO_VERSION_TEXT "N.NN"')
    return f"{int(found[1])}.{int(found[2])}"


def components():
    """Every folder of the core is a component, so that one added to it is built here too."""
    return sorted(folder.name for folder in (BUNDLED / "core").iterdir() if folder.is_dir())


def core_sources():
    """The core's portable sources and this platform's: *_posix.cpp or *_win32.cpp."""
    other = "_posix.cpp" if os.name == "nt" else "_win32.cpp"
    sources = []
    for component in components():
        for source in sorted((BUNDLED / "core" / component).glob("*.cpp")):
            if not source.name.endswith(other):
                sources.append(source.relative_to(HERE).as_posix())
    return sources


def header_folders():
    """Folders of the header-only libraries that the compiler doesn't search by itself."""
    listed = [p for p in os.environ.get("DSF2VEMO_INCLUDE_DIRS", "").split(os.pathsep) if p]
    prefixes = [sys.prefix, os.environ.get("CONDA_PREFIX", ""), "/usr", "/usr/local",
                "/opt/homebrew"]
    candidates = listed + [os.path.join(p, "include") for p in prefixes if p]
    folders = []
    for header, below in [("fmt/format.h", ""), ("nlohmann/json.hpp", ""),
                          ("Eigen/Cholesky", "eigen3")]:
        found = [os.path.normpath(os.path.join(c, sub))
                 for c in candidates for sub in dict.fromkeys([below, ""])
                 if os.path.isfile(os.path.join(c, sub, header))]
        if not found:
            sys.exit(f"dsf2vemo: {header} not found; install {{fmt}}, Eigen 3 and JSON for Modern "
                     "C++ (Debian: libfmt-dev libeigen3-dev nlohmann-json3-dev; Homebrew: fmt "
                     "eigen nlohmann-json) or name their include folders in "
                     "DSF2VEMO_INCLUDE_DIRS")
        # The compiler's own folders stay off the command line, where they would change their
        # order.
        if found[0] not in folders + ["/usr/include", "/usr/local/include"]:
            folders.append(found[0])
    return folders


def compile_flags(third_party):
    if os.name == "nt":
        return ["/utf-8", "/EHsc"]
    if os.environ.get("DSF2VEMO_WERROR", "").upper() not in ("1", "ON"):
        return ["-Wall", "-Wextra"]
    # The project's own builds: its warnings, as errors, for its code but not for the headers of
    # others, which -isystem makes system headers.
    flags = ["-Wall", "-Wextra", "-Wpedantic", "-Wshadow", "-Wconversion", "-Wnon-virtual-dtor",
             "-Wold-style-cast", "-Wno-restrict", "-Werror"]
    for folder in third_party + [pybind11.get_include(), sysconfig.get_paths()["include"]]:
        flags += ["-isystem", folder]
    return flags


bundle_core()
ParallelCompile("DSF2VEMO_BUILD_JOBS", default=2).install()

third_party = header_folders()
extension = Pybind11Extension(
    "dsf2vemo._core",
    ["src/core_module.cpp"] + core_sources(),
    include_dirs=[f"bundled/{folder}" for folder in ["resources", "util"]]
    + [f"bundled/core/{component}" for component in components()]
    + third_party,
    define_macros=[("FMT_HEADER_ONLY", "1")],
    extra_compile_args=compile_flags(third_party),
    cxx_std=20,
)

setup(version=package_version(), ext_modules=[extension], cmdclass={"build_ext": build_ext})
