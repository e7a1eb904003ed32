#!/usr/bin/env bash
# Builds everything and runs every test: native pure-code tests (sanitizers),
# fuzz targets for a bounded time, then the Windows unit and end-to-end tests
# under Wine on a virtual display. Ends with CTest's summary.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
"$here/setup.sh"
source "$here/env.sh"
"$here/build.sh"

echo "== native pure-code tests (ASan + UBSan)"
ctest --test-dir "$BRISOME_NATIVE_BUILD" --output-on-failure -j "$(nproc)"

if [ -x "$here/fuzz.sh" ]; then
  echo "== fuzz targets"
  "$here/fuzz.sh"
fi

echo "== Windows tests under Wine"
source "$here/display.sh"
# Wine's desktop process takes the display of the server's first client: start a
# fresh server now that the display is known.
wineserver -k >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
wine wineboot >/dev/null 2>&1 || true
if [ -x "$here/register-standins.sh" ]; then "$here/register-standins.sh"; fi
status=0
ctest --test-dir "$BRISOME_WIN_BUILD" --output-on-failure --timeout 300 || status=$?
wineserver -k >/dev/null 2>&1 || true
[ -n "${BRISOME_XVFB_PID:-}" ] && kill "$BRISOME_XVFB_PID" 2>/dev/null || true
exit $status
