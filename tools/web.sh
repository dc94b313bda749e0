#!/usr/bin/env bash
# Builds the demo for web browsers into build-web/site/: index.html, page.js, glimmerix.js,
# glimmerix.wasm and the data files. With --serve it then serves the site on
# http://127.0.0.1:8000/ (PORT=... for another port) until interrupted.
# Needs Debian's emscripten (tools/install-deps.sh --web installs it), libjpeg-turbo built
# for WebAssembly from Debian's source package (tools/libjpeg-turbo.sh), and the native
# build's make_glyph_atlas, whose atlas the program compiles in.
set -euo pipefail
cd "$(dirname "$0")/.."

serve=0
case "${1:-}" in
  --serve) serve=1 ;;
  "") ;;
  *) echo "usage: tools/web.sh [--serve]" >&2; exit 2 ;;
esac

tools/install-deps.sh --web
# Whatever records a build date records the last commit's.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH

# Debian's emcc finds its node modules (acorn) there.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
jobs=$(nproc)

tools/build.sh make_glyph_atlas >/dev/null
mkdir -p build-web
build/tools/make_glyph_atlas build-web/Glyphs.atlas
# size_t and long are 4 bytes in WebAssembly; libjpeg-turbo's own probe of them fails there.
jpeg=$(tools/libjpeg-turbo.sh build-web/libjpeg-turbo emcmake -- -DHAVE_SIZE_T=TRUE -DSIZE_T=4 \
  -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4)

emcmake cmake -S . -B build-web -DCMAKE_BUILD_TYPE=Release -DGLIMMERIX_GLYPH_ATLAS="$PWD/build-web/Glyphs.atlas" \
  -DJPEG_INCLUDE_DIR="$PWD/$jpeg/include" -DJPEG_LIBRARY="$PWD/$jpeg/lib/libjpeg.a" >/dev/null
cmake --build build-web -j "$jobs"

site=build-web/site
echo "web.sh: the site is in $site ($(du -cb "$site"/* | tail -1 | cut -f1) bytes)"
if [ "$serve" = 1 ]; then
  port=${PORT:-8000}
  echo "web.sh: serving http://127.0.0.1:$port/ (Ctrl-C ends)"
  exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
fi
