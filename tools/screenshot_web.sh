#!/usr/bin/env bash
# Takes a picture of the browser page after it has read examples/demo.dsf:
#   tools/screenshot_web.sh [PICTURE]      (default docs/screenshot-web.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
picture=${1:-$root/docs/screenshot-web.png}
"$root/tools/install_deps.sh" web
cmake --preset web -S "$root" >/dev/null
cmake --build "$root/build/web-build" -j 2 >/dev/null
node "$root/tools/screenshot_web.mjs" "$root/build/web" "$root/examples/demo.dsf" "$picture"
echo "Saved $picture"
