#!/usr/bin/env bash
# Builds bench/web/kernels.cpp with emscripten, without and with WebAssembly SIMD, and runs
# both under Node.js, three times each, alternating. Competes with nothing else, ideally.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build-web/bench
mkdir -p "$out"
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
sources=("$root"/platform/{surface,gdi}.cpp "$root"/effects/{effect_table,effect_copies,sprite_store,draw_sprite,blend_kernel,blend_avx2}.cpp
  "$root"/app/{glyph_print,text_blend}.cpp "$root"/bench/web/kernels.cpp)
for simd in plain simd; do
  flags=(-std=c++20 -O3 -fexceptions -ffp-contract=off -I"$root" -I"$root/build-web/include" -sENVIRONMENT=node -sSINGLE_FILE)  # embedded: this Node.js fetch()es no file: URLs
  [ "$simd" = simd ] && flags+=(-msimd128)
  em++ "${flags[@]}" "${sources[@]}" -o "$out/kernels_$simd.js"
done
for _ in 1 2 3; do
  for simd in plain simd; do echo "$simd: $(node "$out/kernels_$simd.js")"; done
done
