#!/usr/bin/env bash
# Builds Release and runs every benchmark in one go, on a private X server when there is
# no display: prints a table and writes bench/results.json and bench/results.svg.
#   ./bench.sh           the full run (about two minutes, one of them the memory minute);
#                        also writes the README's table of figures
#   ./bench.sh --quick   fewer repetitions and a five-second memory run, for a first look
set -euo pipefail
cd "$(dirname "$0")"
quick=
memory_seconds=60
if [ "${1:-}" = "--quick" ]; then quick=--quick; memory_seconds=5; fi

[ -n "${GLIMMERIX_IN_XVFB:-}" ] || tools/build.sh
. tools/xserver.sh
. tools/drive.sh

# The program's resident memory over a minute of frames.
build/glimmerix >/dev/null 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
dismiss_welcome
xdotool mousemove --sync --window "$(main_window)" 160 120
sleep 1
rss_1s=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
sleep $((memory_seconds - 1))
rss_end=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status")
peak=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status")
xdotool key Escape
wait "$pid" || true
trap - EXIT

build/bench/glimmerix_bench --program=build/glimmerix --memory="$rss_1s,$rss_end,$peak" \
  --json=bench/results.json --svg=bench/results.svg --readme=README.md --benchmark_color=false $quick

# What decoding big photos and GIFs costs, against what the scene uses of them.
build/bench/decode_bench --benchmark_color=false
