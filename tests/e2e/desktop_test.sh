#!/usr/bin/env bash
# The real program on a desktop that does things to it: resized to any size, minimised and
# restored, moved off the screen, flooded with pointer events, closed by the window manager,
# destroyed by another program, sent a termination signal in each of its states, started
# with a display that does not answer. Runs on a private X server with no window manager,
# then again under openbox, then on a server without shared memory (SDL's present path).
#   desktop_test.sh PATH_TO_GLIMMERIX
set -uo pipefail
program=$(realpath "${1:?usage: desktop_test.sh PATH_TO_GLIMMERIX}")
here=$(cd "$(dirname "$0")" && pwd)
if [ -z "${GLIMMERIX_DESKTOP:-}" ]; then
  status=0
  for run in none openbox "none -extension MIT-SHM"; do
    read -r wm server <<<"$run"
    echo "== window manager: $wm ${server:+(server: $server)}"
    GLIMMERIX_DESKTOP=$wm timeout -k 5 240 xvfb-run -a -s "-screen 0 1024x768x24 $server" "$0" "$program" ||
      status=1
  done
  exit $status
fi

. "$here/../../tools/drive.sh"
set -m  # background jobs keep the default interrupt signal, as from a terminal
work=$(mktemp -d)
pid=
wm_pid=
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
  [ -n "${xvfb:-}" ] && kill -9 "$xvfb" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
bad() { echo "FAIL $1: $2"; failures=$((failures + 1)); }
ok() { echo "ok   $1"; }
if [ "$GLIMMERIX_DESKTOP" = openbox ]; then
  openbox >/dev/null 2>&1 &
  wm_pid=$!
  poll 50 bash -c 'wmctrl -m >/dev/null 2>&1' || { echo "FAIL openbox did not start"; exit 1; }
fi

start() { "$program" >/dev/null 2>"$work/err" & pid=$!; }
# Waits up to $1 tenths of a second for the program to end; sets $status.
ended_within() { process_ended_within "$pid" "$1" && pid=; }
started_and_dismissed() {
  start
  dismiss_welcome 2>"$work/why" || { bad "$1" "$(cat "$work/why")"; kill -9 "$pid"; pid=; return 1; }
  wid=$(main_window)
}
alive() { kill -0 "$pid" 2>/dev/null; }
# "r g b" of the window's pixel (x, y).
window_pixel() {
  local x y w h
  read -r x y w h <<<"$(window_geometry "$wid")"
  screen_pixel $((x + $1)) $((y + $2))
}
planet_pixel() { picture_pixel "$(dirname "$program")/Planet.jpg" "$1" "$2"; }

# The scene in a window of the size it has now, by the presentation rule: the largest whole
# factor that fits, centred, black around it, the pointer mapped back to scene pixels.
check_scaled_scene() {
  local w h scale left top r g b
  read -r w h <<<"$(window_geometry "$wid" | awk '{print $3, $4}')"
  read -r scale left top <<<"$(scene_placement "$w" "$h")"
  [ "$(window_pixel $((left + 300 * scale)) $((top + 20 * scale)))" = "$(planet_pixel 300 20)" ] ||
    { bad "scene at ${w}x$h" "scene pixel $(window_pixel $((left + 300 * scale)) $((top + 20 * scale))), picture $(planet_pixel 300 20)"; return; }
  if [ "$left" -gt 0 ] && [ "$(window_pixel $((left - 1)) $((h / 2)))" != "0 0 0" ]; then
    bad "scene at ${w}x$h" "left of the scene: $(window_pixel $((left - 1)) $((h / 2)))"; return
  fi
  # The light comes to rest under the pointer: its middle is white over the planet (effect 0).
  xdotool mousemove --sync --window "$wid" $((left + 200 * scale)) $((top + 120 * scale))
  sleep 0.5
  read -r r g b <<<"$(window_pixel $((left + 200 * scale)) $((top + 120 * scale)))"
  if [ "$r" -ge 235 ] && [ "$g" -ge 235 ]; then ok "at ${w}x$h: the scene ${scale}x at ($left, $top), black around it, the light under the pointer"
  else bad "scene at ${w}x$h" "under the pointer $r $g $b, not the light"; fi
  xdotool mousemove --sync --window "$wid" $((left + 60 * scale)) $((top + 200 * scale))
}

