#!/usr/bin/env bash
# Builds the Windows program with its tests (cross, build/win) and the pure code
# with its tests (native, build/native).
#   --win-only / --native-only  build just one of the two
#   TARGET...                   build only these CMake targets (with what they
#                               need) instead of everything, for example
#                               `scripts/build.sh --win-only BrisomeTV tsgen`
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
jobs=$(nproc)

usage() { echo "usage: scripts/build.sh [--win-only | --native-only] [TARGET...]" >&2; exit 2; }
win=1 native=1
targets=()
for arg in "$@"; do
  case "$arg" in
    --win-only) win=1 native=0 ;;
    --native-only) win=0 native=1 ;;
    -*) usage ;;
    *) targets+=(--target "$arg") ;;
  esac
done

if [ "$win" = 1 ]; then
  cmake -S "$BRISOME_ROOT" -B "$BRISOME_WIN_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$BRISOME_ROOT/cmake/mingw-w64-x86_64.cmake" -DBRISOME_WERROR=ON >/dev/null
  cmake --build "$BRISOME_WIN_BUILD" -j "$jobs" "${targets[@]}"
fi
if [ "$native" = 1 ]; then
  cmake -S "$BRISOME_ROOT" -B "$BRISOME_NATIVE_BUILD" -G Ninja -DBRISOME_WERROR=ON >/dev/null
  cmake --build "$BRISOME_NATIVE_BUILD" -j "$jobs" "${targets[@]}"
fi
