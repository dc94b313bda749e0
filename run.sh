#!/usr/bin/env bash
# Installs what is missing, builds, and starts the demo on this desktop.
set -euo pipefail
cd "$(dirname "$0")"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "run.sh: no display (neither DISPLAY nor WAYLAND_DISPLAY is set); start it from a desktop session," >&2
  echo "        or on a machine without one: xvfb-run -a ./run.sh" >&2
  exit 1
fi
tools/build.sh
exec build/glimmerix
