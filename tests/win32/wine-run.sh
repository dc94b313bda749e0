#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs a program under Wine with its exit status.
# With both cores fully loaded, Wine once failed to start a test program at all (a failure
# in 0.01 s, not a byte written); a test program always writes, so such a start is tried
# again, and said so on standard error.
#   wine-run.sh PROGRAM.exe [ARG...]
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2 3; do
  status=0
  /usr/lib/wine/wine64 "$@" >"$out" 2>"$err" || status=$?
  if [ "$status" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ "$attempt" -eq 3 ]; then break; fi
  echo "wine-run.sh: $1 ended with status $status before writing anything; started again" >&2
done
cat "$out"
cat "$err" >&2
exit "$status"
