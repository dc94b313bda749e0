# Sourced by the Windows build's scripts: one Wine prefix in the build tree and one persistent
# wineserver, started inside the X server the tests run on.
#   wine_session_start BUILD_DIR   the environment, the prefix (made once), the server
#   wine_session_stop              the server shut down, nothing of Wine left running
# Debian puts wine64 in /usr/lib/wine, off the PATH.
export PATH="/usr/lib/wine:$PATH"
# Unix file names are UTF-8 to Wine only in a UTF-8 locale (a fresh root may have none set).
export LC_ALL=C.UTF-8
export WINEDEBUG=-all
# No .NET or Gecko installers: the prefix is made without asking to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="

wine_session_start() {
  local build
  build=$(cd "$1" && pwd)
  export WINEPREFIX="$build/wine-prefix"
  # Wine's server socket lives in TMPDIR: private, so no other Wine on the machine shares it.
  export TMPDIR="$build/wine-tmp"
  mkdir -p "$TMPDIR"
  if [ ! -f "$WINEPREFIX/.glimmerix-ready" ]; then
    rm -rf "$WINEPREFIX"
    echo "wine: making the prefix in $WINEPREFIX (once)" >&2
    DISPLAY= wine64 wineboot -i >/dev/null 2>&1
    # Unmanaged windows: with a window manager's part, every DestroyWindow waits 2 s and a
    # message box 1.75 s to close. No crash dialog: a crashing program ends with its status.
    wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.glimmerix-ready"
  fi
  # Started by hand with its output elsewhere: a server started by the first program holds
  # that program's standard error open, and whoever reads it waits for the server to end.
  wineserver -p >/dev/null 2>&1 </dev/null
  wine64 cmd /c exit 0 >/dev/null 2>&1
}

wine_session_stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}
