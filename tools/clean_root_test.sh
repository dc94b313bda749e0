#!/usr/bin/env bash
# Installs the three packages into a fresh minimal Debian 12 root as a new user's machine
# would (apt-get install ./x.deb, dependencies from Debian's archive through this machine's
# own apt sources), starts the demo headless from its desktop entry's command, builds the
# library's C example there, then removes the packages and shows that nothing of them is
# left. Needs root and Debian's archive; takes a few minutes.
#   tools/clean_root_test.sh PACKAGES_DIR      (tools/package.sh --clean-root calls it)
set -euo pipefail
packages=$(cd "${1:?usage: clean_root_test.sh PACKAGES_DIR}" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "clean_root_test.sh: needs root (chroot)" >&2; exit 1; }
command -v mmdebstrap >/dev/null || { apt-get update -q && apt-get install -y -q --no-install-recommends mmdebstrap; }

work=$(mktemp -d)
root=$work/root
cleanup() {
  for m in dev/pts dev proc; do mountpoint -q "$root/$m" && umount -l "$root/$m"; done
  rm -rf "$work"
}
trap cleanup EXIT
step() { printf '\n== %s\n' "$*"; }

# The archive as this machine's apt knows it: its own sources files.
sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -s "$f" ] && sources+=("$f")
done
step "a minimal Debian 12 root (mmdebstrap --variant=apt)"
mmdebstrap --quiet --variant=apt --mode=root bookworm "$root" "${sources[@]}"
mount --bind /proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"; }
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
in_root apt-get update -q >/dev/null   # mmdebstrap leaves no package lists behind
# The compiler and pkg-config for the example come first, so that what the packages bring
# can be told apart from them.
in_root apt-get install -y -q --no-install-recommends gcc libc6-dev pkgconf >/dev/null
in_root dpkg-query -W -f='${Package}\n' | sort >"$work/before"
echo "$(wc -l <"$work/before") packages, with gcc and pkgconf"

step "apt-get install ./glimmerix*.deb ./libglimmerix*.deb"
mkdir -p "$root/tmp/packages"
cp "$packages"/*.deb "$root/tmp/packages/"
in_root sh -c 'apt-get install -y -q --no-install-recommends /tmp/packages/*.deb' \
  | grep -E '^(Setting up|Unpacking) (glimmerix|libglimmerix)' || true
in_root dpkg-query -W glimmerix libglimmerix1 libglimmerix-dev

step "the demo, from its desktop entry's command, headless"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/glimmerix.desktop")
echo "Exec=$exec_line"
in_root sh -c "SDL_VIDEODRIVER=dummy timeout --preserve-status -s TERM 3 $exec_line; echo \"status \$?\"" >"$work/demo" 2>&1 || true
cat "$work/demo"
# timeout's SIGTERM reaches the frame loop, which ends with status 0: a start-up failure
# would have ended it earlier with status 1 and a message.
grep -qx 'status 0' "$work/demo" || { echo "FAIL: the demo did not run until stopped" >&2; exit 1; }
[ "$(grep -vc '^status\|welcome message' "$work/demo")" -eq 0 ] || { echo "FAIL: the demo printed an error" >&2; exit 1; }

step "the README's example, built with pkg-config against the installed package"
. "$source/tests/install/common.sh"
readme_c_block "$source" >"$root/tmp/hello.c"
in_root sh -c 'cc -std=c11 -Wall -Werror -o /tmp/hello /tmp/hello.c $(pkg-config --cflags --libs glimmerix) && /tmp/hello'

step "apt-get purge, then what is left"
in_root apt-get purge -y -q glimmerix libglimmerix1 libglimmerix-dev >/dev/null
in_root apt-get autoremove --purge -y -q >/dev/null
left=$(in_root sh -c 'ls -d /usr/share/glimmerix /usr/share/doc/*glimmerix* /usr/include/glimmerix \
  /usr/lib/*/libglimmerix* /usr/lib/*/cmake/Glimmerix /usr/lib/*/pkgconfig/glimmerix.pc /usr/bin/glimmerix \
  /usr/share/applications/glimmerix.desktop /usr/share/man/man6/glimmerix.6.gz 2>/dev/null' || true)
in_root dpkg-query -W -f='${Package} ${db:Status-Status}\n' 2>/dev/null | grep -i glimmerix && left="$left (in dpkg's database)"
[ -z "$left" ] || { echo "FAIL: left after purge: $left" >&2; exit 1; }
in_root dpkg-query -W -f='${Package}\n' | sort >"$work/after"
if ! diff "$work/before" "$work/after"; then echo "FAIL: the package list differs from before" >&2; exit 1; fi
echo "no file of the three packages is left, and the root holds the same $(wc -l <"$work/after") packages as before"
echo "clean root: passed"
