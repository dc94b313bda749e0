#!/usr/bin/env bash
# Starts the real program on a copy of its directory with one data file damaged, headless
# (the dummy video driver), and checks what it does: a file it cannot use ends it with
# status 1 within 5 s, no crash, exactly one line on standard error naming the file and
# the reason, and under 32 MiB of memory; a file that is odd but usable starts the demo
# and keeps it running. The last case runs under Xvfb and dismisses the error box.
#   bad_files_test.sh BUILD_DIR BAD_JPEGS   (the folder holding glimmerix and its data files;
#                                           the program that writes the damaged JPEGs)
set -uo pipefail
build=$(cd "${1:?usage: bad_files_test.sh BUILD_DIR BAD_JPEGS}" && pwd)
bad_jpegs=${2:?usage: bad_files_test.sh BUILD_DIR BAD_JPEGS}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../install/common.sh"
failures=0
passed=0
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
mkdir "$work/jpegs"
"$bad_jpegs" "$work/jpegs" || { echo "FAIL: could not write the damaged JPEGs"; exit 1; }

fresh_copy() {
  rm -rf "$work/dir"
  mkdir "$work/dir"
  cp "$build/glimmerix" "$build/Loading.jpg" "$build/Planet.jpg" "$build/Light.gif" \
    "$build/Effects' Names.txt" "$work/dir/"
}
bad() { echo "FAIL $1: $2"; failures=$((failures + 1)); }

# refused NAME EXPECTED-MESSAGE SETUP...: the damaged directory must end the program.
refused() {
  local name=$1 expected=$2
  shift 2
  fresh_copy
  (cd "$work/dir" && eval "$@")
  local status=0
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy timeout -s KILL 5 \
    /usr/bin/time -f "%M %e" -o "$work/kib" "$work/dir/glimmerix" >/dev/null 2>"$work/err" || status=$?
  local lines kib seconds
  lines=$(wc -l <"$work/err")
  read -r kib seconds <<<"$(tail -n 1 "$work/kib" 2>/dev/null || echo 0 0)"
  if [ "$status" -ne 1 ]; then bad "$name" "exit status $status, expected 1 ($(head -c 300 "$work/err"))"
  elif [ "$lines" -ne 1 ]; then bad "$name" "$lines lines on standard error, expected 1: $(cat "$work/err")"
  elif ! grep -qF -- "$expected" "$work/err"; then bad "$name" "message '$(cat "$work/err")' does not say '$expected'"
  elif [ "$kib" -ge 32768 ]; then bad "$name" "peak memory $kib KiB"
  else passed=$((passed + 1)); echo "ok   $name: $(cat "$work/err") [$kib KiB, $seconds s]"
  fi
}

# usable NAME SETUP...: the demo starts and runs its frame loop (frame_loop_runs).
usable() {
  local name=$1 said
  shift
  fresh_copy
  (cd "$work/dir" && eval "$@")
  if said=$(frame_loop_runs "$work/dir/glimmerix"); then passed=$((passed + 1)); echo "ok   $name: $said"
  else bad "$name" "$said"
  fi
}

names="Effects' Names.txt"
for f in Loading.jpg Planet.jpg Light.gif "$names"; do
  refused "missing $f" "$f: file is missing" "rm -f \"$f\""
  refused "directory $f" "$f: is a directory" "rm -f \"$f\" && mkdir \"$f\""
done
for f in Loading.jpg Planet.jpg Light.gif; do
  refused "empty $f" "$f: file is empty" ": > \"$f\""
done
refused "empty $names" "$names: has 0 lines" ": > \"$names\""
if [ "$(id -u)" -ne 0 ]; then
  refused "unreadable Planet.jpg" "Planet.jpg: cannot be opened: Permission denied" "chmod 000 Planet.jpg"
else
  echo "skip unreadable file: root reads it anyway"
