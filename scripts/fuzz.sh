#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) in build/fuzz and runs each
# one for a bounded time from its seed corpus. Exits non-zero on any finding;
# the crashing input is kept in build/fuzz/findings/.
#   BRISOME_FUZZ_SECONDS  run time of each target (default 5)
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/fuzz"
seconds="${BRISOME_FUZZ_SECONDS:-5}"

# -O1 with line tables: the usual trade for fuzzing, fast to build and still
# quick to run, with file and line in every report.
flags="-O1 -gline-tables-only -DNDEBUG"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DBRISOME_FUZZ=ON -DBUILD_TESTING=OFF \
  -DBRISOME_SANITIZE=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$flags" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$flags" >/dev/null
# Only the targets and their seed writer, not the rest of the tree.
targets=(--target make_seeds)
for source in "$root"/fuzz/*_fuzz.cpp; do
  targets+=(--target "$(basename "$source" .cpp)")
done
cmake --build "$build" -j "$(nproc)" "${targets[@]}"

seeds="$build/seeds"
rm -rf "$seeds"
"$build/fuzz/make_seeds" "$seeds"

# Sections of the generated broadcasts, when the generator has been built,
# sorted by table_id to the target that parses them.
tsgen="$root/build/native/tools/tsgen/tsgen"
if [ -x "$tsgen" ]; then
  dump="$build/tsgen-sections"
  rm -rf "$dump"
  mkdir -p "$dump"
  if "$tsgen" --dump-sections "$dump" "$root/demo/broadcast.txt" >/dev/null 2>&1; then
    n=0
    while IFS= read -r -d '' file; do
      case "$(head -c1 "$file" | od -An -tx1 | tr -d ' ')" in
        00) target=pat_fuzz ;;
        02) target=pmt_fuzz ;;
        40) target=nit_fuzz ;;
        42) target=sdt_fuzz ;;
        4e|4f) target=eit_fuzz ;;
        5?|6?) target=eit_schedule_fuzz ;;
        70|73) target=time_table_fuzz ;;
        *) continue ;;
      esac
      mkdir -p "$seeds/$target"
      cp "$file" "$seeds/$target/tsgen-$n"
      n=$((n + 1))
    done < <(find "$dump" -type f -print0)
    echo "fuzz: $n seed sections from tsgen"
  else
    echo "fuzz: tsgen --dump-sections failed; using the built-in seeds only"
  fi
fi

status=0
findings="$build/findings"
mkdir -p "$findings"
for target in "$build"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work="$build/corpus/$name"   # grows from run to run; the seeds stay as written
  mkdir -p "$work" "$seeds/$name"
  log="$build/$name.log"
  if "$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
       -artifact_prefix="$findings/$name-" "$work" "$seeds/$name" >"$log" 2>&1; then
    echo "fuzz: $name: $(grep -Eo 'stat::number_of_executed_units: [0-9]+|Done [0-9]+ runs' "$log" | tail -1)"
  else
    echo "fuzz: $name FOUND A PROBLEM (input in $findings, log $log):"
    tail -n 40 "$log"
    status=1
  fi
done
exit $status
