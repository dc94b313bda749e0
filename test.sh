#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the whole suite (and the unit tests
# once more on the portable paths), the browser build
# in headless Chromium, the Windows build under Wine (its suites, the demo and the library
# from their zips), the Debian packages (built, checked with lintian, unpacked and used),
# then the unit
# and program tests again under AddressSanitizer and UBSan, the library's concurrent calls
# under ThreadSanitizer, then each fuzzer for a
# bounded time from its seed corpus. Exits non-zero on any failure.
# ./test.sh --quick is the everyday tier: the build, the unit and program suites and one
# end-to-end run of the real program (under a minute once built).
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)
case "${1:-}" in
  --quick) quick=1 ;;
  "") quick=0 ;;
  *) echo "usage: ./test.sh [--quick]" >&2; exit 2 ;;
esac

tools/build.sh
if [ "$quick" = 1 ]; then
  ctest --test-dir build --output-on-failure -j "$jobs" --label-exclude long \
    --exclude-regex '^(e2e_|assets_|install_)'
  ctest --test-dir build --output-on-failure --tests-regex '^e2e_program$'
  exit 0
fi
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== the unit and program tests again on the portable paths alone (GLIMMERIX_DISABLE=avx2)"
GLIMMERIX_DISABLE=avx2 ctest --test-dir build --output-on-failure -j "$jobs" --label-exclude long \
  --exclude-regex '^(e2e_|assets_|install_)'

echo "== the browser build (WebAssembly) in headless Chromium"
tests/web/web_test.sh build

echo "== the Windows build (mingw-w64) under Wine"
tools/windows.sh

echo "== the Debian packages: lintian, unpacked and used"
tests/install/package_test.sh

echo "== under AddressSanitizer and UndefinedBehaviorSanitizer"
# The glyph atlas comes from the plain build's tool, which need not pass the sanitizers itself.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMMERIX_WERROR=ON -DGLIMMERIX_BENCH=OFF \
  -DGLIMMERIX_SANITIZE=address,undefined -DGLIMMERIX_GLYPH_ATLAS="$PWD/build/generated/Glyphs.atlas" >/dev/null
cmake --build build-asan -j "$jobs"
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" --label-exclude long --exclude-regex '^(e2e_|assets_|install_)'

echo "== concurrent library calls under ThreadSanitizer"
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGLIMMERIX_WERROR=ON -DGLIMMERIX_APP=OFF \
  -DGLIMMERIX_BENCH=OFF -DGLIMMERIX_SANITIZE=thread -DGLIMMERIX_GLYPH_ATLAS="$PWD/build/generated/Glyphs.atlas" >/dev/null
cmake --build build-tsan -j "$jobs" --target effects_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/effects_tests --gtest_filter='CInterfaceThreads.*'

echo "== the C interface under clang's enum sanitizer (a C caller may pass any int as a status)"
cmake -S . -B build-enum -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DGLIMMERIX_APP=OFF -DGLIMMERIX_BENCH=OFF -DGLIMMERIX_SANITIZE=enum \
  -DGLIMMERIX_GLYPH_ATLAS="$PWD/build/generated/Glyphs.atlas" >/dev/null
cmake --build build-enum -j "$jobs" --target effects_tests
build-enum/tests/effects_tests --gtest_filter='CInterface.*'

echo "== fuzzing"
tools/fuzz.sh 10
