# Checks shared by the install, package and clean-root tests; sourced. Each prints one "ok" line or
# fails with the reason. The caller sets $work (a scratch folder).
fail() { echo "FAIL: $*" >&2; exit 1; }

# The README's first C block, as it stands there, on standard output.
readme_c_block() { awk '/^```c$/ {on = 1; next} /^```$/ {if (on) exit} on' "$1/README.md"; }

# The README's C example built with pkg-config against the library whose pkg-config file
# lies in PC_DIR, and run: it must print the pixel it documents.
readme_example() {
  local pc_dir=$1 lib_dir=$2 source=$3 out
  readme_c_block "$source" >"$work/readme.c"
  # shellcheck disable=SC2046
  cc -std=c11 -Wall -Wextra -pedantic -Werror -o "$work/readme" "$work/readme.c" \
    $(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs glimmerix)
  out=$(LD_LIBRARY_PATH=$lib_dir "$work/readme")
  [[ "$out" == *"Screen: 0xFFA0A0A0" ]] || fail "the README's example printed '$out'"
  echo "ok   the README's example through pkg-config: $out"
}

# Starts the demo at PROGRAM headless for two seconds: it must find its data files and run
# its frame loop (which never sleeps: well over half a second of CPU), then end with status 0
# on SIGTERM, saying nothing but that the welcome box cannot be shown. Prints what it saw;
# returns 1 when any of it is not so.
frame_loop_runs() {
  local program=$1 pid ticks status=0
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy "$program" >/dev/null 2>"$work/err" &
  pid=$!
  sleep 2
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || status=$?
    echo "ended by itself with status $status: $(cat "$work/err")"
    return 1
  fi
  ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  kill -TERM "$pid"
  wait "$pid" || status=$?
  if [ "$ticks" -lt $(( $(getconf CLK_TCK) / 2 )) ]; then echo "the frame loop is not running ($ticks ticks of CPU in 2 s)"
  elif [ "$status" -ne 0 ]; then echo "exit status $status after a close request: $(cat "$work/err")"
  elif grep -qvE 'welcome message could not be shown' "$work/err"; then echo "unexpected output: $(cat "$work/err")"
  else echo "runs ($ticks ticks in 2 s), ends with 0"; return 0
  fi
  return 1
}

demo_reaches_frame_loop() {
  local said
  said=$(frame_loop_runs "$1") || fail "$1: $said"
  echo "ok   $1 ran its frame loop: $said"
}
