#!/usr/bin/env bash
# The browser build end to end: builds the site with tools/web.sh, installs puppeteer-core
# (from tests/web/package-lock.json; it drives Debian's Chromium, no browser is downloaded)
# and runs browser_test.mjs against the site. Run from anywhere; BUILD is the native build
# directory that holds table_digests, picture_digests and glimmerix (default build).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cd "$root"

tools/web.sh
cmake --build "$build" --target table_digests picture_digests glimmerix >/dev/null
{ "$build/tests/table_digests" && "$build/tests/picture_digests" build-web/site; } > build-web/digests.txt
(cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
node tests/web/browser_test.mjs build-web/site build-web/digests.txt "$build/glimmerix" build-web/screenshot.png
