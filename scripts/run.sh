#!/usr/bin/env bash
# Starts Brisome TV under Wine in the working folder .run/work.
# With no X display, it runs on a virtual display (Xvfb), saves a screenshot of
# the screen to out/screenshots/ after a few seconds, then closes the program
# the way a user would (a close request to its window).
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
"$here/setup.sh"
source "$here/env.sh"
"$here/build.sh" --win-only

headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then headless=1; fi
source "$here/display.sh"
# Wine's desktop process takes the display of the server's first client: start a
# fresh server now that the display is known.
wineserver -k >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
wine wineboot >/dev/null 2>&1 || true
if [ -x "$here/register-standins.sh" ]; then "$here/register-standins.sh"; fi

work="$BRISOME_RUN/work"
mkdir -p "$work"
"$here/prepare-demo.sh" "$work"
# The stand-in tuner plays the demo streams of this folder (a Windows path).
BRISOME_BROADCAST_DIR="$(winepath -w "$work/broadcast")"
export BRISOME_BROADCAST_DIR
export BRISOME_STANDIN_TRACE="$(winepath -w "$work/tuner-trace.txt")"

cd "$work"
if [ "$headless" = 0 ]; then
  exec wine "$BRISOME_WIN_BUILD/app/BrisomeTV.exe"
fi

wine "$BRISOME_WIN_BUILD/app/BrisomeTV.exe" &
program=$!
sleep "${BRISOME_SCREENSHOT_DELAY:-6}"
shots="$BRISOME_ROOT/out/screenshots"
mkdir -p "$shots"
shot="$shots/brisome-$(date +%Y%m%d-%H%M%S).png"
import -window root "$shot"
echo "screenshot: $shot"
wine taskkill /im BrisomeTV.exe >/dev/null 2>&1 || true
status=0
wait "$program" || status=$?
echo "Brisome TV ended with exit code $status"
wineserver -k >/dev/null 2>&1 || true
[ -n "${BRISOME_XVFB_PID:-}" ] && kill "$BRISOME_XVFB_PID" 2>/dev/null || true
exit 0
