#!/usr/bin/env bash
# Converts the dictd dictionary installed by the set-up into the program's
# dictionary files and installs it in the program folder that `make run` uses
# (run/, apart from bin/, which the tests read), and builds the synthetic
# dictionaries of the benchmark (bench-data/). Converted data is built here,
# never committed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export BUILD_DIR
source scripts/env.sh
ensure_wineprefix

BIN="$BUILD_DIR/bin"
PROGRAM="${RUN_DIR:-$BUILD_DIR/run}"
WRITER="$BIN/quorindo_dictwriter.exe"
[ -f "$WRITER" ] || { echo "demo-data: $WRITER is not built" >&2; exit 1; }
winpath() { echo "Z:${1//\//\\}"; }

DICTD=/usr/share/dictd
mkdir -p "$PROGRAM/dict" "$BUILD_DIR/bench-data"
out="$PROGRAM/dict/00000100.tdc"
if [ ! -f "$out" ] || [ "$WRITER" -nt "$out" ]; then
  if [ -f "$DICTD/freedict-eng-deu.index" ]; then
    echo "demo-data: converting freedict-eng-deu"
    wine "$WRITER" --dictd "$(winpath "$DICTD/freedict-eng-deu.index")" \
      "$(winpath "$DICTD/freedict-eng-deu.dict.dz")" "$(winpath "$out")" \
      --id=0x100 --key-block=8192 --name="English-German (FreeDict)"
  else
    echo "demo-data: $DICTD/freedict-eng-deu.index is missing (package dict-freedict-eng-deu)" >&2
  fi
fi
# Installed beside the base dictionary, in every group, through the program's
# own enciphered configuration.
if [ -f "$PROGRAM/dict/00000100.tdc" ] && [ -f "$BIN/quorindo_datamaker.exe" ]; then
  key=$(sed -n 's/^3=//p' data/system.ini | tr -d '\r')
  members='  <dict id="00000100" enable="y" minimize="n" />'
  cat > "$BUILD_DIR/demo-dictcfg.xml" <<XML
<?xml version="1.0" encoding="UTF-16" ?>
<config>
<install>
  <dict src="00010000.tdc" id="00010000" />
  <dict src="00000001.tdc" id="00000001" />
  <dict src="00000100.tdc" id="00000100" />
</install>
<query_group>
  <dict id="00010000" enable="y" minimize="n" />
$members
  <dict id="00000001" enable="y" minimize="n" />
</query_group>
<index_group>
$members
</index_group>
<grab_group>
$members
</grab_group>
</config>
XML
  wine "$BIN/quorindo_datamaker.exe" cipher "$(winpath "$PROGRAM/dict/dictcfg.xmc")" "$key" \
    "$(winpath "$BUILD_DIR/demo-dictcfg.xml")"
fi
for n in 1 2 3 4; do
  out="$BUILD_DIR/bench-data/0000020$n.tdc"
  if [ ! -f "$out" ] || [ "$WRITER" -nt "$out" ]; then
    wine "$WRITER" --synthetic 100000 "$(winpath "$out")" --id=0x20$n --seed=$n --key-block=8192 \
      --name="Synthetic $n"
  fi
done
