#!/usr/bin/env bash
# Builds libjpeg-turbo, static and without its TurboJPEG API, from Debian's source package
# (the same version the desktop links) for a target the machine's packages do not serve:
# prints the folder it installed into, which holds include/ and lib/libjpeg.a.
#   tools/libjpeg-turbo.sh BUILD_DIR CMAKE_LAUNCHER...   (e.g. build-web/libjpeg-turbo emcmake)
# The source is fetched once into .cache/ (tools/debian-source.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: libjpeg-turbo.sh BUILD_DIR CMAKE_LAUNCHER... [-- CMAKE_OPTIONS...]}
shift
launcher=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do launcher+=("$1"); shift; done
[ "${1:-}" = -- ] && shift
version=1:2.1.5-2  # bookworm's; the desktop's libjpeg-dev is built from it
source=$(tools/debian-source.sh libjpeg-turbo "$version" "$PWD/.cache/debian-sources")
install="$build/install"
if [ -f "$install/lib/libjpeg.a" ] && [ -f "$install/.from-$version" ]; then echo "$install"; exit 0; fi
# No SIMD: its assembly needs NASM and targets x86 alone; the C paths give the same pixels.
"${launcher[@]}" cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
  -DWITH_SIMD=OFF -DCMAKE_INSTALL_PREFIX="$install" -DCMAKE_INSTALL_LIBDIR=lib "$@" >&2
cmake --build "$build" -j "$(nproc)" --target jpeg-static >&2
mkdir -p "$install/include" "$install/lib"
cp "$build/libjpeg.a" "$install/lib/"
cp "$source/jpeglib.h" "$source/jmorecfg.h" "$source/jerror.h" "$build/jconfig.h" "$install/include/"
touch "$install/.from-$version"
echo "$install"
