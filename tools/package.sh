#!/usr/bin/env bash
# Builds Release with Debian's hardening flags and writes the three Debian packages into
# build/packages/: glimmerix (the demo), libglimmerix1 (the shared library) and
# libglimmerix-dev (header, static library, pkg-config file, CMake package, guide, examples).
#   tools/package.sh               build the packages
#   tools/package.sh --clean-root  also install them into a fresh minimal Debian 12 root
#                                  (mmdebstrap, from Debian's archive), use them there, remove
#                                  them, and show nothing of them is left
set -euo pipefail
cd "$(dirname "$0")/.."
clean_root=
case "${1:-}" in
  "") ;;
  --clean-root) clean_root=1 ;;
  *) echo "usage: tools/package.sh [--clean-root]" >&2; exit 2 ;;
esac

tools/install-deps.sh
out=build/packages
rm -rf "$out" build-package/cpack
mkdir -p "$out"
# dpkg-buildflags gives the hardening Debian packages are built with, all of it.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
  cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DGLIMMERIX_DEB=ON \
    -DGLIMMERIX_TESTS=OFF -DGLIMMERIX_BENCH=OFF >/dev/null
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB >/dev/null)
cp build-package/cpack/*.deb "$out/"
ls -l "$out"

[ -n "$clean_root" ] || exit 0
exec tools/clean_root_test.sh "$out"