# Any size, a minimise and restore, a move off the screen, a flood of pointer events:
# the program goes on, and after a resize its scene follows the presentation rule.
if started_and_dismissed "geometry"; then
  xdotool mousemove --sync --window "$wid" 60 200   # the light out of the way
  for size in "100 100" "1 1" "4000 3000" "640 480"; do
    # shellcheck disable=SC2086
    xdotool windowsize "$wid" $size
    sleep 0.4
    alive || break
  done
  if ! alive; then
    bad "geometry" "ended during a resize: $(cat "$work/err")"
  else
    read -r w h <<<"$(window_geometry "$wid" | awk '{print $3, $4}')"
    ok "resized to 100x100, 1x1, 4000x3000, 640x480 (now ${w}x$h)"
    check_scaled_scene
    xdotool windowmove --sync "$wid" 0 0  # all of it on the screen, where pixels can be read
    xdotool windowsize "$wid" 1000 600
    sleep 0.4
    check_scaled_scene
    if [ "$GLIMMERIX_DESKTOP" = openbox ]; then
      xdotool windowminimize --sync "$wid"; sleep 0.3; xdotool windowactivate --sync "$wid" 2>/dev/null
    else
      xdotool windowunmap --sync "$wid"; sleep 0.3; xdotool windowmap --sync "$wid"
    fi
    sleep 0.3
    # Frames put only what moved: the rest of the window comes back from the repaint of an expose.
    alive && ok "minimised and restored" || bad "minimise" "ended: $(cat "$work/err")"
    check_scaled_scene
    xdotool windowmove --sync "$wid" -2000 -2000; sleep 0.3; xdotool windowmove --sync "$wid" 0 0; sleep 0.3
    alive && ok "moved off the screen and back" || bad "move" "ended: $(cat "$work/err")"
    check_scaled_scene
    for _ in $(seq 400); do xdotool mousemove --window "$wid" $((RANDOM % 320)) $((RANDOM % 240)); done
    alive && ok "400 pointer moves" || bad "pointer flood" "ended: $(cat "$work/err")"
  fi
  kill -9 "$pid" 2>/dev/null; pid=
fi

# The window manager's close request ends it with status 0; another program destroying the
# window ends it with status 1 and one line.
if [ "$GLIMMERIX_DESKTOP" = openbox ] && started_and_dismissed "close request"; then
  wmctrl -i -c "$wid"
  if ended_within 20 && [ "$status" -eq 0 ]; then ok "the window manager's close request: status 0"
  else bad "close request" "status ${status:-none}: $(cat "$work/err")"; fi
fi
if started_and_dismissed "destroyed"; then
  xdotool windowclose "$wid"
  if ended_within 20 && [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] &&
     grep -q "window: destroyed by another program" "$work/err"; then
    ok "destroyed by another program: $(cat "$work/err")"
  else
    bad "destroyed" "status ${status:-running}: $(cat "$work/err")"
  fi
  [ -n "$pid" ] && kill -9 "$pid"; pid=
fi

