#!/usr/bin/env bash
# make bench: the program's speed beside what a user would pick instead,
# measured in one run on this machine, each figure with its anchor and ratio.
#   dictionary  2000 random headwords of the FreeDict English-German data
#               through sdcv (the same data converted by stardict-tools'
#               tabfile) and through the converted demo dictionary;
#   HTTP        50 MB from a local nginx through CHttpSession, through curl,
#               and a bare Winsock receive loop under Wine (the floor);
#   program     start-up beside an empty Win32 program (and the same empty
#               program importing the program's DLLs), Enter to the result
#               page painted beside the same in a bare Win32 program, the
#               capture's timer tick in another program to the popup painted,
#               beside the same road to a bare Win32 popup.
# The benchmark has its own Wine prefix and display; results go to
# build/bench/results.txt. Timings are not tests: `make test` runs none of this.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
export BUILD_DIR
RUNS=${BENCH_RUNS:-5}
SEED=20260
WORDS_COUNT=2000
HTTP_MB=50

need=()
command -v sdcv >/dev/null || need+=(sdcv)
[ -x /usr/lib/stardict-tools/tabfile ] || need+=(stardict-tools)
command -v nginx >/dev/null || need+=(nginx-light)
command -v curl >/dev/null || need+=(curl)
[ -f /usr/share/dictd/freedict-eng-deu.index ] || need+=(dict-freedict-eng-deu)
if [ ${#need[@]} -gt 0 ]; then
  echo "bench: installing ${need[*]}"
  apt-get update -qq
  # The package's own nginx service is not wanted: the benchmark starts its own.
  DEBIAN_FRONTEND=noninteractive RUNLEVEL=1 apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

bash scripts/build.sh
source scripts/env.sh
export WINEPREFIX="$BUILD_DIR/bench-wineprefix"
ensure_wineprefix
use_unmanaged_windows
BIN="$BUILD_DIR/bin"
OUT="$BUILD_DIR/bench"
TOOLS="python3 scripts/bench-anchors.py"
winpath() { echo "Z:${1//\//\\}"; }
mkdir -p "$OUT"
RESULTS="$OUT/results.txt"
: >"$RESULTS"

NGINX_PID=
XVFB_PID=
cleanup() {
  [ -z "$NGINX_PID" ] || kill "$NGINX_PID" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
wineserver -k 2>/dev/null || true
wineserver -p
# The display comes first: the first Wine program of the session starts Wine's
# desktop, and one started without a display leaves every later window
# without a driver.
ensure_display

# ---- Dictionary ----------------------------------------------------------
DICTD=/usr/share/dictd
STARDICT="$OUT/stardict"
if [ ! -f "$STARDICT/eng-deu.ifo" ] || [ "$DICTD/freedict-eng-deu.dict.dz" -nt "$STARDICT/eng-deu.ifo" ]; then
  echo "bench: converting freedict-eng-deu for sdcv"
  rm -rf "$STARDICT" && mkdir -p "$STARDICT"
  $TOOLS tab "$DICTD/freedict-eng-deu.index" "$DICTD/freedict-eng-deu.dict.dz" "$OUT/eng-deu.tab"
  /usr/lib/stardict-tools/tabfile "$OUT/eng-deu.tab" >/dev/null 2>&1
  mv "$OUT"/eng-deu.ifo "$OUT"/eng-deu.idx "$OUT"/eng-deu.dict* "$STARDICT/"
fi
[ -f "$OUT/words.txt" ] || $TOOLS words "$OUT/eng-deu.tab" $WORDS_COUNT $SEED >"$OUT/words.txt"
echo "bench: dictionary"
$TOOLS sdcv "$STARDICT" "$OUT/words.txt" "$RUNS" >>"$RESULTS"
# One pass in each fresh process, as each sdcv run is; the best of the runs.
for i in $(seq "$RUNS"); do
  wine "$BIN/anchor_lookup.exe" "$(winpath "$OUT/words.txt")" "$(winpath "$BUILD_DIR/dist/dict")" | tr -d '\r'
done | sort -k1,1 -k2,2g | awk '!seen[$1]++' >>"$RESULTS"

# ---- HTTP ----------------------------------------------------------------
echo "bench: HTTP"
WWW="$OUT/nginx/www"
mkdir -p "$WWW" "$OUT/nginx/tmp"
[ -f "$WWW/big.bin" ] || head -c $((HTTP_MB << 20)) /dev/urandom >"$WWW/big.bin"
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$OUT/nginx/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $OUT/nginx/nginx.pid;
error_log $OUT/nginx/error.log;
events {}
http {
  access_log off;
  sendfile on;
  client_body_temp_path $OUT/nginx/tmp;
  proxy_temp_path $OUT/nginx/tmp;
  fastcgi_temp_path $OUT/nginx/tmp;
  uwsgi_temp_path $OUT/nginx/tmp;
  scgi_temp_path $OUT/nginx/tmp;
  server { listen 127.0.0.1:$PORT; root $WWW; }
}
CONF
nginx -p "$OUT/nginx" -e "$OUT/nginx/error.log" -c "$OUT/nginx/nginx.conf" &
NGINX_PID=$!
for i in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.1; done
echo "http_mb $HTTP_MB" >>"$RESULTS"
$TOOLS curl "http://127.0.0.1:$PORT/big.bin" $((HTTP_MB << 20)) "$RUNS" >>"$RESULTS"
wine "$BIN/anchor_http.exe" "$PORT" /big.bin $((HTTP_MB << 20)) "$RUNS" | tr -d '\r' >>"$RESULTS"
kill "$NGINX_PID" 2>/dev/null || true
wait "$NGINX_PID" 2>/dev/null || true
NGINX_PID=

# ---- The program ---------------------------------------------------------
echo "bench: the program"
PROGRAM="$OUT/program"
rm -rf "$PROGRAM"
cp -r "$BUILD_DIR/dist" "$PROGRAM"
# The empty program with the program's DLLs loads them from its own folder.
cp "$BIN/empty_window_dlls.exe" "$PROGRAM/"
read -r -a PLAIN_WORDS <<<"$($TOOLS plain "$OUT/words.txt" 9)"
(cd "$BIN" && wine program_bench.exe "$(winpath "$PROGRAM")" "$(winpath "$BIN/empty_window.exe")" \
  "$(winpath "$PROGRAM/empty_window_dlls.exe")" "$RUNS" "${PLAIN_WORDS[@]}") | tr -d '\r' >>"$RESULTS"
rm -rf "$PROGRAM"

echo
echo "Quorindo beside its anchors (this machine, this run; $(nproc) CPUs, load $(cut -d' ' -f1-3 /proc/loadavg)):"
$TOOLS report "$RESULTS"
