#!/usr/bin/env bash
# Takes the README's screenshot of the running demo on a private X server:
# tools/screenshot.sh [OUT.png] (default docs/screenshot.png). Needs build/glimmerix.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/xserver.sh
out=${1:-docs/screenshot.png}
build/glimmerix 2>/dev/null &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
. tools/drive.sh
dismiss_welcome
wid=$(main_window)
xdotool mousemove --sync --window "$wid" 150 110
for _ in 1 2 3; do xdotool click 1; sleep 0.05; done   # effect 3: screen
sleep 2.5                                                # let the rate line settle
import -window root -crop "$(window_crop "$wid")" +repage "$out"
echo "wrote $out"
