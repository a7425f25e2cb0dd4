#!/usr/bin/env bash
# Tests the Python package as its users get it, offline: builds the sdist and, from it alone, the
# wheel with Debian's build tools; installs the wheel into a fresh virtual environment that sees
# Debian's numpy, pandas and statsmodels; runs the package's tests there against dsf2vemo-cli of
# the linux preset. Prints pytest's summary last.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$root/build/python
python=/usr/bin/python3  # Debian's, with its packages; not whatever python3 the PATH has first

"$root/tools/install_deps.sh" native python
if [ ! -f "$root/build/linux/CMakeCache.txt" ]; then
    (cd "$root" && cmake --preset linux >/dev/null)
fi
cmake --build "$root/build/linux" --target dsf2vemo-cli -j 2 >/dev/null

rm -rf "$out"
mkdir -p "$out"
echo "== python: building the sdist and the wheel from it"
DSF2VEMO_WERROR=1 "$python" -m build --no-isolation --outdir "$out/dist" "$root/python" \
    >"$out/build.log" 2>&1 || { tail -n 40 "$out/build.log" >&2; exit 1; }
ls "$out/dist"

"$python" -m venv --system-site-packages "$out/venv"
"$out/venv/bin/python" -m pip install --quiet --no-index --disable-pip-version-check \
    "$out"/dist/dsf2vemo-*.whl
installed=$(cd "$out" && "$out/venv/bin/python" -c 'import dsf2vemo; print(dsf2vemo.__file__)')
case $installed in
    "$out/venv/"*) ;;
    *) echo "dsf2vemo imported from $installed, not from the wheel installed" >&2; exit 1 ;;
esac

# From a folder without the sources, so that the tests import the installed package.
cd "$out"
DSF2VEMO_CLI=$root/build/linux/cli/dsf2vemo-cli DSF2VEMO_TEST_LOCALES=$root/build/linux/tests/locales \
    "$out/venv/bin/python" -m pytest -p no:cacheprovider -q "$root/python/tests"
