# Sourced first by a script that needs a display: where there is none, runs the script
# again (with its arguments) on a private Xvfb screen of 1024 x 768 and ends with its status.
if [ -z "${DISPLAY:-}" ] && [ -z "${GLIMMERIX_IN_XVFB:-}" ]; then
  GLIMMERIX_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
