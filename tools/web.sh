#!/usr/bin/env bash
# Builds the demo for web browsers into build-web/site/: index.html, page.js, glimmerix.js,
# glimmerix.wasm, the data files and the glyph atlas. With --serve it then serves the site
# on http://127.0.0.1:8000/ (PORT=... for another port) until interrupted.
# Needs Debian's emscripten (tools/install-deps.sh --web installs it) and the native build's
# make_glyph_atlas, which it builds in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

serve=0
case "${1:-}" in
  --serve) serve=1 ;;
  "") ;;
  *) echo "usage: tools/web.sh [--serve]" >&2; exit 2 ;;
esac

tools/install-deps.sh --web

# Debian's emcc finds its node modules (acorn) there.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
jobs=$(nproc)

if [ ! -f build/CMakeCache.txt ]; then cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null; fi
cmake --build build --target make_glyph_atlas -j "$jobs" >/dev/null
mkdir -p build-web
build/tools/make_glyph_atlas build-web/Glyphs.atlas

emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release \
  -DGLIMMERIX_GLYPH_ATLAS="$PWD/build-web/Glyphs.atlas" >/dev/null
cmake --build build-web -j "$jobs"

site=build-web/site
echo "web.sh: the site is in $site ($(du -cb "$site"/* | tail -1 | cut -f1) bytes)"
if [ "$serve" = 1 ]; then
  port=${PORT:-8000}
  echo "web.sh: serving http://127.0.0.1:$port/ (Ctrl-C ends)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
fi
