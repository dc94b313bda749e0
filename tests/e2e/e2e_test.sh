#!/usr/bin/env bash
# Runs the real program on an X server (start it under xvfb-run, 1024x768x24, no window
# manager) and works it as a person would: dismiss the welcome box, move the pointer,
# click, press Esc. Checks the window's place and size and pixels of screenshots.
set -euo pipefail
program=${1:?usage: e2e_test.sh PATH_TO_GLIMMERIX}
work=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

. "$(dirname "$0")/../../tools/drive.sh"

fail() { echo "FAIL: $*" >&2; [ -s "$work/stderr" ] && sed 's/^/  program: /' "$work/stderr" >&2; exit 1; }
# A 320x240 screenshot of the main window's area, raw RGB.
shot() { import -window root -crop "320x240+$wx+$wy" +repage -depth 8 "rgb:$1"; }

"$program" >"$work/stdout" 2>"$work/stderr" &
pid=$!

dismiss_welcome 2>"$work/why" || fail "$(cat "$work/why")"
wid=$(main_window)
read -r wx wy ww wh <<<"$(window_geometry "$wid")"
read -r sw sh <<<"$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')"
centred="$(( (sw - 320) / 2 )) $(( (sh - 240) / 2 )) 320 240"
[ "$wx $wy $ww $wh" = "$centred" ] || fail "main window at/size '$wx $wy $ww $wh', expected '$centred' (centred 320x240)"

# Where the server shares memory the main window is presented through two images of the
# program's own (the splash's are gone with it); where it does not, SDL's path makes none.
images=$(awk -v pid="$pid" '$5 == pid && $4 == 320 * 240 * 4' /proc/sysvipc/shm | wc -l)
if xdpyinfo -queryExtensions | grep MIT-SHM >/dev/null; then path="two shared images"; want=2; else path="SDL's present"; want=0; fi
[ "$images" -eq "$want" ] || fail "$images shared-memory images of the window's size, expected $want ($path)"

# Move the pointer; the sprite's pixel (23, 23) comes to rest within 2 px of the cursor.
xdotool mousemove --sync --window "$wid" 200 120
sleep 0.5
read -r r g b <<<"$(screen_pixel $((wx + 200)) $((wy + 120)))"
[ "$r" -ge 235 ] && [ "$g" -ge 235 ] && [ "$b" -ge 200 ] || fail "under the light (effect 0) expected near white, got $r $g $b"
shot "$work/effect0.rgb"

# Far from the sprite and the text the screen holds the background picture itself, to
# the byte: the present path copies the back buffer exactly. (The sprite rests from row 95.)
import -window root -crop "320x90+$wx+$wy" +repage "$work/top.png"
convert "$(dirname "$program")/Planet.jpg" -crop 320x90+0+0 +repage "$work/planet_top.png"
differ=$(compare -metric AE "$work/top.png" "$work/planet_top.png" null: 2>&1 || true)
[ "$differ" = "0" ] || fail "the top 90 rows differ from the background picture in $differ pixels"
read -r r0 g0 b0 <<<"$(screen_pixel $((wx + 300)) $((wy + 20)))"

# A click changes the effect: the effect line and the sprite change, nothing far away does.
xdotool click 1
sleep 0.5
shot "$work/effect1.rgb"
read -r r g b <<<"$(screen_pixel $((wx + 200)) $((wy + 120)))"
[ "$r" -le 40 ] && [ "$g" -le 40 ] && [ "$b" -le 60 ] || fail "under the light (effect 1, subtract) expected near black, got $r $g $b"
# Rows 210..222 hold "Current Effect: N": they must differ between the two shots.
line_of() { dd if="$1" bs=960 skip=210 count=13 status=none | md5sum; }
[ "$(line_of "$work/effect0.rgb")" != "$(line_of "$work/effect1.rgb")" ] || fail "the effect line did not change after a click"
read -r r2 g2 b2 <<<"$(screen_pixel $((wx + 300)) $((wy + 20)))"
[ "$r0 $g0 $b0" = "$r2 $g2 $b2" ] || fail "a pixel far from the sprite changed with the effect"

# Esc ends the program at once with status 0.
xdotool key Escape
poll 50 bash -c "! kill -0 $pid 2>/dev/null" || fail "the program did not end after Esc"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "exit status $status after Esc"
echo "e2e ($path): welcome box, window $wx,$wy 320x240, pointer, click and Esc all as expected"
