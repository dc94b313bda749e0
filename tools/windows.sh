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
# The linker writes the PE time stamps from it, and the zips' dates are it: the same sources
# make the same zips.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 0)}
export SOURCE_DATE_EPOCH
toolchain="$PWD/cmake/toolchains/mingw-w64.cmake"

tools/build.sh make_glyph_atlas glimmerix bad_jpegs sprite_check table_digests glimmerix_static >/dev/null
mkdir -p build-windows
build/tools/make_glyph_atlas build-windows/Glyphs.atlas
jpeg=$(tools/libjpeg-turbo.sh build-windows/libjpeg-turbo env -- -DCMAKE_TOOLCHAIN_FILE="$toolchain")

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DGLIMMERIX_WERROR=ON \
  -DGLIMMERIX_GLYPH_ATLAS="$PWD/build-windows/Glyphs.atlas" \
  -DJPEG_INCLUDE_DIR="$PWD/$jpeg/include" -DJPEG_LIBRARY="$PWD/$jpeg/lib/libjpeg.a" >/dev/null
# Linked anew each time: the PE time stamps are SOURCE_DATE_EPOCH's, which CMake does not
# know as an input, so a program linked at an earlier commit would keep that commit's.
rm -f build-windows/glimmerix.exe build-windows/glimmerix.dll
cmake --build build-windows -j "$jobs"

version=$(sed -n 's/^project(Glimmerix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
# The two zips into folder $1: the installed trees stripped of their debugging sections, every
# file's date, permissions and order fixed, and the entries' times written in UTC.
make_zips() {
  local out=$1 stage=build-windows/stage part component name folder
  rm -rf "$stage" "$out"
  mkdir -p "$out"
  for part in "demo glimmerix" "development libglimmerix"; do
    read -r component name <<<"$part"
    folder="$name-$version-windows-x64"
    cmake --install build-windows --component "$component" --prefix "$PWD/$stage/$folder" >/dev/null
    find "$stage/$folder" \( -name '*.exe' -o -name '*.dll' \) -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
    find "$stage/$folder" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
    find "$stage/$folder" -exec touch -h -d @"$SOURCE_DATE_EPOCH" {} +
    (cd "$stage" && find "$folder" | LC_ALL=C sort | TZ=UTC0 zip -q -X -D "$OLDPWD/$out/$folder.zip" -@)
  done
}
make_zips build-windows/packages
for z in build-windows/packages/*.zip; do echo "windows.sh: $z ($(stat -c %s "$z") bytes)"; done

# The same zips again after the program and the DLL are linked anew, a second later, in
# another time zone and umask: byte for byte the first.
rm -f build-windows/glimmerix.exe build-windows/glimmerix.dll
sleep 1
(umask 077 && TZ=Pacific/Kiritimati cmake --build build-windows -j "$jobs" --target glimmerix glimmerix_shared >/dev/null &&
  TZ=Pacific/Kiritimati make_zips build-windows/packages-again)
for z in build-windows/packages/*.zip; do
  cmp -s "$z" "build-windows/packages-again/$(basename "$z")" || { echo "windows.sh: $z differs when made again" >&2; exit 1; }
done
echo "windows.sh: made again, both zips are byte for byte the same"

if [ "$tests" = 1 ]; then
  # No reset when the last client leaves: between two programs the server would refuse the next.
  timeout -k 10 1200 xvfb-run -a -s "-screen 0 1024x768x24 -noreset" tests/win32/run.sh build-windows build
fi
