#!/usr/bin/env bash
# Cross-builds the demo and the library for 64-bit Windows with Debian's mingw-w64 into
# build-windows/, writes the two zips into build-windows/packages/, and tests them under Wine
# on Xvfb (tests/win32/run.sh). With --no-tests it stops after the zips.
#   glimmerix-VERSION-windows-x64.zip      the demo's folder: unzip and double-click
#   libglimmerix-VERSION-windows-x64.zip   the DLL, its import library, the static library,
#                                          the header, pkg-config and CMake files, guide, examples
# Needs the native build's tools (the glyph atlas, and the programs the tests compare with),
# and libjpeg-turbo built for Windows from Debian's source package (tools/libjpeg-turbo.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

tests=1
case "${1:-}" in
  --no-tests) tests=0 ;;
  "") ;;
  *) echo "usage: tools/windows.sh [--no-tests]" >&2; exit 2 ;;
esac

tools/install-deps.sh --windows
jobs=$(nproc)
toolchain="$PWD/cmake/toolchains/mingw-w64.cmake"

tools/build.sh make_glyph_atlas glimmerix bad_jpegs sprite_check table_digests glimmerix_static >/dev/null
mkdir -p build-windows
build/tools/make_glyph_atlas build-windows/Glyphs.atlas
jpeg=$(tools/libjpeg-turbo.sh build-windows/libjpeg-turbo env -- -DCMAKE_TOOLCHAIN_FILE="$toolchain")

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DGLIMMERIX_WERROR=ON \
  -DGLIMMERIX_GLYPH_ATLAS="$PWD/build-windows/Glyphs.atlas" \
  -DJPEG_INCLUDE_DIR="$PWD/$jpeg/include" -DJPEG_LIBRARY="$PWD/$jpeg/lib/libjpeg.a" >/dev/null
cmake --build build-windows -j "$jobs"

version=$(sed -n 's/^project(Glimmerix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage=build-windows/stage
rm -rf "$stage" build-windows/packages
mkdir -p build-windows/packages
for part in "demo glimmerix" "development libglimmerix"; do
  read -r component name <<<"$part"
  folder="$name-$version-windows-x64"
  cmake --install build-windows --component "$component" --prefix "$PWD/$stage/$folder" >/dev/null
  # Stripped of their debugging sections; dates fixed, so the same tree makes the same zip.
  find "$stage/$folder" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
  find "$stage/$folder" -exec touch -h -d @"$(git log -1 --format=%ct 2>/dev/null || echo 0)" {} +
  (cd "$stage" && find "$folder" | LC_ALL=C sort | zip -q -X -D "../packages/$folder.zip" -@)
done
for z in build-windows/packages/*.zip; do echo "windows.sh: $z ($(stat -c %s "$z") bytes)"; done

if [ "$tests" = 1 ]; then
  # No reset when the last client leaves: between two programs the server would refuse the next.
  timeout -k 10 1200 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" tests/win32/run.sh build-windows build
fi
