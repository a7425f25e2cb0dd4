#!/usr/bin/env bash
# Assembles the R package from r/ and the core's sources, and builds its source tarball:
#   tools/build_r_package.sh [DIR]      (default build/r)
# DIR/dsf2vemo is the package folder, DIR/dsf2vemo_VERSION.tar.gz the tarball R CMD INSTALL builds
# with R's own toolchain and nothing else: the core's sources, the sample file and copies of the
# header-only libraries the core needs ({fmt}, JSON for Modern C++, the parts of Eigen it uses,
# from Debian's packages) are inside. The version is resources/version.h's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/build/r}" && cd "${1:-$root/build/r}" && pwd)
package=$out/dsf2vemo

version=$(sed -n 's/^#define DSF2VEMO_VERSION_TEXT "\([0-9]*\.[0-9]*\)"$/\1/p' "$root/resources/version.h")
[ -n "$version" ] || { echo "build_r_package.sh: no version in resources/version.h" >&2; exit 1; }

rm -rf "$package" "$out/dsf2vemo_"*.tar.gz
cp -R "$root/r" "$package"
sed -i "s/@VERSION@/$version/" "$package/DESCRIPTION"
mkdir -p "$package/inst/extdata"
cp "$root/examples/demo.dsf" "$package/inst/extdata/demo.dsf"

# The core, one folder a component as in the repository, every one of them (a component added
# later is built too), with the headers it includes from util/ and resources/.
src=$package/src
components=()
for folder in "$root"/core/*/; do
    folder=${folder%/}
    components+=("${folder##*/}")
done
for component in "${components[@]}"; do
    mkdir -p "$src/core/$component"
    cp "$root/core/$component/"*.h "$root/core/$component/"*.cpp "$src/core/$component/"
done
mkdir -p "$src/util" "$src/resources"
cp "$root/util/"*.h "$src/util/"
cp "$root/resources/version.h" "$src/resources/"

# The header-only libraries. Of Eigen only the modules the diagnosis includes and the plugins
# their classes are made of, for every processor (the architecture folders are under src/Core).
vendor=$src/vendor
mkdir -p "$vendor/Eigen/src"
cp -R /usr/include/fmt /usr/include/nlohmann "$vendor/"
for module in Core Cholesky Jacobi; do
    cp "/usr/include/eigen3/Eigen/$module" "$vendor/Eigen/"
    cp -R "/usr/include/eigen3/Eigen/src/$module" "$vendor/Eigen/src/"
done
cp -R /usr/include/eigen3/Eigen/src/plugins "$vendor/Eigen/src/"
{
    echo "The package's src/vendor holds copies of these libraries, taken from Debian's packages"
    echo "libfmt-dev, nlohmann-json3-dev and libeigen3-dev; their copyright files follow."
    for doc in libfmt-dev nlohmann-json3-dev libeigen3-dev; do
        printf '\n==== %s ====\n\n' "$doc"
        cat "/usr/share/doc/$doc/copyright"
    done
} >"$package/inst/COPYRIGHTS"

# Makevars list every object, one a line: the glue, the core's portable files and the platform's
# own.
objects_for() {
    local skip=$1 file objects=""
    for file in "$src"/*.cpp "$src"/core/*/*.cpp; do
        case "$file" in *"_$skip.cpp") continue ;; esac
        file=${file#"$src/"}
        objects+=" \\"$'\n'"    ${file%.cpp}.o"
    done
    echo "$objects"
}
includes=$(printf -- '-Icore/%s ' "${components[@]}")
includes+="-Iutil -Iresources"
for makevars in Makevars:win32 Makevars.win:posix; do
    name=${makevars%%:*}
    template=$(<"$src/$name.in")
    template=${template//@INCLUDES@/$includes}
    printf '%s\n' "${template//@OBJECTS@/$(objects_for "${makevars#*:}")}" >"$src/$name"
    rm "$src/$name.in"
done

(cd "$out" && R CMD build --no-manual dsf2vemo >build.log 2>&1) ||
    { cat "$out/build.log" >&2; echo "build_r_package.sh: R CMD build failed" >&2; exit 1; }
echo "$out/dsf2vemo_$version.tar.gz"
