#!/usr/bin/env bash
# Takes the README's screenshot of the running demo on a private X server:
# tools/screenshot.sh [OUT.png] (default docs/screenshot.png). Needs build/glimmerix.
# tools/screenshot.sh --web [OUT.png] (default docs/web.png) takes the web page's instead, in
# headless Chromium, from the site that tools/web.sh built.
# tools/screenshot.sh --windows [OUT.png] (default docs/windows.png) takes glimmerix.exe's
# under Wine, from the folder that tools/windows.sh built.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = --web ]; then
  out=${2:-docs/web.png}
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
  python3 -m http.server 8123 --bind 127.0.0.1 --directory build-web/site >/dev/null 2>&1 &
  server=$!
  trap 'kill $server 2>/dev/null || true' EXIT
  for _ in $(seq 50); do python3 -c 'import urllib.request; urllib.request.urlopen("http://127.0.0.1:8123/")' 2>/dev/null && break; sleep 0.1; done
  node tools/web_screenshot.mjs http://127.0.0.1:8123/ "$out"
  exit 0
fi
. tools/xserver.sh
if [ "${1:-}" = --windows ]; then
  out=${2:-docs/windows.png}
  . tools/wine-session.sh
  wine_session_start build-windows
  (cd build-windows && exec wine64 glimmerix.exe 2>/dev/null) &
  pid=$!
  trap 'kill $pid 2>/dev/null || true; wine_session_stop' EXIT
else
  out=${1:-docs/screenshot.png}
  build/glimmerix 2>/dev/null &
  pid=$!
  trap 'kill $pid 2>/dev/null || true' EXIT
fi
. tools/drive.sh
dismiss_welcome
wid=$(main_window)
xdotool mousemove --sync --window "$wid" 150 110
for _ in 1 2 3; do xdotool click 1; sleep 0.05; done   # effect 3: screen
sleep 2.5                                                # let the rate line settle
import -window root -crop "$(window_crop "$wid")" +repage "$out"
echo "wrote $out"
