#!/usr/bin/env bash
# Starts Brisome TV under Wine in the working folder .run/work and exits with the
# program's exit code.
# With no X display, it runs on a virtual display (Xvfb), saves a screenshot of
# the screen to out/screenshots/ after a few seconds, then closes the program
# the way a user would (a close request to its window): the exit code is then
# the one the program gives itself on closing. A crash before that, or a
# program that does not close within BRISOME_CLOSE_TIMEOUT seconds (default 30),
# ends the script with a non-zero code and a message.
#   scripts/run.sh --fresh   starts as on a fresh installation: the working folder
#                            keeps the demo streams and canaux.ini but loses
#                            config.ini and chaines.xml, so the program asks for its
#                            devices in the configuration dialog, then scans.
set -euo pipefail
here="$(dirname "${BASH_SOURCE[0]}")"
fresh=0
case "${1:-}" in
  "") ;;
  --fresh) fresh=1 ;;
  *) echo "usage: scripts/run.sh [--fresh]" >&2; exit 2 ;;
esac
"$here/setup.sh"
source "$here/env.sh"
# Only what the program and the demo need: the program, the stand-ins it talks to,
# the generator of the demo streams and the offline scan of its channel file. The
# tests are left to scripts/test.sh.
"$here/build.sh" --win-only BrisomeTV brisome_standins tsgen brisome-scan
export HOME="$BRISOME_WINE_HOME"   # this script's Wine commands only

headless=0
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then headless=1; fi
source "$here/display.sh"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${BRISOME_XVFB_PID:-}" ]; then kill "$BRISOME_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
# Wine's desktop process takes the display of the server's first client: start a
# fresh server now that the display is known.
wineserver -k >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
wine wineboot >/dev/null 2>&1 || true
"$here/register-standins.sh"

work="$BRISOME_RUN/work"
mkdir -p "$work"
if [ "$fresh" = 1 ]; then
  rm -f "$work/config.ini" "$work/chaines.xml"
  "$here/prepare-demo.sh" --streams-only "$work"
else
  "$here/prepare-demo.sh" "$work"
fi
# The stand-in tuner plays the demo streams of this folder (a Windows path).
BRISOME_BROADCAST_DIR="$(winepath -w "$work/broadcast")"
export BRISOME_BROADCAST_DIR
BRISOME_STANDIN_TRACE="$(winepath -w "$work/tuner-trace.txt")"
export BRISOME_STANDIN_TRACE

cd "$work"
program="$BRISOME_WIN_BUILD/app/BrisomeTV.exe"
status=0
if [ "$headless" = 0 ]; then
  trap - EXIT   # the user's own display: leave the Wine server to end by itself
  wine "$program" || status=$?
  echo "Brisome TV ended with exit code $status"
  exit "$status"
fi

wine "$program" &
pid=$!
sleep "${BRISOME_SCREENSHOT_DELAY:-6}"
if kill -0 "$pid" 2>/dev/null; then
  shots="$BRISOME_ROOT/out/screenshots"
  mkdir -p "$shots"
  shot="$shots/brisome-$(date +%Y%m%d-%H%M%S).png"
  import -window root "$shot"
  echo "screenshot: $shot"
  # Without /f, taskkill sends a close request to the program's windows.
  wine taskkill /im BrisomeTV.exe >/dev/null 2>&1 || true
  for _ in $(seq $((${BRISOME_CLOSE_TIMEOUT:-30} * 10))); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "Brisome TV did not close within ${BRISOME_CLOSE_TIMEOUT:-30} s of the close request; ended by force" >&2
    wine taskkill /f /im BrisomeTV.exe >/dev/null 2>&1 || true
    wait "$pid" || true
    exit 124
  fi
else
  echo "Brisome TV ended before the screenshot was taken" >&2
fi
wait "$pid" || status=$?
# Wine reports the low byte of the Windows exit code: an exception code such as
# 0xC0000005 (access violation) shows as 5.
echo "Brisome TV ended with exit code $status"
exit "$status"
