#!/usr/bin/env bash
# Builds, then feeds every reader of outside data with mutated inputs under
# Wine: FUZZ_COUNT inputs per target (100,000 by default), FUZZ_JOBS targets
# at a time (4). Prints per target the inputs run, inputs per second and
# faults found; the inputs that crashed, hung or failed a check are kept in
# build/fuzzrun/faults/. Arguments name the targets to run (all by default).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
DEPS_DIR=${DEPS_DIR:-$BUILD_DIR/deps}
export BUILD_DIR DEPS_DIR
[ -n "${FUZZ_NO_BUILD:-}" ] || bash scripts/build.sh
source scripts/env.sh
ensure_wineprefix
XVFB_PID=
trap '[ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true' EXIT
ensure_display

COUNT=${FUZZ_COUNT:-100000}
JOBS=${FUZZ_JOBS:-4}
OUT="$BUILD_DIR/fuzzrun"
mkdir -p "$OUT"
FUZZ="$BUILD_DIR/bin/quorindo_fuzz.exe"
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  read -r -a targets < <(wine "$FUZZ" 2>/dev/null | sed -n 's/^targets: *//p' | tr -d '\r')
fi

run_one() {
  wine "$FUZZ" "$1" --count "$COUNT" --seeds "$(pwd)" --seeds "$BUILD_DIR/bin" \
       --seeds "$DEPS_DIR/share/pngsuite" --out "$OUT" >"$OUT/$1.log" 2>/dev/null </dev/null || true
}
running=0
for t in "${targets[@]}"; do
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$JOBS" ]; then wait -n || true; running=$((running - 1)); fi
done
wait
faults=0
for t in "${targets[@]}"; do
  tr -d '\r' <"$OUT/$t.log"
  grep -q ' faults 0 ' "$OUT/$t.log" || faults=1
done
exit "$faults"
