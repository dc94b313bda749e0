#!/usr/bin/env bash
# Builds the three Debian packages, checks them with lintian and desktop-file-validate,
# unpacks them into an empty folder and uses them from there: the demo reaches its frame
# loop headless, and the README's C example builds against the development files.
set -euo pipefail
source=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
. "$source/tests/install/common.sh"

"$source/tools/package.sh" >"$work/package.log" 2>&1 || { cat "$work/package.log"; fail "tools/package.sh"; }
packages=("$source"/build/packages/*.deb)
[ ${#packages[@]} -eq 3 ] || fail "expected 3 packages, found ${#packages[@]}"
lintian --fail-on error "${packages[@]}" \
  >"$work/lintian" || { cat "$work/lintian"; fail "lintian reports errors"; }
echo "ok   lintian: no errors ($(grep -c '^W:' "$work/lintian" || true) warnings)"

root=$work/root
for p in "${packages[@]}"; do dpkg-deb -x "$p" "$root"; done
desktop-file-validate "$root/usr/share/applications/glimmerix.desktop" || fail "desktop entry"
echo "ok   desktop entry valid"
pc=$(dirname "$(find "$root" -name glimmerix.pc)")
readme_example "$pc" "$(dirname "$pc")" "$source"
demo_reaches_frame_loop "$root/usr/bin/glimmerix"