# Each termination signal in each state ends it within one second, with status 0, and the
# welcome box (a child process) goes with it.
for signal in TERM INT HUP; do
  start
  sleep 0.3  # past the dynamic loader, into the program's start-up
  kill -s "$signal" "$pid"
  if ended_within 10 && [ "$status" -eq 0 ]; then ok "SIG$signal while starting: status 0"
  else bad "SIG$signal while starting" "status ${status:-running}"; kill -9 "$pid" 2>/dev/null; pid=; fi

  start
  if poll 100 welcome_box_open; then
    kill -s "$signal" "$pid"
    if ended_within 10 && [ "$status" -eq 0 ] && poll 10 bash -c '! xwininfo -root -tree | grep -q "\"Glimmerix Sample\""'; then
      ok "SIG$signal with the welcome box open: status 0, the box gone"
    else bad "SIG$signal with the box open" "status ${status:-running}, box $(welcome_box)"; fi
  else bad "SIG$signal with the box open" "the box did not appear"; fi
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; pid=

  if started_and_dismissed "SIG$signal in the frame loop"; then
    kill -s "$signal" "$pid"
    if ended_within 10 && [ "$status" -eq 0 ]; then ok "SIG$signal in the frame loop: status 0"
    else bad "SIG$signal in the frame loop" "status ${status:-running}"; fi
  fi
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; pid=
done

# The box is modal: a click on the main window while it is open does not change the effect
# (effect 1 would make the light black); the splash belongs to the main window.
start
if poll 100 welcome_box_open; then
  main=$(xdotool search --onlyvisible --name '^Form1$' | head -n 1)
  [ -n "$main" ] && xdotool mousemove --sync --window "$main" 40 200 click 1
  press_return_in "$(welcome_box)"
  poll 50 main_window_shown && wid=$(main_window)
  xdotool mousemove --sync --window "$wid" 200 120
  sleep 0.5
  read -r r g b <<<"$(window_pixel 200 120)"
  if [ "$r" -ge 235 ] && [ "$g" -ge 235 ]; then ok "a click while the box was open did not reach the demo"
  else bad "modal box" "the light shows $r $g $b: the click changed the effect"; fi
  splash=$(xdotool search --name '^Form1$' | grep -vx "$wid" | head -n 1)
  owner=$(xprop -id "$splash" WM_TRANSIENT_FOR 2>/dev/null | awk '{print $NF}')
  if [ -n "$owner" ] && [ $((owner)) -eq $((wid)) ]; then ok "the splash window is transient for the main window"
  else bad "splash owner" "WM_TRANSIENT_FOR of the splash: '$owner', main window $wid"; fi
else
  bad "modal box" "the box did not appear"
