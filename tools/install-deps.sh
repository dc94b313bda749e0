#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, if any is missing;
# with --web also those of the browser build and its tests (emscripten, chromium, npm); with
# --windows those of the Windows build and its tests (the posix-threads mingw-w64 compilers, Wine).
# As root it runs apt-get itself; otherwise it prints the exact command and fails.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang libclang-rt-14-dev
  libgtest-dev libbenchmark-dev zlib1g-dev
  libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libfontconfig-dev fonts-liberation libjpeg-dev
  libpixman-1-dev libx11-dev libxext-dev
  xvfb xauth xdotool x11-utils xfonts-base imagemagick valgrind time
  dpkg-dev debhelper lintian desktop-file-utils appstream appstream-compose openbox wmctrl
)
for option in "$@"; do
  case "$option" in
    --web)
      packages+=(emscripten chromium)
      # The browser tests install puppeteer-core with npm; a Node.js from elsewhere brings its own.
      command -v npm >/dev/null || packages+=(npm) ;;
    --windows)
      # Debian puts wine64 in /usr/lib/wine, off the PATH; unzip unpacks the zips under test.
      packages+=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix wine64 wine zip unzip) ;;
    *) echo "install-deps.sh: unknown option '$option' (use --web or --windows)" >&2; exit 2 ;;
  esac
done

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
