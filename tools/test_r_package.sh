#!/usr/bin/env bash
# The R package's test step (./test.sh runs it after the linux build): installs R and the packages
# it is tested with, assembles the package and its tarball (tools/build_r_package.sh), runs
# R CMD check --no-manual on it, which must end with no ERROR and no WARNING, then installs the
# tarball into an empty library and runs its tests there against the linux build's dsf2vemo-cli
# and test locales, so that no row is skipped for want of them. Prints "== r: N tests passed".
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
out=$root/build/r

tools/install_deps.sh r
cli=$root/build/linux/cli/dsf2vemo-cli
locales=$root/build/linux/tests/locales
if [ ! -x "$cli" ] || [ ! -d "$locales" ]; then
    cmake --preset linux >/dev/null
    cmake --build --preset linux --target dsf2vemo-cli -j "$jobs"
fi

tarball=$(tools/build_r_package.sh "$out")
# Debug information is what makes the library 13 MB; stripped of it alone, the symbols R CMD check
# inspects stay.
export MAKEFLAGS="-j$jobs" R_STRIP_SHARED_LIB="strip --strip-debug"
if ! (cd "$out" && R CMD check --no-manual --install-args=--strip "$tarball" >check.log 2>&1); then
    cat "$out/check.log"
    echo "== r: R CMD check FAILED" >&2
    exit 1
fi
status=$(grep '^Status: ' "$out/check.log")
if grep -qE 'WARNING|ERROR' <<<"$status"; then
    cat "$out/check.log"
    echo "== r: R CMD check ended with $status" >&2
    exit 1
fi
echo "== r: R CMD check: $status"
grep -B1 -A4 '\.\.\. NOTE$' "$out/check.log" || true

library=$(mktemp -d "$out/library.XXXXXX")
trap 'rm -rf "$library"' EXIT
R CMD INSTALL --library="$library" "$tarball" >"$out/install.log" 2>&1 ||
    { cat "$out/install.log"; echo "== r: installing $tarball FAILED" >&2; exit 1; }
R_LIBS="$library" DSF2VEMO_CLI="$cli" DSF2VEMO_TEST_LOCALES="$locales" Rscript -e '
    stopifnot(dirname(find.package("dsf2vemo")) == Sys.getenv("R_LIBS"))
    results <- as.data.frame(testthat::test_dir(file.path(commandArgs(TRUE), "tests", "testthat"),
        package = "dsf2vemo", load_package = "installed", reporter = "summary",
        stop_on_failure = FALSE))
    failed <- sum(results$failed > 0 | results$error)
    skipped <- sum(results$skipped)
    cat(sprintf("== r: %d tests passed, %d failed, %d skipped (%d expectations)\n",
                nrow(results) - failed - skipped, failed, skipped, sum(results$nb)))
    quit(status = if (failed > 0) 1 else 0)
' "$out/dsf2vemo"
