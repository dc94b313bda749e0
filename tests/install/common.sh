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

# The demo at PROGRAM, headless, finds its data files and reaches its frame loop (two
# seconds of it are well over half a second of CPU), then ends with status 0 on SIGTERM.
demo_reaches_frame_loop() {
  local program=$1 pid ticks status=0
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy "$program" >/dev/null 2>"$work/err" &
  pid=$!
  sleep 2
  kill -0 "$pid" 2>/dev/null || { wait "$pid" || true; fail "$program ended: $(cat "$work/err")"; }
  ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  kill -TERM "$pid"
  wait "$pid" || status=$?
  [ "$ticks" -gt 50 ] || fail "$program used $ticks ticks of CPU in 2 s: no frame loop"
  [ "$status" -eq 0 ] || fail "$program ended with status $status: $(cat "$work/err")"
  echo "ok   $program ran its frame loop"
}
