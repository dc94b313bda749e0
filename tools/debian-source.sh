#!/usr/bin/env bash
# Fetches a Debian source package of the pinned version into a cache folder and unpacks it
# there, checked by dpkg-source; prints the unpacked folder. The machine's own apt sources
# give the archives (their deb lines become deb-src lines in a list of the cache's own), so
# /etc/apt is left as it is.
#   tools/debian-source.sh PACKAGE VERSION CACHE_DIR
set -euo pipefail
package=${1:?usage: debian-source.sh PACKAGE VERSION CACHE_DIR}
version=${2:?usage: debian-source.sh PACKAGE VERSION CACHE_DIR}
cache=${3:?usage: debian-source.sh PACKAGE VERSION CACHE_DIR}
upstream=${version#*:}
upstream=${upstream%-*}
unpacked="$cache/$package-$upstream"
if [ -f "$unpacked/.glimmerix-$version" ]; then echo "$unpacked"; exit 0; fi

mkdir -p "$cache/lists/partial" "$cache/archives/partial"
list="$cache/sources.list"
{
  # One-line sources: "deb [options] URI SUITE COMPONENT...".
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done
  # deb822 sources: stanzas of Types, URIs, Suites, Components and Signed-By.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/ && uris != "" && enabled != "no") {
          n = split(uris, u, " "); m = split(suites, s, " ")
          for (i = 1; i <= n; i++) for (j = 1; j <= m; j++)
            print "deb-src" (key != "" ? " [signed-by=" key "]" : "") " " u[i] " " s[j] " " components
        }
        types = uris = suites = components = key = enabled = ""
      }
      /^[[:space:]]*$/ { flush(); next }
      /^#/ { next }
      { field = tolower($1); sub(/:$/, "", field); $1 = ""; sub(/^ +/, "")
        if (field == "types") types = $0; else if (field == "uris") uris = $0
        else if (field == "suites") suites = $0; else if (field == "components") components = $0
        else if (field == "signed-by") key = $0; else if (field == "enabled") enabled = tolower($0) }
      END { flush() }' "$f"
  done
} >"$list"
[ -s "$list" ] || { echo "debian-source.sh: no apt sources found on this machine" >&2; exit 1; }

apt_options=(-o "Dir::Etc::SourceList=$list" -o Dir::Etc::SourceParts=/dev/null
  -o "Dir::State::Lists=$cache/lists" -o "Dir::Cache::Archives=$cache/archives" -q)
apt-get "${apt_options[@]}" update >&2
rm -rf "$cache/download" && mkdir -p "$cache/download"
(cd "$cache/download" && apt-get "${apt_options[@]}" source --download-only "$package=$version" >&2)
dsc=$(ls "$cache/download"/"${package}"_*.dsc)
rm -rf "$unpacked"
dpkg-source -x "$dsc" "$unpacked" >&2
grep -q "^Version: $version\$" "$dsc" || { echo "debian-source.sh: $dsc is not version $version" >&2; exit 1; }
touch "$unpacked/.glimmerix-$version"
echo "$unpacked"
