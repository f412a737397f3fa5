#!/usr/bin/env bash
# Builds the fuzzers of the two file readers and of the OSC and MIDI readers with clang and runs each for a fixed time.
# Usage: run_fuzzers.sh SOURCE_DIR WORK_DIR [SECONDS]. Fails when a fuzzer finds a crash,
# a hang, a leak or an input that takes more memory than allowed.
set -euo pipefail
src=$1
work=$2
seconds=${3:-20}

cmake -S "$src/tests/fuzz/project" -B "$work/build" -DCMAKE_CXX_COMPILER=clang++ \
  -DKORVALEN_SOURCE_DIR="$src" -DCMAKE_BUILD_TYPE=None >"$work.configure.log" 2>&1 \
  || { cat "$work.configure.log"; exit 1; }
cmake --build "$work/build" -j2

mkdir -p "$work/artifacts"
for name in modes profile osc; do
  # New inputs go to a corpus of the build; the committed seeds are only read.
  mkdir -p "$work/corpus-$name"
  echo "== fuzz_$name for ${seconds} s"
  "$work/build/fuzz_$name" -max_total_time="$seconds" -max_len=100000 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/$name-" \
    "$work/corpus-$name" "$src/tests/fuzz/corpus/$name"
done