fi
refused "JPEG cut to 100 bytes" "Planet.jpg: " "head -c 100 \"$build/Planet.jpg\" > Planet.jpg"
refused "text named .gif" "Light.gif: is not a GIF picture" "echo 'just some text' > Light.gif"
refused "PNG named .gif" "Light.gif: is not a GIF picture" "convert -size 47x47 xc:white png:Light.gif"
refused "JPEG header of 30000 x 30000 and nothing else" "Planet.jpg: cannot be decoded: Invalid JPEG file structure: missing SOS marker" \
  "printf '\\xff\\xd8\\xff\\xc0\\x00\\x0b\\x08\\x75\\x30\\x75\\x30\\x01\\x01\\x11\\x00\\xff\\xd9' > Planet.jpg"
refused "GIF header of 60000 x 60000 and nothing else" "Light.gif: cannot be decoded: the image has no colour table" \
  "printf 'GIF89a\\x60\\xea\\x60\\xea\\x00\\x00\\x00\\x2c\\x00\\x00\\x00\\x00\\x60\\xea\\x60\\xea\\x00\\x08\\x00\\x3b' > Light.gif"
refused "picture file over 64 MiB" "Planet.jpg: file is 67108865 bytes; at most 67108864 are read" \
  "truncate -s 67108865 Planet.jpg"
refused "17 names" "$names: has 17 lines" "head -n 17 \"$build/$names\" > \"$names\""
refused "names file of 17 lines and an 8 GiB sparse tail" "$names: has 17 lines in its first 1048576 bytes" \
  "head -n 17 \"$build/$names\" > \"$names\" && truncate -s 8G \"$names\""
refused "progressive JPEG with one scan repeated 10,000 times" "Planet.jpg: cannot be decoded: picture has more than 100 scans" \
  "cp \"$work/jpegs/repeated_scans.jpg\" Planet.jpg"
refused "progressive JPEG of 8192 x 8192 in a few KB" "Planet.jpg: picture size 8192 x 8192 is more than a file of" \
  "cp \"$work/jpegs/progressive_8192.jpg\" Planet.jpg"
refused "12-bit JPEG" "Planet.jpg: cannot be decoded: Unsupported JPEG data precision 12" \
  "cp \"$work/jpegs/precision_12.jpg\" Planet.jpg"
refused "progressive JPEG whose scans refine every coefficient 10 times over" \
  "Planet.jpg: cannot be decoded: the picture's first" "cp \"$work/jpegs/costly_scans_over.jpg\" Planet.jpg"
refused "arithmetic-coded progressive JPEG of 8192 x 4000 with 99 scans" \
  "Planet.jpg: picture size 8192 x 4000 is more than a file of" \
  "cp \"$work/jpegs/arithmetic_8192x4000_99_scans.jpg\" Planet.jpg"
refused "JPEG of 20000 x 20000 behind stray bytes" "Planet.jpg: picture size 20000 x 20000 is more than a file of" \
  "cp \"$work/jpegs/stray_bytes_20000.jpg\" Planet.jpg"

usable "names with invalid UTF-8 and NUL bytes" \
  "{ printf 'bad \\xff\\xfe \\xc0\\x80 and a \\x00 NUL\\r\\n'; tail -n 17 \"$build/$names\"; } > \"$names\""
usable "18 names and 70,000 more lines" "{ cat \"$build/$names\"; seq 70000 | sed 's/^/more /'; } > \"$names\""
usable "a 1 MB name" "{ head -c 1000000 /dev/zero | tr '\\0' 'W'; printf '\\r\\n'; tail -n 17 \"$build/$names\"; } > \"$names\""
refused "GIF with no colour table" "Light.gif: cannot be decoded: the image has no colour table" \
  "printf 'GIF89a\\x2f\\x00\\x2f\\x00\\x00\\x00\\x00\\x2c\\x00\\x00\\x00\\x00\\x2f\\x00\\x2f\\x00\\x00\\x08\\x05\\xff\\xff\\xff\\xff\\xff\\x00\\x3b' > Light.gif"
refused "GIF with garbage image data" "Light.gif: cannot be decoded: LZW code 7 refers to no entry; 6 are defined" \
  "printf 'GIF89a\\x2f\\x00\\x2f\\x00\\x80\\x00\\x00\\x00\\x00\\x00\\xff\\xff\\xff\\x2c\\x00\\x00\\x00\\x00\\x2f\\x00\\x2f\\x00\\x00\\x02\\x05\\xff\\xff\\xff\\xff\\xff\\x00\\x3b' > Light.gif"
