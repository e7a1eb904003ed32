#!/usr/bin/env bash
# Registers the stand-ins DLL (the virtual tuner and the other devices Wine lacks) into
# the project's own Wine prefix, and nowhere else. Run after scripts/build.sh; running
# it again only rewrites the same keys. With --unregister it removes them.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
export HOME="$BRISOME_WINE_HOME"   # this script's Wine commands only

dll="$BRISOME_WIN_BUILD/standins/brisome_standins.dll"
if [ ! -f "$dll" ]; then
  echo "register-standins: $dll is missing; run scripts/build.sh first" >&2
  exit 1
fi
windows_path=$(winepath -w "$dll" 2>/dev/null)
if [ "${1:-}" = "--unregister" ]; then
  wine regsvr32 /s /u "$windows_path"
else
  wine regsvr32 /s "$windows_path"
fi
