#!/usr/bin/env bash
# Packs the Windows programs with the read-me and the sample into one zip file:
#   dist.sh STRIP OUTPUT.zip FOLDER_NAME FILE...
# Executables (*.exe) are stripped of symbols on the way; the other files go in as they are. All
# sit in FOLDER_NAME/ inside the zip, with fixed times, so the same input gives the same zip.
set -euo pipefail
strip=$1
output=$2
folder=$3
shift 3

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/$folder"
for file in "$@"; do
    target="$stage/$folder/$(basename "$file")"
    case "$file" in
        *.exe) "$strip" --strip-all -o "$target" "$file" ;;
        *) cp "$file" "$target" ;;
    esac
done
find "$stage" -exec touch -h -d '2000-01-01 00:00:00 UTC' {} +
rm -f "$output"
mkdir -p "$(dirname "$output")"
output=$(cd "$(dirname "$output")" && pwd)/$(basename "$output")
(cd "$stage" && TZ=UTC zip -q -X -r "$output" "$folder")
echo "$output"
