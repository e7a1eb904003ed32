#!/usr/bin/env bash
# Prepares a working folder for the demo broadcast: the generated streams (one
# <kHz>.ts per multiplex), the frequency plan, a channel file made by the offline
# scan, and settings naming the stand-in tuner and decoders. What already exists
# in the folder (the user's settings or channel list) is left as it is.
# Usage: prepare-demo.sh [--streams-only] WORKDIR   (in the Wine environment:
# scripts/wine-env). --streams-only writes the streams and the frequency plan and
# nothing else, as a fresh installation has them.
set -euo pipefail
streamsOnly=0
if [ "${1:-}" = "--streams-only" ]; then streamsOnly=1; shift; fi
work="$1"
build="$BRISOME_WIN_BUILD"
broadcast="$work/broadcast"

mkdir -p "$work"
cp "$BRISOME_ROOT/demo/canaux.ini" "$work/canaux.ini"
if [ ! -f "$broadcast/474166.ts" ] || [ "$BRISOME_ROOT/demo/broadcast.txt" -nt "$broadcast/474166.ts" ]; then
  rm -rf "$broadcast"
  mkdir -p "$broadcast"
  wine "$build/tools/tsgen/tsgen.exe" "$(winepath -w "$BRISOME_ROOT/demo/broadcast.txt")" \
    "$(winepath -w "$broadcast")" >/dev/null
fi
if [ "$streamsOnly" = 1 ]; then
  exit 0
fi
if [ ! -f "$work/chaines.xml" ]; then
  (cd "$work" && wine "$build/tools/brisome_scan/brisome-scan.exe" broadcast "Démo" >/dev/null)
fi
if [ ! -f "$work/config.ini" ]; then
  # The private-profile service reads a file without a byte-order mark in the ANSI
  # code page: write the keys in windows-1252.
  printf '[Config]\r\nTuner TNT=Tuner TNT virtuel Brisome\r\nFiltre vid\xe9o=Brisome MPEG-2 Video Decoder\r\nFiltre audio=Brisome MPEG Audio Decoder\r\nFiltre AC3=Brisome AC-3 Decoder\r\nVille=D\xe9mo\r\n' > "$work/config.ini"
fi
