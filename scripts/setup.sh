#!/usr/bin/env bash
# Installs what the build needs on a Debian machine (as root), then cross-builds
# libpng and GoogleTest for 32-bit Windows into $DEPS_DIR. Idempotent: quiet when
# everything is already there.
set -euo pipefail

DEPS_DIR=${DEPS_DIR:-$(pwd)/build/deps}
PACKAGES="g++-mingw-w64-i686-posix mingw-w64-i686-dev libz-mingw-w64-dev wine wine32
          xvfb xauth x11-apps x11-utils netpbm cmake make dpkg-dev python3 fonts-wqy-microhei googletest
          dict-freedict-eng-deu fp-utils libchm-bin"
export DEBIAN_FRONTEND=noninteractive

say() { echo "setup: $*"; }

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

ensure_i386() {
  dpkg --print-foreign-architectures | grep -qx i386 && return 0
  say "adding the i386 architecture"
  as_root dpkg --add-architecture i386
  NEED_UPDATE=1
}

# apt-get source needs deb-src entries beside the deb ones.
ensure_deb_src() {
  if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  say "adding deb-src entries"
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -q '^Types: deb$' "$f" && as_root sed -i 's/^Types: deb$/Types: deb deb-src/' "$f"
  done
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
      as_root tee /etc/apt/sources.list.d/quorindo-src.list >/dev/null
  fi
  NEED_UPDATE=1
}

ensure_packages() {
  local missing=() p
  for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -eq 0 ] && [ -z "${NEED_UPDATE:-}" ]; then return 0; fi
  say "installing ${missing[*]:-(package lists)}"
  as_root apt-get update -qq
  [ ${#missing[@]} -eq 0 ] || as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

TOOLCHAIN=$(cd "$(dirname "$0")/.." && pwd)/cmake/mingw-i686.cmake
source "$(dirname "$0")/i386/emulation.sh"

build_libpng() {
  [ -f "$DEPS_DIR/lib/libpng.a" ] && return 0
  say "cross-building libpng"
  local src="$DEPS_DIR/src"
  mkdir -p "$src"
  if ! ls -d "$src"/libpng1.6-*/ >/dev/null 2>&1; then
    (cd "$src" && { apt-get source -qq libpng1.6 >/dev/null 2>&1 ||
                    apt-get source -qq -t bookworm libpng1.6 >/dev/null 2>&1; })
  fi
  local dir
  dir=$(ls -d "$src"/libpng1.6-*/ | head -n 1)
  cmake -S "$dir" -B "$src/libpng-build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_INSTALL_PREFIX="$DEPS_DIR" -DCMAKE_BUILD_TYPE=Release \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
        -DCMAKE_CROSSCOMPILING_EMULATOR= >/dev/null
  cmake --build "$src/libpng-build" -j"$(nproc)" >/dev/null
  cmake --install "$src/libpng-build" >/dev/null
  # The PNG test-suite images, for the image tests.
  mkdir -p "$DEPS_DIR/share/pngsuite"
  cp "$dir"/contrib/pngsuite/*.png "$DEPS_DIR/share/pngsuite/"
}

build_gtest() {
  [ -f "$DEPS_DIR/lib/libgtest.a" ] && return 0
  say "cross-building GoogleTest"
  cmake -S /usr/src/googletest -B "$DEPS_DIR/src/gtest-build" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
        -DCMAKE_INSTALL_PREFIX="$DEPS_DIR" -DCMAKE_BUILD_TYPE=Release \
        -Dgtest_disable_pthreads=OFF -DCMAKE_CROSSCOMPILING_EMULATOR= >/dev/null
  cmake --build "$DEPS_DIR/src/gtest-build" -j"$(nproc)" >/dev/null
  cmake --install "$DEPS_DIR/src/gtest-build" >/dev/null
}

ensure_i386
ensure_deb_src
ensure_packages
ensure_32bit_programs
mkdir -p "$DEPS_DIR"
build_libpng
build_gtest
