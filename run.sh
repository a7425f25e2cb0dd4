#!/usr/bin/env bash
# Converts data system files with the command line converter and shows the result:
#   ./run.sh examples/demo.dsf [more options for dsf2vemo-cli]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

if [ $# -eq 0 ]; then
    echo "usage: ./run.sh FILE.dsf [dsf2vemo-cli options]" >&2
    exit 2
fi

"$root/tools/install_deps.sh" native
cmake --preset linux -S "$root" >/dev/null
cmake --build "$root/build/linux" --target dsf2vemo-cli -j "$(nproc)" >/dev/null

input=$1
shift
cli="$root/build/linux/cli/dsf2vemo-cli"
echo "== What was read"
"$cli" --echo "$@" "$input"
echo
case "$input" in
    *.*) output="${input%.*}.txt" ;;
    *) output="$input.txt" ;;
esac
if [ -f "$output" ] && [[ " $* " != *" -o "* && " $* " != *" --output"* ]]; then
    echo "== Written to $output"
    cat "$output"
fi
