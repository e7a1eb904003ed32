#!/usr/bin/env bash
# Benchmark of brisome-epg against ffprobe reading the same transport stream,
# timed in the same run: each command 5 times, the median wall time printed.
# The input is a generated multiplex with a full schedule (the description below),
# repeated to about SIZE_MB (default 100). Builds natively, without sanitizers,
# in build/bench.
#   scripts/epg-bench.sh [SIZE_MB]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
size_mb=${1:-100}
build="$BRISOME_ROOT/build/bench"
work="$build/epg-bench"

cmake -S "$BRISOME_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRISOME_SANITIZE=OFF \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target tsgen brisome-epg >/dev/null

mkdir -p "$work"
# Six services with eight days of programmes each in the schedule tables.
{
  echo "broadcast clock=2026-12-09T12:00:00 seconds=20"
  echo "repeat eit-schedule=2000 tdt=1000 tot=5000"
  echo "charset table=latin9"
  echo "mux uhf=21 tsid=1 onid=0x20FA bitrate=8000000"
  for s in 1 2 3 4 5 6; do
    echo "service sid=$((0x100 + s)) name=\"Chaîne $s\" pmt=$((0x100 * s + 0x1000)) pcr=none"
    echo "audio pid=$((0x100 * s + 0x1001)) bitrate=128000"
    echo "event start=2026-12-09T00:00 duration=00:45 title=\"Été $s\" genre=0x10 rating=12 long=\"Une histoire d'été.\""
    for i in $(seq 1 250); do
      echo "event duration=00:45 title=\"Programme $i\" text=\"Épisode $i\" genre=0x$(printf %X $(( i % 10 + 1 )))0"
    done
  done
} > "$work/broadcast.txt"
"$build/tools/tsgen/tsgen" "$work/broadcast.txt" "$work/ts" >/dev/null
input="$work/input.ts"
: > "$input"
while [ "$(stat -c %s "$input")" -lt $((size_mb * 1000000)) ]; do
  cat "$work/ts/474166.ts" >> "$input"
done
sync

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
timed() {
  local start end
  for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", (b - a) / 1e9 }'
  done | median
}
bytes=$(stat -c %s "$input")
epg=$(timed "$build/tools/brisome_epg/brisome-epg" "$input" -o "$work/guide.xml")
probe=$(timed ffprobe -v error -count_packets -show_entries stream=nb_read_packets "$input")
programmes=$(grep -c "<programme " "$work/guide.xml")
echo "input: $input, $bytes bytes"
echo "brisome-epg: median $epg s ($(awk -v b="$bytes" -v s="$epg" 'BEGIN { printf "%.0f", b / 1e6 / s }') MB/s), $programmes programmes"
echo "ffprobe -count_packets (reads the whole file): median $probe s"
