#!/usr/bin/env bash
# Builds every artefact twice from the last commit and compares them byte for byte: the
# source package, the three Debian packages and their debug symbols, both Windows zips and
# the web site. The second build runs in another path, with another umask, time zone, locale
# and number of jobs, and later. Prints one line an artefact, and diffoscope's summary for any
# that differ. Takes several minutes; not part of ./test.sh.
#   tools/reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --windows --web
command -v diffoscope >/dev/null || apt-get install -y --no-install-recommends diffoscope >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# build DIR: a clone of the last commit in DIR, its artefacts gathered in DIR/out.
build() {
  local dir=$1
  git clone --quiet "$PWD" "$dir"
  # The Debian source packages the web and Windows builds compile, as downloaded here.
  [ -d .cache ] && cp -r .cache "$dir/"
  (cd "$dir" &&
    tools/package.sh >build.log 2>&1 &&
    tools/windows.sh --no-tests >>build.log 2>&1 &&
    tools/web.sh >>build.log 2>&1) || { tail -n 30 "$dir/build.log"; echo "reproducible.sh: the build in $dir failed" >&2; exit 1; }
  mkdir "$dir/out"
  cp "$dir"/build/packages/*.deb "$dir"/build/packages/*.dsc "$dir"/build/packages/*.tar.* \
    "$dir"/build-windows/packages/*.zip "$dir/out/"
  # The site as a web server serves it: its files' bytes and names (their modes are the umask's).
  tar --sort=name --mtime=@0 --owner=0 --group=0 --numeric-owner --mode=go-w,a+rX -C "$dir/build-web" -cf "$dir/out/web-site.tar" site
}

echo "== first build"
(umask 022 && TZ=UTC LC_ALL=C.UTF-8 build "$work/a/glimmerix")
echo "== second build: another path, umask, time zone, locale and number of jobs, later"
sleep 2
(umask 077 && TZ=Asia/Kathmandu LC_ALL=C taskset -c 0 bash -c "set -euo pipefail; $(declare -f build); build '$work/second/deeper/path/glimmerix'")

status=0
for f in "$work"/a/glimmerix/out/*; do
  name=$(basename "$f")
  other="$work/second/deeper/path/glimmerix/out/$name"
  if [ ! -f "$other" ]; then echo "MISSING  $name (only in the first build)"; status=1
  elif cmp -s "$f" "$other"; then echo "same     $name ($(stat -c %s "$f") bytes, sha256 $(sha256sum "$f" | cut -c1-16))"
  else
    echo "DIFFERS  $name"
    diffoscope --text - "$f" "$other" | head -n 40 || true
    status=1
  fi
done
[ "$status" -eq 0 ] && echo "reproducible.sh: every artefact is the same in both builds"
exit "$status"
