#!/usr/bin/env bash
# Makes the program folder as it ships, build/dist: the program, its two
# libraries, the framework DLL and the mingw runtime, the folders built from
# data/, and the demo dictionaries, installed by the program's own dictionary
# manager (quorindo_dictinstall) so their groups are what the program writes.
# `make run` copies it to the user; the acceptance tests start the program from
# fresh copies of it. It is made anew, from nothing, whenever an input changed.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export BUILD_DIR
source scripts/env.sh

BIN="$BUILD_DIR/bin"
DIST="$BUILD_DIR/dist"
STAMP="$BUILD_DIR/dist.stamp"
PROGRAM_FILES="Quorindo.exe Kestrelu.dll scrivet.dll Quorfx.dll libgcc_s_dw2-1.dll libstdc++-6.dll
               libwinpthread-1.dll system.inc config.ini user.ini"
DATA_FOLDERS="data dict image icon update help partner"
winpath() { echo "Z:${1//\//\\}"; }

if [ ! -f "$BIN/Quorindo.exe" ]; then
  echo "dist: Quorindo.exe is not built yet; no shipped folder" >&2
  exit 0
fi

# The demo dictionary: Debian's English-German FreeDict (package
# dict-freedict-eng-deu), converted by the dictionary writer, kept between builds.
DICTD=/usr/share/dictd
DEMO="$BUILD_DIR/demo/00000100.tdc"
WRITER="$BIN/quorindo_dictwriter.exe"
if [ -f "$DICTD/freedict-eng-deu.index" ]; then
  if [ ! -f "$DEMO" ] || [ "$WRITER" -nt "$DEMO" ] || [ "$DICTD/freedict-eng-deu.dict.dz" -nt "$DEMO" ]; then
    echo "dist: converting freedict-eng-deu"
    mkdir -p "$(dirname "$DEMO")"
    wine "$WRITER" --dictd "$(winpath "$DICTD/freedict-eng-deu.index")" \
      "$(winpath "$DICTD/freedict-eng-deu.dict.dz")" "$(winpath "$DEMO.new")" \
      --id=0x100 --key-block=8192 --name="English-German (FreeDict)"
    mv "$DEMO.new" "$DEMO"
  fi
else
  echo "dist: $DICTD/freedict-eng-deu.index is missing (package dict-freedict-eng-deu): no demo dictionary" >&2
  rm -f "$DEMO"
fi

inputs=()
for f in $PROGRAM_FILES; do inputs+=("$BIN/$f"); done
for d in $DATA_FOLDERS; do inputs+=("$BIN/$d"); done
inputs+=("$BIN/quorindo_dictinstall.exe" scripts/dist.sh)
[ -f "$DEMO" ] && inputs+=("$DEMO")
if [ -f "$STAMP" ] && [ -d "$DIST" ] && [ -z "$(find "${inputs[@]}" -newer "$STAMP" -print -quit)" ] &&
   { [ -f "$DEMO" ] || [ ! -f "$DIST/dict/00000100.tdc" ]; }; then
  exit 0
fi

echo "dist: making $DIST"
NEW="$DIST.new"
rm -rf "$NEW"
mkdir -p "$NEW/temp"
for f in $PROGRAM_FILES; do cp -p "$BIN/$f" "$NEW/"; done
# The shipped program and DLLs without their debugging sections (build/bin
# keeps them): Wine reads a whole image into memory when it loads it, and the
# debugging sections are most of it (Quorindo.exe 30 MB, 1.9 MB without them;
# libstdc++ 21 MB, 3.9 MB), about 60 ms of every start under emulation.
for f in $PROGRAM_FILES; do
  case "$f" in *.exe | *.dll) i686-w64-mingw32-strip --strip-debug -p "$NEW/$f" ;; esac
done
for d in $DATA_FOLDERS; do cp -rp "$BIN/$d" "$NEW/"; done
if [ -f "$DEMO" ]; then
  wine "$BIN/quorindo_dictinstall.exe" "$(winpath "$NEW")" "$(winpath "$DEMO")" --index --grab
fi
rm -rf "$DIST"
mv "$NEW" "$DIST"
touch "$STAMP"
