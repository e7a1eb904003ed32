#!/usr/bin/env bash
# Benchmark of the recorder's packet filter and file writing, with two yardsticks
# timed in the same run on the same file: ffmpeg extracting one service
# (-map 0:p:SID -c copy -f mpegts) and a plain copy (cp, then sync).
# The input is the demo broadcast's first multiplex concatenated to about SIZE_MB
# (default 100). Builds natively, without sanitizers, in build/bench.
#   scripts/record-bench.sh [SIZE_MB]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
size_mb=${1:-100}
build="$BRISOME_ROOT/build/bench"
work="$build/record-bench"

cmake -S "$BRISOME_ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRISOME_SANITIZE=OFF \
  -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target record_bench demo_broadcast >/dev/null

# "Télé Démo" on UHF 21: programme 0x0101, PMT 0x100, video 0x110 (also its clock), audio 0x111.
source_ts="$build/demo/broadcast/474166.ts"
mkdir -p "$work"
input="$work/input.ts"
: > "$input"
while [ "$(stat -c %s "$input")" -lt $((size_mb * 1000000)) ]; do
  cat "$source_ts" >> "$input"
done
sync

seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b - a) / 1e9 }'; }
rate() { awk -v bytes="$1" -v s="$2" 'BEGIN { printf "%.1f", bytes / 1e6 / s }'; }
bytes=$(stat -c %s "$input")

echo "== recorder (record_bench)"
"$build/tools/record_bench/record_bench" "$input" "$work" 0x100 0x110 0x111 0x110

echo "== yardsticks"
rm -f "$work/ffmpeg.ts" "$work/copy.ts"
t0=$(date +%s%N)
ffmpeg -v error -y -i "$input" -map 0:p:257 -c copy -f mpegts "$work/ffmpeg.ts"
sync
t1=$(date +%s%N)
s=$(seconds "$t0" "$t1")
printf '%-26s %9s MB/s  %s s (ffmpeg then sync)\n' "ffmpeg -map 0:p:257" "$(rate "$bytes" "$s")" "$s"
t0=$(date +%s%N)
cp "$input" "$work/copy.ts"
sync
t1=$(date +%s%N)
s=$(seconds "$t0" "$t1")
printf '%-26s %9s MB/s  %s s\n' "cp then sync" "$(rate "$bytes" "$s")" "$s"
echo "(DVB-T at most 31.7 Mbit/s = 3.96 MB/s; 100 times that is 396 MB/s)"
rm -f "$work"/*.ts
