#!/usr/bin/env bash
# The development zip used as a Windows developer would: the DLL exports the C interface
# and nothing else; examples/hello built with mingw-w64 through find_package (shared and
# static) and through pkg-config runs under Wine and prints what it prints on Linux.
# Runs inside the Wine session of tests/win32/run.sh.
#   library_test.sh DEV_ZIP NATIVE_BUILD
set -euo pipefail
zip=$(realpath "${1:?usage: library_test.sh DEV_ZIP NATIVE_BUILD}")
native=$(cd "${2:?}" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
triplet=x86_64-w64-mingw32

unzip -q "$zip" -d "$work"
prefix=$(echo "$work"/libglimmerix-*)
for f in bin/glimmerix.dll lib/libglimmerix.dll.a lib/libglimmerix.a include/glimmerix/glimmerix.h \
  lib/pkgconfig/glimmerix.pc lib/cmake/Glimmerix/GlimmerixConfig.cmake share/doc/glimmerix/library.md \
  share/doc/glimmerix/examples/hello/hello.c; do
  [ -f "$prefix/$f" ] || fail "the zip has no $f"
done

# Exported: exactly the functions the header declares.
exports=$($triplet-objdump -p "$prefix/bin/glimmerix.dll" | awk '/\[Ordinal\/Name Pointer\] Table/ {t=1; next} t && NF == 0 {t=0} t {print $NF}' | sort)
declared=$(grep -o 'glimmerix_[a-z_]*(' "$prefix/include/glimmerix/glimmerix.h" | tr -d '(' | sort -u)
[ -n "$exports" ] && [ "$exports" = "$declared" ] || fail "the DLL exports '$(echo $exports)', the header declares '$(echo $declared)'"
echo "ok   glimmerix.dll exports the $(wc -w <<<"$exports") functions of the header and nothing else"
# Nothing but Windows' own DLLs is needed beside it.
imports=$($triplet-objdump -p "$prefix/bin/glimmerix.dll" | awk '/DLL Name:/ {print tolower($3)}' | sort -u | xargs)
for dll in $imports; do
  # advapi32: the stack protector's random guard.
  case "$dll" in kernel32.dll|msvcrt.dll|api-ms-win-*|user32.dll|gdi32.dll|advapi32.dll) ;; *) fail "glimmerix.dll needs $dll" ;; esac
done
echo "ok   glimmerix.dll needs only system DLLs: $imports"

# Hardened as the Linux build is, where mingw-w64 can: address-space randomisation with high
# entropy, no execution of data, and the stack protector (its handler's message is in the
# binaries, stripped as they are).
demo_zip=$(echo "$(dirname "$zip")"/glimmerix-*-windows-x64.zip)
unzip -q "$demo_zip" -d "$work/demo"
for binary in "$prefix/bin/glimmerix.dll" "$work"/demo/glimmerix-*/glimmerix.exe; do
  flags=$($triplet-objdump -p "$binary" | sed -n '/^DllCharacteristics/,/^SizeOf/p' | awk 'NR > 1 && !/SizeOf/ {print $1}' | sort | xargs)
  [ "$flags" = "DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT" ] || fail "$(basename "$binary") has the PE flags '$flags'"
  grep -qa 'stack smashing detected' "$binary" || fail "$(basename "$binary") has no stack protector"
  echo "ok   $(basename "$binary"): $flags, and the stack protector"
done

expected=$(cc -std=c11 "$root/examples/hello/hello.c" -I"$native/include" "$native/libglimmerix.a" -lstdc++ -lmvec -lm \
  -o "$work/hello_native" && "$work/hello_native")
run() { (cd "$(dirname "$1")" && /usr/lib/wine/wine64 "./$(basename "$1")" | tr -d '\r'); }
check() {
  local said
  said=$(run "$2") || fail "$1: status $?"
  [ "$said" = "$expected" ] || fail "$1 printed '$said', on Linux '$expected'"
  echo "ok   $1: $said"
}

cmake -S "$prefix/share/doc/glimmerix/examples/hello" -B "$work/cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64.cmake" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake" >/dev/null
cp "$prefix/bin/glimmerix.dll" "$work/cmake/"
check "find_package, the DLL" "$work/cmake/hello.exe"
check "find_package, the static library" "$work/cmake/hello_static.exe"

mkdir "$work/pc"
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
# shellcheck disable=SC2046
$triplet-gcc-posix -std=c11 "$root/examples/hello/hello.c" $(pkg-config --cflags --libs glimmerix) -o "$work/pc/hello.exe"
cp "$prefix/bin/glimmerix.dll" "$work/pc/"
check "pkg-config, the DLL" "$work/pc/hello.exe"
# shellcheck disable=SC2046
$triplet-gcc-posix -std=c11 -static "$root/examples/hello/hello.c" $(pkg-config --static --cflags --libs glimmerix) \
  -o "$work/pc/hello_static.exe"
check "pkg-config --static" "$work/pc/hello_static.exe"
