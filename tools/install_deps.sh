#!/usr/bin/env bash
# Installs, on Debian 12, what the build needs and is missing. Groups: native (the default),
# bench, windows (cross build, Wine, `script` for terminal tests, zip and wixl for the packages),
# screenshot (tools/wine/with_xvfb.sh and pictures of its display), web (emscripten for the
# page, Chromium and, from npm as package-lock.json pins them, what drives it), r (R's toolchain
# and the packages the R package is tested with), python (the Python package's build and test
# tools, with Debian's numpy and pandas) and unix (the Debian package, its manual page and its
# checks). Prints nothing when everything is there.
set -euo pipefail

packages_for() {
    case "$1" in
        native) echo "cmake g++ make libcli11-dev libgtest-dev libgmock-dev googletest libeigen3-dev nlohmann-json3-dev libfmt-dev locales strace" ;;
        bench) echo "libbenchmark-dev time hyperfine" ;;
        windows) echo "g++-mingw-w64-x86-64-posix wine64 wine fonts-wine xvfb bsdutils zip unzip wixl nlohmann-json3-dev libfmt-dev" ;;
        screenshot) echo "xvfb imagemagick xdotool" ;;
        fuzz) echo "clang-14 libclang-rt-14-dev llvm-14" ;;
        web) echo "emscripten esbuild chromium libfmt-dev" ;;
        r) echo "r-base-dev r-cran-cpp11 r-cran-testthat r-cran-lavaan r-cran-jsonlite r-cran-withr libfmt-dev libeigen3-dev nlohmann-json3-dev strace" ;;
        python) echo "python3-dev python3-venv pybind11-dev python3-pybind11 python3-build python3-setuptools python3-wheel python3-numpy python3-pandas python3-pytest python3-statsmodels libfmt-dev" ;;
        unix) echo "dpkg-dev fakeroot lintian man-db scdoc bash-completion" ;;
        *) echo "install_deps.sh: unknown group '$1'" >&2; exit 2 ;;
    esac
}

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(native)

missing=()
for group in "${groups[@]}"; do
    for package in $(packages_for "$group"); do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The page's zip library and test tools from npm into node_modules, unless they are newer than
# the lock file.
root=$(cd "$(dirname "$0")/.." && pwd)
for group in "${groups[@]}"; do
    if [ "$group" = web ] && [ ! "$root/node_modules/.package-lock.json" -nt "$root/package-lock.json" ]; then
        echo "Installing from npm: $(cd "$root" && node -p 'const p = require("./package.json"); Object.keys({ ...p.dependencies, ...p.devDependencies }).join(" ")')"
        (cd "$root" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
    fi
done
