#!/usr/bin/env bash
# Installs the build into an empty prefix and uses it as someone else's program would:
# the C example through pkg-config and through find_package (shared and static), the SDL
# example through find_package, and the installed demo, all headless. Only the C interface
# may be exported from the shared library.
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$(cd "${1:?usage: install_test.sh BUILD_DIR SOURCE_DIR}" && pwd)
source=$(cd "${2:?usage: install_test.sh BUILD_DIR SOURCE_DIR}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
. "$(dirname "$0")/common.sh"

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(dirname "$(find "$prefix" -name 'libglimmerix.so.1' | head -n 1)")
for f in bin/glimmerix share/glimmerix/Planet.jpg "share/glimmerix/Effects' Names.txt" include/glimmerix/glimmerix.h; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
for f in libglimmerix.so libglimmerix.a pkgconfig/glimmerix.pc cmake/Glimmerix/GlimmerixConfig.cmake; do
  [ -e "$libdir/$f" ] || fail "$f is not installed in $libdir"
done
soname=$(objdump -p "$libdir/libglimmerix.so.1" | awk '/SONAME/ {print $2}')
[ "$soname" = libglimmerix.so.1 ] || fail "SONAME is '$soname'"
exported=$(nm -D --defined-only "$libdir/libglimmerix.so.1" | awk '$2 == "T" || $2 == "D" || $2 == "B" || $2 == "W" {print $3}' | grep -v '^glimmerix_' || true)
[ -z "$exported" ] || fail "exported beyond the C interface: $exported"
echo "ok   installed, SONAME $soname, only glimmerix_* exported"

# The expected pixel is Screen of 0x40 under 0x80: (0x40 + 1)(255 - 0x80)/256 + 0x80 = 0xA0
# in each channel.
expected="Screen: 0xFFA0A0A0"
readme_example "$libdir/pkgconfig" "$libdir" "$source"

cmake -S "$source/examples/hello" -B "$work/hello" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/hello" >/dev/null
for program in hello hello_static; do
  out=$("$work/hello/$program")
  [[ "$out" == *"$expected" ]] || fail "find_package build $program printed '$out'"
  echo "ok   find_package ($program): $out"
done
if ldd "$work/hello/hello_static" | grep -q libglimmerix; then fail "hello_static loads the shared library"; fi

cmake -S "$source/examples/sdl_lights" -B "$work/lights" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/lights" >/dev/null
out=$(env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy "$work/lights/sdl_lights" --frames 100)
grep -q "all pixels equal" <<<"$out" || fail "sdl_lights: $out"
grep -q "100 frames" <<<"$out" || fail "sdl_lights: $out"
echo "ok   sdl_lights: $(tr '\n' ' ' <<<"$out")"

# The installed demo finds its data files in share/glimmerix.
demo_reaches_frame_loop "$prefix/bin/glimmerix"
