#!/usr/bin/env bash
# Builds the fuzz target for the text forms of numbers (the fuzz preset, clang) and fuzzes it for
# SECONDS (30 by default), starting from the committed seed inputs.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
seconds=${1:-30}
cmake --preset fuzz
cmake --build --preset fuzz
fuzz=$top/build/fuzz
mkdir -p "$fuzz/artifacts" "$fuzz/logs"
export UBSAN_OPTIONS=print_stacktrace=1
export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer

# libFuzzer runs the committed seeds first, then new inputs, which go to the first folder (under
# build/, so that the seeds stay as they are).
mkdir -p "$fuzz/corpus"
log=$fuzz/logs/numbertext.log
if ! "$fuzz/fuzz/fuzz_numbertext" -artifact_prefix="$fuzz/artifacts/" -dict=fuzz/numbertext.dict \
    -max_len=32768 -timeout=10 -max_total_time="$seconds" "$fuzz/corpus" fuzz/corpus/numbertext \
    >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "fuzz_numbertext failed; the input that failed is in $fuzz/artifacts, the log in $log" >&2
    exit 1
fi
grep -E '^Done [0-9]+ runs' "$log"
echo "The fuzz target ran without a failure for ${seconds} s"
