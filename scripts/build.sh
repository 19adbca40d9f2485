#!/usr/bin/env bash
# Configures and builds every deliverable and test for 32-bit Windows.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-$(pwd)/build}
DEPS_DIR=${DEPS_DIR:-$BUILD_DIR/deps}
export DEPS_DIR
bash scripts/setup.sh
# Configured every time: a subsystem folder that has just arrived is picked up.
# ccache, where the machine has it, shares objects between build folders.
LAUNCHER=()
command -v ccache >/dev/null && LAUNCHER=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
      -DQUORINDO_DEPS_DIR="$DEPS_DIR" "${LAUNCHER[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)" -- --no-print-directory
# The program folder as it ships (build/dist), for `make run` and the acceptance tests.
bash scripts/dist.sh
