#!/usr/bin/env bash
# Builds the synthetic dictionaries of the dictionary benchmark (bench-data/).
# The benchmark's demo dictionary is the shipped folder's (dist/dict, made by
# the build). Converted data is built here, never committed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export BUILD_DIR
source scripts/env.sh
ensure_wineprefix

WRITER="$BUILD_DIR/bin/quorindo_dictwriter.exe"
[ -f "$WRITER" ] || { echo "bench-data: $WRITER is not built" >&2; exit 1; }
winpath() { echo "Z:${1//\//\\}"; }

mkdir -p "$BUILD_DIR/bench-data"
for n in 1 2 3 4; do
  out="$BUILD_DIR/bench-data/0000020$n.tdc"
  if [ ! -f "$out" ] || [ "$WRITER" -nt "$out" ]; then
    wine "$WRITER" --synthetic 100000 "$(winpath "$out")" --id=0x20$n --seed=$n --key-block=8192 \
      --name="Synthetic $n"
  fi
done
