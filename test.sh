#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite, then the unit
# and program tests again under AddressSanitizer and UBSan, then each fuzzer for a
# bounded time from its seed corpus. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)

tools/build.sh
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMMERIX_WERROR=ON -DGLIMMERIX_BENCH=OFF \
  -DGLIMMERIX_SANITIZE=address,undefined >/dev/null
cmake --build build-asan -j "$jobs"
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" --label-exclude long --exclude-regex '^(e2e_|assets_)'

echo "== fuzzing"
tools/fuzz.sh 10
