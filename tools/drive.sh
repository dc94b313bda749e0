# Shell functions that work the running program on an X server as a person would.
# Source this file; needs xwininfo, xdotool and ImageMagick's import.

# The window id of the welcome box, if it is open. Its title is stored as UTF-8, so
# xdotool cannot find it by name; xwininfo can.
welcome_box() { xwininfo -root -tree | awk '/"Glimmerix Sample"/ {print $1; exit}'; }
welcome_box_open() { [ -n "$(welcome_box)" ]; }

# The visible main window (the hidden splash window has the same title).
main_window() { xdotool search --onlyvisible --name '^Form1$' 2>/dev/null | head -n 1; }
main_window_shown() { [ -n "$(main_window)" ]; }

# Polls a command for up to $1 tenths of a second.
poll() {
  local n=$1
  shift
  for _ in $(seq "$n"); do "$@" && return 0; sleep 0.1; done
  return 1
}

# Presses and releases Return in window $1. The window may close on the press, before
# xdotool releases the key: xdotool then fails on the window it no longer finds and the key
# stays down in the X server, which repeats it into whatever window is focused next (Wine's
# next message box closed itself so). The release is sent again without a window.
press_return_in() {
  xdotool key --window "$1" Return 2>/dev/null || true
  xdotool keyup Return 2>/dev/null || true
}

# Waits for the welcome box, closes it with Return and waits for the main window.
# Returns non-zero, saying which step failed, when one does not happen in time.
dismiss_welcome() {
  poll 100 welcome_box_open || { echo "the welcome box did not appear" >&2; return 1; }
  # Sent again while the box stays: a key sent while it is being mapped may be lost (Wine).
  local tries=0
  while welcome_box_open; do
    [ "$tries" -lt 10 ] || { echo "the welcome box did not close" >&2; return 1; }
    press_return_in "$(welcome_box)"
    tries=$((tries + 1))
    poll 5 bash -c "! xwininfo -root -tree 2>/dev/null | grep -q '\"Glimmerix Sample\"'"
  done
  poll 50 main_window_shown || { echo "no visible main window" >&2; return 1; }
}

# Waits up to $2 tenths of a second for process $1 to end; sets $status to its exit status.
process_ended_within() {
  poll "$2" bash -c "! kill -0 $1 2>/dev/null" || return 1
  status=0
  wait "$1" || status=$?
}

# "scale left top" of the scene in a $1 x $2 window by the presentation rule: the largest
# whole factor that fits (at least 1), centred.
scene_placement() {
  local s=$(( $1 / 320 < $2 / 240 ? $1 / 320 : $2 / 240 ))
  [ "$s" -ge 1 ] || s=1
  echo "$s $(( ($1 - 320 * s) / 2 )) $(( ($2 - 240 * s) / 2 ))"
}

# "r g b" of pixel ($2, $3) of picture file $1, as ImageMagick decodes it.
picture_pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 rgb:- | od -An -tu1 | xargs; }

# "r g b" of screen pixel (x, y).
screen_pixel() { import -window root -crop "1x1+$1+$2" +repage -depth 8 rgb:- | od -An -tu1 | xargs; }

# "x y width height" of a window, on the screen.
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}

# ImageMagick's crop geometry of the window's 320 x 240 scene: WxH+X+Y.
window_crop() {
  local x y w h
  read -r x y w h <<<"$(window_geometry "$1")"
  echo "320x240+$x+$y"
}
