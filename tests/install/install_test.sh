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
fail() { echo "FAIL: $*" >&2; exit 1; }

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

# The README's example through pkg-config, strict C11; the expected pixel is Screen of
# 0x40 under 0x80: (0x40 + 1)(255 - 0x80)/256 + 0x80 = 0xA0 in each channel.
expected="Screen: 0xFFA0A0A0"
export PKG_CONFIG_PATH=$libdir/pkgconfig
# shellcheck disable=SC2046
cc -std=c11 -Wall -Wextra -pedantic -Werror -o "$work/hello_pc" "$source/examples/hello/hello.c" \
  $(pkg-config --cflags --libs glimmerix)
out=$(LD_LIBRARY_PATH=$libdir "$work/hello_pc")
[[ "$out" == *"$expected" ]] || fail "pkg-config build printed '$out'"
echo "ok   pkg-config: $out"

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

# The installed demo finds its data files in share/glimmerix and reaches its frame loop.
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy "$prefix/bin/glimmerix" >/dev/null 2>"$work/err" &
pid=$!
sleep 2
kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; fail "installed demo ended: $(cat "$work/err")"; }
ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat")
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$ticks" -gt 50 ] || fail "installed demo used $ticks ticks of CPU in 2 s: no frame loop"
[ "$status" -eq 0 ] || fail "installed demo ended with status $status: $(cat "$work/err")"
echo "ok   installed demo ran its frame loop from $prefix/bin"
