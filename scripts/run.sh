#!/usr/bin/env bash
# Builds, copies the shipped folder (build/dist, demo dictionaries included) to
# build/run and starts Quorindo there under Wine. Without a display it runs
# under Xvfb, saves a screenshot once the window is up, and ends.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export BUILD_DIR
bash scripts/build.sh
source scripts/env.sh
ensure_wineprefix

DIST="$BUILD_DIR/dist"
if [ ! -f "$DIST/Quorindo.exe" ]; then
  echo "Quorindo.exe is not built yet: the program's sources are not in this tree yet." >&2
  exit 1
fi
# The program runs from a folder of its own, a copy of the shipped folder:
# run/ keeps the user's state between runs. A new build replaces the
# program and its data; the user's settings, state and dictionary
# configuration stay once they exist, and dictionaries the user installed stay.
RUN_DIR="$BUILD_DIR/run"
mkdir -p "$RUN_DIR"
(cd "$DIST" && find . -type d) | (cd "$RUN_DIR" && xargs mkdir -p)
(cd "$DIST" && find . -type f) | while read -r f; do
  case "$f" in
    ./user.ini|./config.ini|./dict/dictcfg.xmc) [ -e "$RUN_DIR/$f" ] && continue ;;
  esac
  cp -p "$DIST/$f" "$RUN_DIR/$f"
done
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
