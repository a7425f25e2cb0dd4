#!/usr/bin/env bash
# The command-line converter installed the Unix way: cmake --install of the linux build with
# DESTDIR (exactly the expected files, working); the deb preset's package (its files, Depends,
# lintian without errors); dpkg -i, use, dpkg -r and nothing left. Needs root for dpkg.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=$(( $(nproc) < 2 ? $(nproc) : 2 ))
package=dsf2vemo-cli
version=$(sed -n 's/^#define DSF2VEMO_VERSION_TEXT "\(.*\)"$/\1/p' resources/version.h)
deb=build/deb/${package}_${version}-1_$(dpkg --print-architecture).deb
scratch=$(mktemp -d)
installed_by_us=
cleanup() {
    rm -rf "$scratch"
    if [ -n "$installed_by_us" ]; then
        dpkg -r "$package" >/dev/null 2>&1 || true
    fi
}
trap cleanup EXIT

fail() { echo "test_unix_install: FAILED: $*" >&2; exit 1; }

files_under() { (cd "$1" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort); }

expect_files() {
    local what=$1 actual=$2 expected=$3
    if [ "$actual" != "$expected" ]; then
        diff <(echo "$expected") <(echo "$actual") >&2 || true
        fail "$what holds other files than expected (< expected, > found)"
    fi
}

tools/install_deps.sh native unix

echo "== cmake --install with DESTDIR"
cmake --preset linux >/dev/null
cmake --build --preset linux --target dsf2vemo-cli dsf2vemo-cli-man -j "$jobs" >/dev/null
# A prefix other than the configured one (/usr/local), as given only at install time.
DESTDIR=$scratch/stage cmake --install build/linux --prefix /opt/dsf2vemo >/dev/null
expect_files "the installed tree" "$(files_under "$scratch/stage")" "opt/dsf2vemo/bin/dsf2vemo-cli
opt/dsf2vemo/share/bash-completion/completions/dsf2vemo-cli
opt/dsf2vemo/share/doc/dsf2vemo/README.md
opt/dsf2vemo/share/doc/dsf2vemo/demo.dsf
opt/dsf2vemo/share/man/man1/dsf2vemo-cli.1
opt/dsf2vemo/share/zsh/site-functions/_dsf2vemo-cli"
[ "$("$scratch/stage/opt/dsf2vemo/bin/dsf2vemo-cli" --version)" = "dsf2vemo $version" ] ||
    fail "the installed program does not print its version"
MANWIDTH=80 man -l "$scratch/stage/opt/dsf2vemo/share/man/man1/dsf2vemo-cli.1" 2>&1 |
    grep -q '/opt/dsf2vemo/share/doc/dsf2vemo/README.md' ||
    fail "the installed manual page does not name the installed read-me"

echo "== the Debian package"
cmake --preset deb >/dev/null
cmake --build --preset deb -j "$jobs" >"$scratch/package.log" 2>&1 ||
    { cat "$scratch/package.log" >&2; fail "building the package"; }
[ -f "$deb" ] || fail "no $deb was made: $(ls build/deb/*.deb 2>/dev/null)"
expect_files "the package" "$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 3) }' |
    LC_ALL=C sort)" "usr/bin/dsf2vemo-cli
usr/share/bash-completion/completions/dsf2vemo-cli
usr/share/doc/dsf2vemo-cli/README.md
usr/share/doc/dsf2vemo-cli/changelog.Debian.gz
usr/share/doc/dsf2vemo-cli/copyright
usr/share/doc/dsf2vemo-cli/demo.dsf
usr/share/man/man1/dsf2vemo-cli.1.gz
usr/share/zsh/vendor-completions/_dsf2vemo-cli"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6; do
    [[ $depends == *"$library "* ]] || fail "Depends '$depends' lacks $library"
done
echo "Depends: $depends"
# lintian exits non-zero on errors; warnings are shown and allowed.
lintian --fail-on error --tag-display-limit 0 "$deb" || fail "lintian found errors"

echo "== dpkg -i, use, dpkg -r"
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    fail "$package is installed already; remove it (dpkg -r $package) and run again"
fi
dpkg -i "$deb" >/dev/null
installed_by_us=yes
[ "$(command -v dsf2vemo-cli)" = /usr/bin/dsf2vemo-cli ] || fail "dsf2vemo-cli is not on the PATH"
[ "$(dsf2vemo-cli --version)" = "dsf2vemo $version" ] || fail "--version"
[ "$(man -w dsf2vemo-cli)" = /usr/share/man/man1/dsf2vemo-cli.1.gz ] || fail "man -w dsf2vemo-cli"
MANWIDTH=80 MANPAGER=cat man dsf2vemo-cli 2>/dev/null | grep -q '^EXIT STATUS' ||
    fail "man dsf2vemo-cli shows no page"
LC_ALL=C dsf2vemo-cli /usr/share/doc/$package/demo.dsf -o "$scratch/demo.txt"
cmp -s "$scratch/demo.txt" tests/data/demo_comma.txt || fail "the sample converts differently"
bash -c 'source /usr/share/bash-completion/bash_completion && __load_completion dsf2vemo-cli &&
    complete -p dsf2vemo-cli' | grep -q _dsf2vemo_cli || fail "bash does not load the completion"
listed=$(dpkg -L "$package")
dpkg -r "$package" >/dev/null
installed_by_us=
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'installed'; then
    fail "$package is still installed"
fi
while read -r path; do
    # The system's own folders (/usr, /usr/share/man/man1) stay; every file and folder of ours goes.
    if [ -e "$path" ] && ! { [ -d "$path" ] && [ "$(dpkg -S "$path" 2>/dev/null)" ]; }; then
        fail "$path is left after dpkg -r"
    fi
done <<<"$listed"
echo "== the install rules, the package and its removal: all checked"
