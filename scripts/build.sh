#!/usr/bin/env bash
# Builds the Windows program with its tests (cross) and the pure code with its tests (native).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
jobs=$(nproc)

cmake -S "$BRISOME_ROOT" -B "$BRISOME_WIN_BUILD" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$BRISOME_ROOT/cmake/mingw-w64-x86_64.cmake" -DBRISOME_WERROR=ON >/dev/null
cmake --build "$BRISOME_WIN_BUILD" -j "$jobs"

if [ "${1:-}" != "--win-only" ]; then
  cmake -S "$BRISOME_ROOT" -B "$BRISOME_NATIVE_BUILD" -G Ninja -DBRISOME_WERROR=ON >/dev/null
  cmake --build "$BRISOME_NATIVE_BUILD" -j "$jobs"
fi
