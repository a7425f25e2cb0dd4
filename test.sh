#!/usr/bin/env bash
# Builds everything and runs every test: the native build with warnings as errors, the same tests
# under AddressSanitizer and UndefinedBehaviorSanitizer, the Windows build under Wine and its zip
# package, the Unix install and the Debian package, the browser page in headless Chromium, the
# Python package from its wheel in a virtual environment, the R package, then each fuzz target for
# a bounded time (FUZZ_SECONDS per target, 12 by default).
set -euo pipefail
cd "$(dirname "$0")"
# Two jobs at most: the machines have two cores.
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))

# A failing step says which it was and its exit status: the script never stops in silence.
step="installing the packages"
trap 'echo "== FAILED: $step (exit status $?)" >&2' ERR

tools/install_deps.sh native windows fuzz unix

passed=0
for preset in linux linux-asan windows; do
    echo "== $preset"
    start=$SECONDS
    step="$preset: configuring"
    cmake --preset "$preset" >/dev/null
    step="$preset: building"
    cmake --build --preset "$preset" -j "$jobs"
    echo "== $preset: configured and built in $((SECONDS - start)) s"
    if [ "$preset" = windows ]; then
        step="windows: packing the zip"
        cmake --build --preset windows --target dist
        # Make the Wine prefix and start its server before ctest, with no pipes of ours held.
        step="windows: starting Wine in build/windows/wineprefix"
        tools/wine/wine_run.sh cmd /c exit </dev/null >build/windows/wine-start.log 2>&1 ||
            { status=$?; cat build/windows/wine-start.log >&2; (exit "$status"); }
    fi
    start=$SECONDS
    log=build/$preset/ctest-summary.log
    step="$preset: the tests"
    if [ "$preset" = windows ]; then
        # Every failure fails the run; only a recognised Wine start-up death is retried, and named.
        tools/wine/run_windows_tests.sh -j "$jobs" | tee "$log"
    else
        ctest --preset "$preset" -j "$jobs" | tee "$log"
    fi
    # The script stopped above if anything failed; count what passed for the summary.
    passed=$((passed + $(sed -n -e 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' \
        -e 's/^== windows suite: \([0-9]*\) tests passed$/\1/p' "$log" | tail -n 1)))
    echo "== $preset: tested in $((SECONDS - start)) s"
done

# The command-line converter installed the Unix way: cmake --install into a scratch folder, the
# Debian package (a release build of the program alone), lintian, dpkg -i, use, dpkg -r.
echo "== unix install"
start=$SECONDS
step="unix install: the install rules, the Debian package, installing and removing it"
tools/test_unix_install.sh
echo "== unix install: checked in $((SECONDS - start)) s"

# The page, built for the browser and tested in headless Chromium against the linux build's
# converter and tools.
echo "== web"
start=$SECONDS
step="web: installing its packages"
tools/install_deps.sh web
if ! { cmake --preset web >/dev/null && cmake --build --preset web -j "$jobs"; }; then
    echo "== web: the page's build FAILED" >&2
    exit 1
fi
log=build/web-build/page-test.log
if ! node --test tests/web/ >"$log" 2>&1; then
    cat "$log"
    echo "== web: the page's tests in Chromium FAILED (log: $log)" >&2
    exit 1
fi
passed=$((passed + $(sed -n 's/^# pass \([0-9]*\)$/\1/p' "$log")))
echo "== web: built and tested in $((SECONDS - start)) s ($(sed -n 's/^# pass //p' "$log") passed)"

# The Python package: its wheel built offline, installed into a fresh virtual environment and
# tested there against the linux build's converter.
echo "== python"
start=$SECONDS
step="python: the package's build and tests"
log=build/python-package-test.log
tools/test_python_package.sh >"$log" 2>&1 || { cat "$log"; false; }
python_passed=$(sed -n 's/^\([0-9]*\) passed.*/\1/p' "$log" | tail -n 1)
passed=$((passed + python_passed))
echo "== python: built and tested in $((SECONDS - start)) s ($python_passed passed)"

# The R package, assembled from r/ and the core: R CMD check, then its tests installed from the
# tarball into an empty library, against the linux build's converter.
echo "== r"
start=$SECONDS
step="r: the package"
mkdir -p build/r
log=build/r/test.log
if ! tools/test_r_package.sh >"$log" 2>&1; then
    cat "$log"
    echo "== r: the R package's check or tests FAILED (log: $log)" >&2
    exit 1
fi
grep '^== r: ' "$log"
passed=$((passed + $(sed -n 's/^== r: \([0-9]*\) tests passed.*/\1/p' "$log")))
echo "== r: checked, installed and tested in $((SECONDS - start)) s"

echo "== fuzz"
step="fuzz: building"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
step="fuzz: running the fuzzers"
fuzz/run_fuzzers.sh "${FUZZ_SECONDS:-12}"

echo "== all test suites, the page's, the Python and R packages' tests and the fuzzers passed"
echo "$passed passed, 0 failed"
grep -h 'retried after a Wine start-up death' build/windows/ctest-summary.log || true
