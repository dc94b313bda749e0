#!/usr/bin/env bash
# The real glimmerix.exe, from the unpacked zip, under Wine on an X server (no window
# manager), worked as a person would and checked against the Linux program on the same
# screen: the welcome box, the window, the sprite's pixels for all 18 effects, the names,
# Esc, the close request, a resize and maximise, and a table of damaged data files.
# Runs inside the Wine session of tests/win32/run.sh.
#   e2e_test.sh DEMO_DIR NATIVE_BUILD WINDOWS_BUILD
set -uo pipefail
demo=$(cd "${1:?usage: e2e_test.sh DEMO_DIR NATIVE_BUILD WINDOWS_BUILD}" && pwd)
native=$(cd "${2:?}" && pwd)
windows=$(cd "${3:?}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../tools/drive.sh"
work=$(mktemp -d)
pids=()
cleanup() { for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
failures=0
passed=0
bad() { echo "FAIL $1: $2"; failures=$((failures + 1)); }
ok() { echo "ok   $1"; passed=$((passed + 1)); }
# A 320 x 240 raw RGB shot of a window's scene whose top-left corner is at ($2, $3).
shot() { import -window root -crop "320x240+$2+$3" +repage -depth 8 "rgb:$1"; }
# The scene without its frame-rate line (rows 184..196), which differs from run to run.
steady() { { head -c $((184 * 960)) "$1"; tail -c +$((197 * 960 + 1)) "$1"; } | md5sum | cut -d' ' -f1; }

# What the sprite is blended from: the background picture and the sprite over the capture
# colour 0x404040, as ImageMagick decodes them (the Linux tests show they agree to the byte).
convert "$demo/Planet.jpg" -depth 8 "rgb:$work/background.rgb"
convert "$demo/Light.gif" -background '#404040' -flatten -depth 8 "rgb:$work/sprite.rgb"
sprite_side=$(identify -format %w "$demo/Light.gif")

start_windows() { (cd "$1" && exec /usr/lib/wine/wine64 glimmerix.exe >/dev/null 2>"$work/win_err") & wpid=$!; pids+=("$wpid"); }

# --- the welcome box, the window, the sprite for every effect, the names -----------------
start_windows "$demo"
if ! poll 100 welcome_box_open; then
  bad "welcome box" "no box titled \"Glimmerix Sample\" appeared: $(cat "$work/win_err")"
else
  ok "welcome box titled \"Glimmerix Sample\""
fi
dismiss_welcome 2>"$work/why" || bad "welcome box" "$(cat "$work/why")"
wwid=$(main_window)
read -r wx wy ww wh <<<"$(window_geometry "$wwid")"
read -r sw sh <<<"$(xwininfo -root | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')"
if [ "$ww $wh" = "320 240" ] && [ "$wx $wy" = "$(( (sw - 320) / 2 )) $(( (sh - 240) / 2 ))" ]; then
  ok "main window \"Form1\": client area 320 x 240, centred"
else
  bad "main window" "client area $ww x $wh at $wx,$wy"
fi

# Pointer to (200, 120); a shot of the light at rest and a click, 19 times, for each effect and
# effect 0 again: shots/$1_0.rgb .. $1_18.rgb of the window whose scene is at ($2, $3).
shots_of_every_effect() {
  xdotool mousemove --sync $(($2 + 200)) $(($3 + 120))
  sleep 0.5  # the light eases to rest under the pointer
  for effect in $(seq 0 18); do
    shot "$work/$1_$effect.rgb" "$2" "$3"
    [ "$effect" -lt 18 ] && xdotool click 1 && sleep 0.2
  done
}
shots_of_every_effect win "$wx" "$wy"

# The Linux program afterwards, at the same place on the same screen, worked the same way.
"$native/glimmerix" >/dev/null 2>"$work/lin_err" & lpid=$!; pids+=("$lpid")
dismiss_welcome 2>"$work/why" || bad "Linux program" "$(cat "$work/why")"
lwid=$(xdotool search --onlyvisible --name '^Form1$' | grep -vx "$wwid" | head -n 1)
read -r lx ly _ <<<"$(window_geometry "$lwid")"
shots_of_every_effect lin "$lx" "$ly"
xdotool windowfocus --sync "$lwid" key Escape
process_ended_within "$lpid" 50 || bad "Linux program" "did not end after Esc"

rest=$("$native/tests/sprite_check" "$work/lin_0.rgb" "$work/background.rgb" "$work/sprite.rgb" "$sprite_side" 0 find)
if [ "$(wc -l <<<"$rest")" -ne 1 ] || [ -z "$rest" ]; then bad "sprite" "the Linux program's light rests at '$rest'"; fi
for effect in $(seq 0 18); do
  e=$((effect % 18))
  # shellcheck disable=SC2086
  if ! "$native/tests/sprite_check" "$work/win_$effect.rgb" "$work/background.rgb" "$work/sprite.rgb" "$sprite_side" "$e" $rest 2>"$work/why"; then
    found=$("$native/tests/sprite_check" "$work/win_$effect.rgb" "$work/background.rgb" "$work/sprite.rgb" "$sprite_side" "$e" find | xargs)
    bad "effect $e" "$(cat "$work/why"); the light is exact at '${found:-nowhere}', on Linux at ($rest)"
  elif [ "$(steady "$work/win_$effect.rgb")" != "$(steady "$work/lin_$effect.rgb")" ]; then
    bad "effect $e" "the scene (the effect's number and name included) differs from the Linux program's"
  else
    ok "effect $e: the light rests at ($rest) as on Linux, every pixel the blend's; the number and name as on Linux"
  fi
done
[ "$(steady "$work/win_18.rgb")" = "$(steady "$work/win_0.rgb")" ] && ok "18 clicks bring back effect 0" ||
  bad "18 clicks" "the scene is not effect 0's"

# A resize and a maximise: the scene by the presentation rule, every pixel whole.
control() { /usr/lib/wine/wine64 "$windows/tests/window_control.exe" "$@"; }
# The scene of the window at ($1, $2), $3 x $4, at the largest whole factor: "scale" when each
# scene pixel is a uniform square, black lies beside it and pixel (300, 20) is the picture's.
scaled_scene() {
  local w=$3 h=$4 s left top
  read -r s left top <<<"$(scene_placement "$w" "$h")"
  left=$(( $1 + left )) top=$(( $2 + top ))
  import -window root -crop "$((320 * s))x$((240 * s))+$left+$top" +repage "$work/scaled.png"
  convert "$work/scaled.png" -sample "320x240!" -sample "$((320 * s))x$((240 * s))!" "$work/resampled.png"
  [ "$(compare -metric AE "$work/scaled.png" "$work/resampled.png" null: 2>&1)" = 0 ] || { echo "scene pixels not whole"; return 1; }
  [ "$(screen_pixel $((left - 1)) $((top + 10)))" = "0 0 0" ] || { echo "not black beside the scene"; return 1; }
  [ "$(screen_pixel $((left + 300 * s)) $((top + 20 * s)))" = "$(picture_pixel "$demo/Planet.jpg" 300 20)" ] ||
    { echo "pixel (300, 20) is not the picture's"; return 1; }
  echo "$s"
}
# Wine takes the focus back when its window is clicked, not when the X server moves it.
xdotool mousemove --sync $((wx + 60)) $((wy + 200)) click 1  # the light out of the way
sleep 0.3
for how in "size 700 500" "maximize"; do
  # shellcheck disable=SC2086
  control $how
  sleep 0.6
  read -r x y w h <<<"$(window_geometry "$wwid")"
  if said=$(scaled_scene "$x" "$y" "$w" "$h"); then ok "$how: ${w} x $h shows the scene ${said}x, centred, black around it"
  else bad "$how" "at $w x $h: $said"; fi
done
control restore
sleep 0.3

xdotool key Escape
if process_ended_within "$wpid" 50 && [ "$status" -eq 0 ]; then ok "Esc ends it with status 0"
else bad "Esc" "still running, or status ${status:-?}: $(cat "$work/win_err")"; kill -9 "$wpid" 2>/dev/null; fi

# The close request (Alt+F4, as the taskbar's Close): status 0.
start_windows "$demo"
dismiss_welcome 2>"$work/why" || bad "close" "$(cat "$work/why")"
xdotool key alt+F4
if process_ended_within "$wpid" 50 && [ "$status" -eq 0 ]; then ok "a close request ends it with status 0"
else bad "close" "still running, or status ${status:-?}: $(cat "$work/win_err")"; kill -9 "$wpid" 2>/dev/null; fi

# --- damaged data files: the Linux program's message, a box, status 1 ---------------------
mkdir "$work/jpegs"
"$native/tests/bad_jpegs" "$work/jpegs" >/dev/null
names="Effects' Names.txt"
error_box() { xwininfo -root -tree | awk '/"Glimmerix"/ {print $1; exit}'; }
error_box_open() { [ -n "$(error_box)" ]; }
# Return to the box until the program has ended (a key sent as the box is being mapped may
# be lost), for up to 20 s; sets $box to the box seen, if any.
dismiss_error_box() {
  box=
  for _ in $(seq 100); do
    kill -0 "$wpid" 2>/dev/null || return 0
    local b
    b=$(error_box)
    [ -n "$b" ] && box=$b && press_return_in "$b"
    sleep 0.2
  done
}
# The message as both programs print it, the place looked in left out (Z:\... under Wine).
message() { tr -d '\r' <"$1" | sed 's/ (looked for .*)$/ (looked for …)/'; }
refused() {
  local name=$1 setup=$2
  rm -rf "$work/win" "$work/lin"
  cp -r "$demo" "$work/win"
  mkdir "$work/lin" && cp "$native/glimmerix" "$native/Loading.jpg" "$native/Planet.jpg" "$native/Light.gif" "$native/$names" "$work/lin/"
  (cd "$work/win" && eval "$setup") && (cd "$work/lin" && eval "$setup")
  # No display for it: SDL would show its box on ours.
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy timeout -s KILL 10 "$work/lin/glimmerix" >/dev/null 2>"$work/lin_err"
  start_windows "$work/win"
  dismiss_error_box
  if ! process_ended_within "$wpid" 50; then bad "$name" "still running$([ -z "$box" ] && echo ', no box titled "Glimmerix"')"; kill -9 "$wpid"
  elif [ -z "$box" ]; then bad "$name" "no box titled \"Glimmerix\" (status $status; it wrote: $(tr -d '\r' <"$work/win_err" | head -c 600))"
  elif [ "$status" -ne 1 ]; then bad "$name" "status $status: $(cat "$work/win_err")"
  elif [ "$(tr -d '\r' <"$work/win_err" | wc -l)" -ne 1 ]; then bad "$name" "not one line: $(cat "$work/win_err")"
  elif [ "$(message "$work/win_err")" != "$(message "$work/lin_err")" ]; then
    bad "$name" "says '$(message "$work/win_err")', the Linux program '$(message "$work/lin_err")'"
  else ok "$name: $(message "$work/win_err") (box dismissed, status 1)"
  fi
}
refused "missing Planet.jpg" "rm Planet.jpg"
refused "empty Light.gif" ": > Light.gif"
refused "Loading.jpg a directory" "rm Loading.jpg && mkdir Loading.jpg"
refused "17 names" "head -n 17 \"$demo/$names\" > \"$names\""
refused "a JPEG of one scan repeated 10,000 times" "cp \"$work/jpegs/repeated_scans.jpg\" Planet.jpg"
refused "a 12-bit JPEG" "cp \"$work/jpegs/precision_12.jpg\" Planet.jpg"
# Windows paths are UTF-16: a folder named in other scripts holds the files as well as any.
rm -rf "$work/ünïcødé 路径" && cp -r "$demo" "$work/ünïcødé 路径" && rm "$work/ünïcødé 路径/Light.gif"
start_windows "$work/ünïcødé 路径"
dismiss_error_box
process_ended_within "$wpid" 50
if tr -d '\r' <"$work/win_err" | grep -qF 'ünïcødé 路径\Light.gif)'; then ok "a folder named in other scripts: $(tr -d '\r' <"$work/win_err")"
else bad "folder named in other scripts" "$(cat "$work/win_err")"; fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
