#!/usr/bin/env bash
# Builds, makes the demo dictionaries and starts Quorindo under Wine. Without a
# display it runs under Xvfb, saves a screenshot once the window is up, and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export BUILD_DIR
bash scripts/build.sh
source scripts/env.sh
ensure_wineprefix

BIN="$BUILD_DIR/bin"
if [ ! -f "$BIN/Quorindo.exe" ]; then
  echo "Quorindo.exe is not built yet: the program's sources are not in this tree yet." >&2
  exit 1
fi
# The program runs from a folder of its own: the tests read bin/ as built,
# while run/ keeps the user's state and the demo dictionaries between runs.
RUN_DIR="$BUILD_DIR/run"
mkdir -p "$RUN_DIR"
(cd "$BIN" && tar cf - --exclude='*test*' --exclude='*bench*' --exclude='*.a' .) |
  (cd "$RUN_DIR" && tar xf - --keep-newer-files 2>/dev/null || true)
RUN_DIR="$RUN_DIR" bash scripts/demo-data.sh
BIN="$RUN_DIR"

if [ -n "${DISPLAY:-}" ]; then
  exec wine "$BIN/Quorindo.exe"
fi

use_unmanaged_windows
# A server left by the build's Wine steps is ended first: the program gets a fresh one.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
XVFB_PID=
APP_PID=
cleanup() {
  [ -z "$APP_PID" ] || kill "$APP_PID" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
ensure_display
wine "$BIN/Quorindo.exe" &
APP_PID=$!
shot="$BUILD_DIR/screenshot.png"
for i in $(seq 90); do
  if xwininfo -root -tree 2>/dev/null | grep -q '"Quorindo'; then
    sleep 3
    xwd -root -silent | xwdtopnm 2>/dev/null | pnmtopng > "$shot"
    echo "Quorindo is running under Xvfb ($DISPLAY); screenshot saved to $shot"
    exit 0
  fi
  sleep 1
done
echo "Quorindo's window did not appear within 90 seconds." >&2
exit 1