fi
[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; pid=

# Started with standard output and error closed, a start-up failure still shows its box
# (the display connection must not take descriptor 1 or 2), and closing it ends with status 1.
mkdir -p "$work/broken"
cp "$program" "$work/broken/"
for f in Loading.jpg Planet.jpg "Effects' Names.txt"; do cp "$(dirname "$program")/$f" "$work/broken/"; done
"$work/broken/glimmerix" >&- 2>&- & pid=$!
box() { xwininfo -root -tree | awk '/"Glimmerix"/ {print $1; exit}'; }
if poll 50 bash -c "xwininfo -root -tree | grep -q '\"Glimmerix\"'"; then
  press_return_in "$(box)"
  if ended_within 30 && [ "$status" -eq 1 ]; then ok "standard output and error closed: the failure's box shows, status 1"
  else bad "closed descriptors" "status ${status:-running} after the box was closed"; fi
else
  bad "closed descriptors" "no box for the failure"
fi
[ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; pid=

# A display that does not answer: one line naming it, status 1, within two seconds. The
# display number is one that no X server on this machine has taken.
silent=77
while [ -e "/tmp/.X11-unix/X$silent" ] || [ -e "/tmp/.X$silent-lock" ]; do silent=$((silent + 1)); done
for case in "DISPLAY=:$silent" "WAYLAND_DISPLAY=no-such-socket"; do
  start_ns=$(date +%s%N)
  status=0
  if [ "${case%%=*}" = DISPLAY ]; then
    env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=":$silent" timeout -s KILL 5 "$program" >/dev/null 2>"$work/err" || status=$?
  else
    env -u DISPLAY -u SDL_VIDEODRIVER WAYLAND_DISPLAY=no-such-socket XDG_RUNTIME_DIR="$work" timeout -s KILL 5 "$program" >/dev/null 2>"$work/err" || status=$?
  fi
  ms=$(( ($(date +%s%N) - start_ns) / 1000000 ))
  if [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "display: cannot be opened" "$work/err" &&
     grep -qF "${case#*=}" "$work/err" && [ "$ms" -lt 2000 ]; then
    ok "$case: $(cat "$work/err") [$ms ms]"
  else
    bad "$case" "status $status after $ms ms: $(cat "$work/err")"
  fi
done

# A private X server of its own, on the first free display number from $1, with the given
# screens; sets $xvfb (its pid) and $number, and fails when it does not come up.
private_xvfb() {
  number=$1
  shift
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
  Xvfb ":$number" "$@" -nolisten tcp >/dev/null 2>&1 & xvfb=$!
  poll 50 test -e "/tmp/.X11-unix/X$number"
}
stop_xvfb() { kill -CONT "$xvfb" 2>/dev/null; kill -9 "$xvfb" 2>/dev/null; wait "$xvfb" 2>/dev/null; xvfb=; }

# An X server that accepts connections and never answers (stopped): one line naming the
# display, status 1, within 5 s. One stopped for 1.5 s while the program starts (a busy
# machine) is waited for: the welcome box shows.
if private_xvfb $((silent + 1)) -screen 0 640x480x24; then
  frozen=$number
  kill -STOP "$xvfb"
  start_ns=$(date +%s%N)
  status=0
  env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=":$frozen" timeout -s KILL 10 "$program" >/dev/null 2>"$work/err" || status=$?
  ms=$(( ($(date +%s%N) - start_ns) / 1000000 ))
  if [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -qF "DISPLAY \":$frozen\" accepts a connection but does not answer" "$work/err" &&
     [ "$ms" -lt 5000 ]; then
    ok "a frozen X server: $(cat "$work/err") [$ms ms]"
  else
    bad "frozen X server" "status $status after $ms ms: $(cat "$work/err")"
  fi
  env -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER DISPLAY=":$frozen" "$program" >/dev/null 2>"$work/err" & pid=$!
  sleep 1.5
  kill -CONT "$xvfb"
  if DISPLAY=":$frozen" poll 100 welcome_box_open && alive; then
    ok "an X server stopped for 1.5 s during the start: waited for, the welcome box shows"
  else
    bad "slow X server" "no welcome box; status $(alive && echo running || echo ended): $(cat "$work/err")"
  fi
  kill "$pid" 2>/dev/null; ended_within 30  # SIGTERM takes the box's child process too
else
  bad "frozen X server" "the private Xvfb did not start"
fi
stop_xvfb

# Displays of other kinds, once (no window manager is involved).
if [ "$GLIMMERIX_DESKTOP" = none ]; then
  # Two screens, DISPLAY naming the second: the welcome box and both windows open there.
  if private_xvfb $((frozen + 1)) -screen 0 800x600x24 -screen 1 640x480x24; then
    DISPLAY=":$number.1" "$program" >/dev/null 2>"$work/err" & pid=$!
    on() { xwininfo -display ":$number.$1" -root -tree | grep -cE '"Form1"|"Glimmerix Sample"'; }
    if poll 100 bash -c "[ \$(xwininfo -display :$number.1 -root -tree | grep -c '\"Glimmerix Sample\"') -eq 1 ]" &&
       [ "$(on 1)" -eq 3 ] && [ "$(on 0)" -eq 0 ]; then
      ok "DISPLAY=:$number.1: the welcome box and both windows on screen 1, none on screen 0"
    else
      bad "second screen" "on screen 0: $(on 0), on screen 1: $(on 1) of the box and two windows"
    fi
    # The X server killed with the box open: the program says so once (SDL's box is a child).
    kill -9 "$xvfb"
    if ended_within 30 && [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] &&
       grep -q "connection to the X server was lost" "$work/err"; then
      ok "the X server killed with the box open: $(cat "$work/err")"
    else bad "server killed with the box open" "status ${status:-running}: $(cat "$work/err")"; fi
  else
    bad "second screen" "the private Xvfb did not start"
  fi
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; pid=
  stop_xvfb
  # The X server killed while the program starts: one line, status 1.
  if private_xvfb $((frozen + 1)) -screen 0 640x480x24; then
    DISPLAY=":$number" "$program" >/dev/null 2>"$work/err" & pid=$!
    sleep 0.1
    kill -9 "$xvfb"
    if ended_within 30 && [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ]; then
      ok "the X server killed during start-up: $(cat "$work/err")"
    else bad "server killed during start-up" "status ${status:-running}: $(cat "$work/err")"; fi
  fi
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null; pid=
  stop_xvfb
  # A palette display: one line saying what the demo needs, no box.
  if private_xvfb $((frozen + 1)) -screen 0 800x600x8; then
    status=0
    DISPLAY=":$number" timeout -s KILL 5 "$program" >/dev/null 2>"$work/err" || status=$?
    if [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "at least 15 bits per pixel" "$work/err"; then
      ok "an 8-bit display: $(cat "$work/err")"
    else bad "8-bit display" "status $status: $(cat "$work/err")"; fi
  fi
  stop_xvfb
  # A 30-bit true-colour display (SDL names no pixel format for it): the demo runs there, the
  # scene's pixels the picture's.
  if private_xvfb $((frozen + 1)) -screen 0 800x600x30; then
    shared_display=$DISPLAY
    export DISPLAY=":$number"
    if started_and_dismissed "30-bit display"; then
      xdotool mousemove --sync --window "$wid" 20 220  # the light away from the pixel checked
      sleep 0.3
      # Read back through 10 bits a channel, a level may round down.
      read -r r g b <<<"$(window_pixel 300 20)"
      read -r pr pg pb <<<"$(planet_pixel 300 20)"
      if [ $((r - pr)) -ge -1 ] && [ $((r - pr)) -le 0 ] && [ $((g - pg)) -ge -1 ] && [ $((g - pg)) -le 0 ] &&
         [ $((b - pb)) -ge -1 ] && [ $((b - pb)) -le 0 ]; then
        ok "a 30-bit display: the demo runs, pixel (300, 20) the picture's ($r $g $b for $pr $pg $pb, read through 10 bits)"
      else bad "30-bit display" "pixel (300, 20) is $r $g $b, the picture's $pr $pg $pb"; fi
      kill "$pid"; ended_within 30
    fi
    export DISPLAY=$shared_display
  else
    bad "30-bit display" "the private Xvfb did not start"
  fi
  stop_xvfb
  # Resized away and back, on a server without shared memory (SDL's framebuffer, which SDL
  # makes anew at each resize, maybe at the old address): two resizes in one batch, then a
  # resize and its undo while the program is stopped, then an expose. Each time the upper
  # 150 rows of the scene (the background alone: the light rests below them) are the
  # picture's, every pixel, at 320 x 240 and at 3000 x 3000 (the scene 9 times).
  if private_xvfb $((frozen + 1)) -screen 0 3072x3072x24 -extension MIT-SHM; then
    shared_display=$DISPLAY
    export DISPLAY=":$number"
    convert "$(dirname "$program")/Planet.jpg" -crop 320x150+0+0 +repage -depth 8 "rgb:$work/upper.rgb"
    # The upper scene as the window shows it, one pixel of each enlarged block: "" when exact.
    upper_scene_differs() {
      local w h scale left top x y
      read -r x y w h <<<"$(window_geometry "$wid")"
      read -r scale left top <<<"$(scene_placement "$w" "$h")"
      import -window root -crop "$((320 * scale))x$((150 * scale))+$((x + left))+$((y + top))" +repage miff:- |
        convert - -sample "320x150!" -depth 8 "rgb:$work/shown.rgb"
      cmp -s "$work/shown.rgb" "$work/upper.rgb" || echo "$(cmp -l "$work/shown.rgb" "$work/upper.rgb" | wc -l) bytes differ at ${w}x$h; "
    }
    if started_and_dismissed "resized away and back"; then
      for size in "320 240" "3000 3000"; do
        # shellcheck disable=SC2086
        xdotool windowmove --sync "$wid" 0 0 windowsize --sync "$wid" $size
        xdotool mousemove --sync --window "$wid" 40 $((${size#* } - 30))  # the light in the lowest rows
        sleep 0.5
        # shellcheck disable=SC2086
        xdotool windowsize "$wid" 700 500 windowsize "$wid" $size  # two requests in one batch
        sleep 0.5
        said=$(upper_scene_differs)
        kill -STOP "$pid"
        # shellcheck disable=SC2086
        xdotool windowsize --sync "$wid" 700 500 windowsize --sync "$wid" $size
        kill -CONT "$pid"
        sleep 0.5
        said="$said$(upper_scene_differs)"
        xdotool windowunmap --sync "$wid" windowmap --sync "$wid"
        sleep 0.5
        said="$said$(upper_scene_differs)"
        if [ -z "$said" ] && alive; then ok "resized away and back at ${size/ /x}, in one batch and while stopped, and exposed: the scene exact"
        else bad "resized away and back at ${size/ /x}" "${said:-ended: $(cat "$work/err")}"; fi
      done
      kill "$pid"; ended_within 30
    fi
    export DISPLAY=$shared_display
  else
    bad "resized away and back" "the private Xvfb did not start"
  fi
  stop_xvfb
  # Two demos in two IPC namespaces, the X server in the first one's (a container that mounts
  # the X socket but not the host's IPC): shared-memory ids are counted per namespace, so the
  # second's segment ids name the first's segments in the server. Each window shows its own
  # frames: the first, clicked twice, "Current Effect: 2"; the second, never clicked, 0.
  number=$((frozen + 1))
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
  unshare --ipc bash -c "Xvfb :$number -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & xvfb=\$!
    for _ in \$(seq 50); do [ -e /tmp/.X11-unix/X$number ] && break; sleep 0.1; done
    DISPLAY=:$number '$program' >/dev/null 2>'$work/first_err'; kill \$xvfb" & namespace_pid=$!
  shared_display=$DISPLAY
  export DISPLAY=":$number"
  if dismiss_welcome 2>"$work/why"; then
    first=$(main_window)
    xdotool windowmove --sync "$first" 0 0
    xdotool mousemove --sync --window "$first" 60 60 click 1 click 1
    unshare --ipc "$program" >/dev/null 2>"$work/err" & pid=$!
    if dismiss_welcome 2>"$work/why"; then
      wid=$(xdotool search --onlyvisible --name '^Form1$' | grep -vx "$first" | head -n 1)
      xdotool windowmove --sync "$wid" 400 300
      sleep 0.5
      # The effect's line, rows 205 to 224 of each scene.
      import -window root -crop 320x20+0+205 +repage -depth 8 "rgb:$work/first_line"
      import -window root -crop 320x20+400+505 +repage -depth 8 "rgb:$work/second_line"
      if ! cmp -s "$work/first_line" "$work/second_line"; then ok "two demos in two IPC namespaces: each window shows its own effect line"
      else bad "two IPC namespaces" "the second window shows the first's effect line: its frames"; fi
    else bad "two IPC namespaces" "the second demo: $(cat "$work/why") $(cat "$work/err")"; fi
    kill "$pid" 2>/dev/null; ended_within 30
  else
    bad "two IPC namespaces" "the first demo: $(cat "$work/why") $(cat "$work/first_err" 2>/dev/null)"
  fi
  pkill -f "Xvfb :$number -screen" 2>/dev/null
  wait "$namespace_pid" 2>/dev/null
  export DISPLAY=$shared_display
fi

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
