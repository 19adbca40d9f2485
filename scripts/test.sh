#!/usr/bin/env bash
# Builds, then runs every test under Wine (and Xvfb when there is no display).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export BUILD_DIR
bash scripts/build.sh
source scripts/env.sh
ensure_wineprefix
use_unmanaged_windows
XVFB_PID=
cleanup() {
  wineserver -k 2>/dev/null || true
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
ensure_display
# A server left by the build's own Wine steps would refuse a second one.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
wineserver -p
# Start Wine's own services now, outside ctest: they would otherwise inherit
# the first test's output pipe and keep ctest waiting for it to close.
wine cmd /c exit >/dev/null 2>&1 </dev/null || true
# Wine's desktop process takes the standard error of the program that starts
# it, and lives while any program uses the desktop. Started here (rundll32
# makes a window) with nothing to inherit, and held for the whole run by a cmd
# that waits on fd 3; else a test's output pipe stays open in it and ctest
# waits for that test to its timeout.
exec 3> >(wine cmd >/dev/null 2>&1)
wine rundll32.exe shell32.dll,NoSuchEntry >/dev/null 2>&1 </dev/null || true
cd "$BUILD_DIR"
# Tests never write into the built program folder: each works in a copy or a
# temporary folder. Whatever changed in bin/ during the run fails it.
STAMP=$(mktemp)
trap 'rm -f "$STAMP"; cleanup' EXIT
rc=0
# The long session at its full counts (label soak) runs only when asked for
# (make soak sets QUORINDO_SOAK=full); its short session runs with the roads.
soak=(-LE soak)
[ -z "${QUORINDO_SOAK:-}" ] || soak=()
ctest --output-on-failure -j"$(nproc)" --timeout 300 "${soak[@]}" "$@" 3>&- || rc=$?
written=$(find bin -newer "$STAMP" | sed 's|^bin$|bin/ (a file was added or removed)|')
if [ -n "$written" ]; then
  echo "Tests wrote into the built program folder:" >&2
  echo "$written" >&2
  [ "$rc" -ne 0 ] || rc=1
fi
exit "$rc"
