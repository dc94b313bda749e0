#!/usr/bin/env bash
# Builds the source package and the three binary packages (tools/package.sh, with
# dpkg-buildpackage), checks them with lintian --pedantic, desktop-file-validate and
# appstreamcli, checks that debian/changelog and CMake's project() give one version and that
# the library exports what its symbols file says, then unpacks the packages into an empty
# folder and runs their autopkgtest cases against it.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$source/tests/install/common.sh"
cd "$source"

tools/package.sh >"$work/package.log" 2>&1 || { cat "$work/package.log"; fail "tools/package.sh"; }
packages=(build/packages/glimmerix_*.deb build/packages/libglimmerix1_*.deb build/packages/libglimmerix-dev_*.deb)
[ ${#packages[@]} -eq 3 ] || fail "expected 3 packages, found ${#packages[@]}"
dsc=(build/packages/*.dsc)
[ ${#dsc[@]} -eq 1 ] || fail "expected one source package, found ${#dsc[@]}"

# lintian: no error and no warning; what informational tags are left the README explains.
lintian --pedantic --fail-on error,warning "${dsc[@]}" "${packages[@]}" >"$work/lintian" ||
  { cat "$work/lintian"; fail "lintian reports errors or warnings"; }
echo "ok   lintian --pedantic: no error, no warning ($(grep -c '^[IP]:' "$work/lintian" || true) informational tags)"

version=$(dpkg-parsechangelog -SVersion)
project=$(sed -n 's/^project(Glimmerix VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$version" = "$project" ] || fail "debian/changelog says $version, CMake's project() $project"
echo "ok   debian/changelog and project() agree: $version"

# The symbols the built library exports are the symbols file's, no more and no fewer.
dpkg-deb -e build/packages/libglimmerix1_*.deb "$work/control"
diff <(grep -v '^\*' debian/libglimmerix1.symbols | awk '{print $1}' | sort) \
     <(grep -v '^\*' "$work/control/symbols" | awk '{print $1}' | sort) || fail "the exported symbols differ from debian/libglimmerix1.symbols"
echo "ok   the library exports exactly the $(grep -c '^ ' debian/libglimmerix1.symbols) symbols of its symbols file"

root=$work/root
for p in "${packages[@]}"; do dpkg-deb -x "$p" "$root"; done
desktop-file-validate "$root/usr/share/applications/org.example.glimmerix.desktop" || fail "desktop entry"
echo "ok   desktop entry valid"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.example.glimmerix.metainfo.xml" >"$work/appstream" ||
  { cat "$work/appstream"; fail "appstreamcli validate"; }
echo "ok   appstreamcli validate --no-net --pedantic: $(tail -n 1 "$work/appstream")"

# The icons at every size a desktop asks for, and a software centre's view of the installed
# tree: appstreamcli compose lists the demo with its icons, and reports no error.
for size in 16 24 32 48 64 128 256; do
  icon="$root/usr/share/icons/hicolor/${size}x$size/apps/glimmerix.png"
  [ "$(identify -format '%wx%h' "$icon" 2>/dev/null)" = "${size}x$size" ] || fail "no ${size}x$size icon in the package"
done
echo "ok   icons of 16 to 256 pixels in hicolor"
appstreamcli compose --no-color --no-net --origin=glimmerix --result-root="$work/compose" "$root" >"$work/compose.log" 2>&1 ||
  { cat "$work/compose.log"; fail "appstreamcli compose"; }
! grep -qE '^ *E:|error' "$work/compose.log" || { cat "$work/compose.log"; fail "appstreamcli compose reports errors"; }
catalog=$(find "$work/compose" -name 'glimmerix.xml.gz' | head -n 1)
[ -n "$catalog" ] && zcat "$catalog" | grep -q '<id>org.example.glimmerix</id>' &&
  zcat "$catalog" | grep -q '<icon type="cached"' || { cat "$work/compose.log"; fail "the software centre's catalogue lists no demo with icons"; }
echo "ok   appstreamcli compose: the demo listed with its icons ($(zcat "$catalog" | grep -c '<icon type="cached"') sizes)"

# The autopkgtest cases that need no installed packages, against the unpacked ones.
for case in build-against-the-library demo-starts-and-refuses-damage; do
  GLIMMERIX_ROOT=$root AUTOPKGTEST_TMP=$(mktemp -d -p "$work") debian/tests/$case || fail "autopkgtest case $case"
done
