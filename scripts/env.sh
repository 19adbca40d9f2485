# Sourced by the scripts that run Windows programs: one Wine prefix per build
# folder, quiet Wine, and a pinned locale so the ANSI code page (1252) and
# the user's language are the same on every machine.
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8 LC_ALL=C.UTF-8

# Creates the prefix once; quiet afterwards.
ensure_wineprefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  echo "setup: creating the Wine prefix"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
}

# Starts Xvfb on a free display when there is none; XVFB_PID is set when started.
ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$n"
  local i
  for i in $(seq 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && return 0
    sleep 0.1
  done
  echo "Xvfb did not start on :$n" >&2
  return 1
}

# Under Xvfb there is no window manager: Wine waits for one (about 2 s) each
# time an activated window goes. Unmanaged windows don't wait.
use_unmanaged_windows() {
  grep -q '"Managed"="N"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wineserver -w
}
