#!/usr/bin/env bash
# Builds the Debian source package and the three binary packages from debian/ with
# dpkg-buildpackage, into build/packages/: glimmerix (the demo), libglimmerix1 (the shared
# library) and libglimmerix-dev (header, static library, pkg-config file, CMake package,
# guide, examples), with glimmerix_VERSION.dsc and its tarball.
#   tools/package.sh               build the packages here
#   tools/package.sh --clean-root  build them in a fresh Debian 12 root holding only
#                                  build-essential and the Build-Depends, install them in
#                                  another, run their autopkgtest cases, purge them and
#                                  show that nothing of them is left (tools/clean_root_test.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-}" in
  "") ;;
  --clean-root) exec tools/clean_root_test.sh ;;
  *) echo "usage: tools/package.sh [--clean-root]" >&2; exit 2 ;;
esac

tools/install-deps.sh
# Every date in the packages is the last commit's (dpkg would take the changelog's).
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || dpkg-parsechangelog -STimestamp)}
export SOURCE_DATE_EPOCH
version=$(dpkg-parsechangelog -SVersion)
out=build/packages
tree=build/deb-src/glimmerix-$version
rm -rf "$out" build/deb-src
mkdir -p "$out" "$tree"
tools/source-tree.sh "$tree"
(cd "$tree" && dpkg-buildpackage -us -uc -j"$(nproc)") >build/deb-src/build.log 2>&1 ||
  { tail -n 40 build/deb-src/build.log; echo "package.sh: dpkg-buildpackage failed (build/deb-src/build.log)" >&2; exit 1; }
cp build/deb-src/*.deb build/deb-src/*.dsc build/deb-src/*.tar.* build/deb-src/*.buildinfo build/deb-src/*.changes "$out/"
ls -l "$out"
