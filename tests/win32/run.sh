#!/usr/bin/env bash
# Everything the Windows build is tested with, under one Wine session on the X server it is
# started in (tools/windows.sh runs it in xvfb-run): the unit and program suites through
# CTest's emulator, the table's digest against Linux's, the demo from its zip, the library
# from its zip. Wine is shut down at the end, whatever happened.
#   run.sh WINDOWS_BUILD NATIVE_BUILD
set -euo pipefail
windows=$(cd "${1:?usage: run.sh WINDOWS_BUILD NATIVE_BUILD}" && pwd)
native=$(cd "${2:?}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/wine-session.sh"
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
wine_session_start "$windows"

echo "== the unit and program suites under Wine"
ctest --test-dir "$windows" --output-on-failure -j "$(nproc)"

echo "== the effect table under Wine against Linux's"
wine64 "$windows/tests/table_digests.exe" | tr -d '\r' >"$work/windows.digests"
"$native/tests/table_digests" >"$work/linux.digests"
cmp -s "$work/windows.digests" "$work/linux.digests" || { echo "FAIL: the tables differ"; diff "$work/windows.digests" "$work/linux.digests"; exit 1; }
echo "ok   the 18 tables' digests equal Linux's ($(head -n 1 "$work/linux.digests") ...)"

echo "== glimmerix.exe from its zip"
unzip -q "$windows"/packages/glimmerix-*-windows-x64.zip -d "$work/demo"
"$here/e2e_test.sh" "$(echo "$work"/demo/glimmerix-*)" "$native" "$windows"

echo "== the library from its zip"
"$here/library_test.sh" "$(echo "$windows"/packages/libglimmerix-*-windows-x64.zip)" "$native"
