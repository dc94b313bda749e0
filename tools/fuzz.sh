#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and UBSan into build-fuzz/ and
# runs each from its committed seed corpus for a bounded time: tools/fuzz.sh [SECONDS each]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-10}
# The program's glyph atlas is drawn by the plain build's tool, not by one under the sanitizers.
tools/build.sh make_glyph_atlas >/dev/null
mkdir -p build-fuzz
build/tools/make_glyph_atlas build-fuzz/Glyphs.atlas
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMMERIX_APP=OFF \
  -DGLIMMERIX_TESTS=OFF -DGLIMMERIX_BENCH=OFF -DGLIMMERIX_FUZZ=ON -DGLIMMERIX_SANITIZE=address,undefined \
  -DGLIMMERIX_GLYPH_ATLAS="$PWD/build-fuzz/Glyphs.atlas" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target fuzz_engine fuzz_names fuzz_picture fuzz_decode
for target in engine names picture decode; do
  work=$(mktemp -d)
  cp tests/fuzz/corpus/$target/* "$work"/
  echo "fuzz_$target: ${seconds}s from $(ls "$work" | wc -l) seeds"
  status=0
  build-fuzz/tests/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="build-fuzz/$target-" -print_final_stats=1 "$work" >"build-fuzz/$target.log" 2>&1 || status=$?
  rm -rf "$work"
  grep -E '^stat::number_of_executed_units' "build-fuzz/$target.log" || true
  if [ "$status" -ne 0 ]; then
    grep -E 'ERROR|SUMMARY|abort' "build-fuzz/$target.log" >&2 || true
    echo "fuzz_$target found a failure: the input is in build-fuzz/$target-*, the log in build-fuzz/$target.log" >&2
    exit 1
  fi
done
