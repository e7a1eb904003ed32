#!/usr/bin/env bash
# Builds everything and runs every test, in stages that each run even when an
# earlier one failed:
#   layers   which folder may include which (scripts/check-layers.sh)
#   native   the pure code and its tests, built natively, under ASan + UBSan
#   fuzz     the fuzz targets for a bounded time (scripts/fuzz.sh)
#   windows  the program and its tests, cross-built, run under Wine on a
#            virtual display (unit and end-to-end tests)
# CTest's own summary closes the native and Windows stages; the script ends with
# one line per stage and an overall line, and exits non-zero when a stage failed.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/setup.sh"
source "$here/env.sh"

stage_layers() {
  "$here/check-layers.sh"
}

stage_native() {
  "$here/build.sh" --native-only
  ctest --test-dir "$BRISOME_NATIVE_BUILD" --output-on-failure -j "$(nproc)"
}

stage_fuzz() {
  "$here/fuzz.sh"
}

stage_windows() {
  "$here/build.sh" --win-only
  export HOME="$BRISOME_WINE_HOME"   # this stage's Wine commands only
  source "$here/display.sh"
  trap 'wineserver -k >/dev/null 2>&1 || true
        if [ -n "${BRISOME_XVFB_PID:-}" ]; then kill "$BRISOME_XVFB_PID" 2>/dev/null || true; fi' EXIT
  # Wine's desktop process takes the display of the server's first client: start
  # a fresh server now that the display is known. A running server also spares
  # every test its wait for Wine's helper processes.
  wineserver -k >/dev/null 2>&1 || true
  wineserver -p >/dev/null 2>&1 || true
  wine wineboot >/dev/null 2>&1 || true
  "$here/register-standins.sh"
  # The tests of the Win32 side hold one lock (tests/CMakeLists.txt): only the
  # pure code's tests run beside them.
  ctest --test-dir "$BRISOME_WIN_BUILD" --output-on-failure --timeout 300 -j "$(nproc)"
}

stages=(layers native fuzz windows)
summary=()
failed=()
for stage in "${stages[@]}"; do
  echo "== stage $stage"
  start=$SECONDS
  # Each stage in a subshell of its own with errexit: its first failing command
  # ends that stage only.
  set +e
  ( set -e; "stage_$stage" )
  status=$?
  set -e
  took="$((SECONDS - start)) s"
  if [ "$status" -eq 0 ]; then
    summary+=("stage $stage: passed ($took)")
  else
    summary+=("stage $stage: failed, exit code $status ($took)")
    failed+=("$stage")
  fi
done

echo "== summary"
printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
  echo "test.sh: ${#failed[@]} of ${#stages[@]} stages failed: ${failed[*]}"
  exit 1
fi
echo "test.sh: all ${#stages[@]} stages passed"
