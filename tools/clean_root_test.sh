#!/usr/bin/env bash
# Builds the packages in a fresh minimal Debian 12 root that holds only build-essential and
# what debian/control's Build-Depends name (installed with apt-get build-dep, so a missing
# build dependency fails there), then installs them in a second fresh root as a new user's
# machine would (apt-get install ./x.deb, dependencies from Debian's archive through this
# machine's own apt sources), runs their autopkgtest cases there (each case's own script,
# with the Depends its control stanza names), purges them and shows that nothing of them is
# left. Needs root and Debian's archive; takes a few minutes.
#   tools/clean_root_test.sh            (tools/package.sh --clean-root runs it)
set -euo pipefail
source=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "clean_root_test.sh: needs root (chroot)" >&2; exit 1; }
command -v mmdebstrap >/dev/null || { apt-get update -q && apt-get install -y -q --no-install-recommends mmdebstrap; }

work=$(mktemp -d)
roots=()
cleanup() {
  for root in "${roots[@]}"; do
    for m in dev/pts dev proc; do mountpoint -q "$root/$m" && umount -l "$root/$m"; done
  done
  rm -rf "$work"
}
trap cleanup EXIT
step() { printf '\n== %s\n' "$*"; }

# The archive as this machine's apt knows it: its own sources files.
sources=()
for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
  [ -s "$f" ] && sources+=("$f")
done
# A fresh root with the given packages besides apt; `in_root ROOT COMMAND...` runs in it.
fresh_root() {
  local root=$1
  shift
  mmdebstrap --quiet --variant=apt --mode=root --include="$(IFS=,; echo "$*")" bookworm "$root" "${sources[@]}"
  roots+=("$root")
  mount --bind /proc "$root/proc"
  mount --bind /dev "$root/dev"
  mount --bind /dev/pts "$root/dev/pts"
  cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
  chroot "$root" apt-get update -q >/dev/null   # mmdebstrap leaves no package lists behind
}
in_root() {
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root DEBIAN_FRONTEND=noninteractive "$@"
}

version=$(cd "$source" && dpkg-parsechangelog -SVersion)
step "the source package, built in a root of build-essential and its Build-Depends"
build=$work/build
fresh_root "$build" build-essential
mkdir -p "$build/tmp/src/glimmerix-$version"
"$source/tools/source-tree.sh" "$build/tmp/src/glimmerix-$version"
in_root "$build" apt-get build-dep -y -q "/tmp/src/glimmerix-$version" | grep -E '^[0-9]+ upgraded' || true
in_root "$build" sh -c "cd /tmp/src/glimmerix-$version && dpkg-buildpackage -us -uc -j$(nproc) >/tmp/src/build.log 2>&1" ||
  { tail -n 40 "$build/tmp/src/build.log"; echo "FAIL: dpkg-buildpackage in the clean root" >&2; exit 1; }
ls "$build/tmp/src/"*.deb "$build/tmp/src/"*.dsc | xargs -n1 basename

step "a second fresh root: what the autopkgtest cases depend on, then the packages"
root=$work/root
# The cases' Depends besides the packages themselves, so that what the packages bring can be
# told apart from them.
fresh_root "$root" build-essential pkgconf cmake
in_root "$root" dpkg-query -W -f='${Package}\n' | sort >"$work/before"
echo "$(wc -l <"$work/before") packages, with build-essential, pkgconf and cmake"
mkdir -p "$root/tmp/packages"
for p in glimmerix libglimmerix1 libglimmerix-dev; do cp "$build/tmp/src/${p}_${version}_"*.deb "$root/tmp/packages/"; done
in_root "$root" sh -c 'apt-get install -y -q --no-install-recommends /tmp/packages/*.deb' \
  | grep -E '^(Setting up|Unpacking) (glimmerix|libglimmerix)' || true
in_root "$root" dpkg-query -W glimmerix libglimmerix1 libglimmerix-dev

step "the autopkgtest cases (debian/tests), against the installed packages"
cp -r "$source/debian/tests" "$root/tmp/tests"
for case in $(sed -n 's/^Tests: //p' "$source/debian/tests/control"); do
  echo "-- $case"
  in_root "$root" sh -c "mkdir -p /tmp/t-$case && AUTOPKGTEST_TMP=/tmp/t-$case /tmp/tests/$case" ||
    { echo "FAIL: autopkgtest case $case" >&2; exit 1; }
done

step "the demo, from its desktop entry's command, headless"
exec_line=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/org.example.glimmerix.desktop")
echo "Exec=$exec_line"
in_root "$root" sh -c "SDL_VIDEODRIVER=dummy timeout --preserve-status -s TERM 3 $exec_line; echo \"status \$?\"" >"$work/demo" 2>&1 || true
cat "$work/demo"
grep -qx 'status 0' "$work/demo" || { echo "FAIL: the demo did not run until stopped" >&2; exit 1; }

step "apt-get purge, then what is left"
in_root "$root" apt-get purge -y -q glimmerix libglimmerix1 libglimmerix-dev >/dev/null
in_root "$root" apt-get autoremove --purge -y -q >/dev/null
left=$(in_root "$root" sh -c 'ls -d /usr/share/glimmerix /usr/share/doc/*glimmerix* /usr/include/glimmerix \
  /usr/lib/*/libglimmerix* /usr/lib/*/cmake/Glimmerix /usr/lib/*/pkgconfig/glimmerix.pc /usr/bin/glimmerix \
  /usr/share/applications/org.example.glimmerix.desktop /usr/share/metainfo/org.example.glimmerix.metainfo.xml \
  /usr/share/man/man6/glimmerix.6.gz 2>/dev/null' || true)
in_root "$root" dpkg-query -W -f='${Package} ${db:Status-Status}\n' 2>/dev/null | grep -i glimmerix && left="$left (in dpkg's database)"
[ -z "$left" ] || { echo "FAIL: left after purge: $left" >&2; exit 1; }
in_root "$root" dpkg-query -W -f='${Package}\n' | sort >"$work/after"
if ! diff "$work/before" "$work/after"; then echo "FAIL: the package list differs from before" >&2; exit 1; fi
echo "no file of the three packages is left, and the root holds the same $(wc -l <"$work/after") packages as before"
echo "clean root: passed"
