#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, if any is missing;
# with --web also those of the browser build and its tests (emscripten, chromium, npm).
# As root it runs apt-get itself; otherwise it prints the exact command and fails.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libbenchmark-dev zlib1g-dev
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libfontconfig-dev fonts-liberation libjpeg-dev
  libpixman-1-dev libx11-dev
  xvfb xauth xdotool x11-utils xfonts-base imagemagick valgrind time
  dpkg-dev debhelper lintian desktop-file-utils appstream openbox wmctrl
)
if [ "${1:-}" = --web ]; then
  packages+=(emscripten chromium)
  # The browser tests install puppeteer-core with npm; a Node.js from elsewhere brings its own.
  command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing Debian packages. Install them with:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