refused "GIF cut inside its image data" "Light.gif: cannot be decoded: the file ends inside the image data" \
  "head -c 1000 \"$build/Light.gif\" > Light.gif"
usable "CMYK JPEG (Adobe, inverted inks)" "cp \"$work/jpegs/cmyk.jpg\" Planet.jpg"
usable "progressive JPEG whose scans refine every coefficient 5 times over" "cp \"$work/jpegs/costly_scans_under.jpg\" Planet.jpg"
usable "JPEG cut in half" "head -c \$(( \$(stat -c %s \"$build/Planet.jpg\") / 2 )) \"$build/Planet.jpg\" > Planet.jpg"

# Photos as cameras, phones and web exports write them (ImageMagick): each starts the demo,
# decoded within 512 MiB of memory (its time is decode_bench's: bench/decode_bench.cpp).
# photo NAME FILE: FILE as Planet.jpg.
photo() {
  local name=$1 file=$2 said kib
  fresh_copy
  cp "$file" "$work/dir/Planet.jpg"
  env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=dummy /usr/bin/time -f "%M" -o "$work/kib" \
    timeout -s TERM 4 "$work/dir/glimmerix" >/dev/null 2>"$work/err"
  kib=$(tail -n 1 "$work/kib")
  if ! grep -q "welcome message could not be shown" "$work/err" || [ "$(wc -l <"$work/err")" -ne 1 ]; then
    bad "$name" "did not reach the frame loop: $(head -c 300 "$work/err")"
  elif [ "$kib" -ge 524288 ]; then bad "$name" "peak memory $kib KiB"
  else passed=$((passed + 1)); echo "ok   $name ($(($(stat -c %s "$file") / 1024)) KiB): runs, peak memory $kib KiB"
  fi
}
mkdir "$work/photos"
(cd "$work/photos" &&
  convert -size 4000x3000 gradient:navy-orange -interlace Plane p12.jpg &&
  convert -size 8000x6000 gradient:navy-orange -interlace Plane p48.jpg &&
  convert -size 8000x6000 gradient:navy-orange b48.jpg &&
  convert -size 9000x300 gradient:navy-orange pano9000.jpg &&
  convert -size 16000x300 gradient:navy-orange pano16000.jpg) || bad "photos" "ImageMagick could not make them"
photo "a progressive 12-megapixel photo" "$work/photos/p12.jpg"
photo "a progressive 48-megapixel photo" "$work/photos/p48.jpg"
photo "a baseline 48-megapixel photo" "$work/photos/b48.jpg"
photo "a 9000 x 300 panorama" "$work/photos/pano9000.jpg"
photo "a 16000 x 300 panorama (ImageMagick makes none wider)" "$work/photos/pano16000.jpg"

# With no display at all (and no video driver named) the program says so.
fresh_copy
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -s KILL 5 "$work/dir/glimmerix" >/dev/null 2>"$work/err" || status=$?
if [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -qF "display: none found" "$work/err"; then
  passed=$((passed + 1)); echo "ok   no display: $(cat "$work/err")"
else
  bad "no display" "status $status, stderr: $(cat "$work/err")"
fi

# Under Xvfb the failure shows a box too; closing it ends the program with status 1.
fresh_copy
rm -f "$work/dir/Light.gif"
status=0
timeout -k 5 30 xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  . "$1/../../tools/drive.sh"
  "$2" 2>"$3" & pid=$!
  box() { xwininfo -root -tree | awk "/\"Glimmerix\"/ {print \$1; exit}"; }
  has_box() { [ -n "$(box)" ]; }
  poll 50 has_box || { kill $pid; exit 3; }
  press_return_in "$(box)"
  wait $pid' _ "$here" "$work/dir/glimmerix" "$work/err" || status=$?
if [ "$status" -eq 1 ] && [ "$(wc -l <"$work/err")" -eq 1 ] && grep -qF "Light.gif: file is missing" "$work/err"; then
  passed=$((passed + 1)); echo "ok   error box under Xvfb: dismissed, status 1"
else
  bad "error box under Xvfb" "status $status, stderr: $(cat "$work/err")"
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]
