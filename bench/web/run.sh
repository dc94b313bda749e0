#!/usr/bin/env bash
# Builds bench/web/kernels.cpp with emscripten, without and with WebAssembly SIMD (two build
# trees of the project's own CMake, so the sources are the ones the site is built from), and
# runs both under Node.js, three times each, alternating. Competes with nothing else, ideally.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
tools/web.sh >/dev/null  # the atlas and libjpeg-turbo that the project's web configuration needs
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
jpeg=$root/build-web/libjpeg-turbo/install
for simd in plain simd; do
  flags=""
  [ "$simd" = simd ] && flags=-msimd128
  emcmake cmake -S . -B "build-web/bench-$simd" -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS="$flags" \
    -DGLIMMERIX_GLYPH_ATLAS="$root/build-web/Glyphs.atlas" -DJPEG_INCLUDE_DIR="$jpeg/include" \
    -DJPEG_LIBRARY="$jpeg/lib/libjpeg.a" >/dev/null
  cmake --build "build-web/bench-$simd" -j "$(nproc)" --target web_kernels >/dev/null
done
for _ in 1 2 3; do
  for simd in plain simd; do echo "$simd: $(node "build-web/bench-$simd/bench/web/web_kernels.js")"; done
done
