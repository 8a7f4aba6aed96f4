#!/usr/bin/env bash
# Builds Brightfold with warnings as errors and runs the whole test suite; then runs the same
# suite again built with AddressSanitizer (leak checking included) and UndefinedBehaviorSanitizer,
# and last builds the fuzz targets, replays their seed corpora and fuzzes each for a short while.
# BRIGHTFOLD_FUZZ_SECONDS sets how long each target is fuzzed (20 by default).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/setup.sh
cmake --preset default
cmake --build --preset default
ctest --preset default

echo "== The suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== Fuzzing the text forms of numbers"
cmake --preset fuzz
cmake --build --preset fuzz
seconds=${BRIGHTFOLD_FUZZ_SECONDS:-20}
fuzz=$top/build/fuzz
mkdir -p "$fuzz/artifacts" "$fuzz/logs"
export UBSAN_OPTIONS=print_stacktrace=1
if [[ -x /usr/bin/llvm-symbolizer-14 ]]; then
    export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
fi

# Runs a fuzz target with its log in build/fuzz/logs; on failure shows the end of the log.
run_fuzzer() {
    local name=$1 log=$fuzz/logs/$1-$2.log
    shift 2
    if ! "$fuzz/fuzz/fuzz_$name" -artifact_prefix="$fuzz/artifacts/$name-" "$@" >"$log" 2>&1; then
        tail -n 40 "$log" >&2
        echo "fuzz_$name failed; the input that failed is in $fuzz/artifacts, the log in $log" >&2
        exit 1
    fi
    grep -E '^Done [0-9]+ runs' "$log" | sed "s/^/fuzz_$name: /"
}

for name in texttonumber numbertotext roundtrip; do
    case $name in
    texttonumber) options=(-dict=fuzz/texttonumber.dict -max_len=32768) ;;
    *) options=(-max_len=64) ;;
    esac
    seeds=$top/fuzz/corpus/$name
    # New inputs go to the first folder, under build/, so the committed seeds stay as they are.
    mkdir -p "$fuzz/corpus/$name"
    run_fuzzer "$name" seeds -runs=0 "$seeds"
    run_fuzzer "$name" fuzzing "${options[@]}" -timeout=10 -max_total_time="$seconds" \
        "$fuzz/corpus/$name" "$seeds"
done
echo "All fuzz targets ran without a failure (${seconds} s each)"
