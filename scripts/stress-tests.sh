#!/usr/bin/env bash
# Runs the tests that drive the real windows (the Qt Test suite, endtoend, screenreader, and wayland
# and waylandreader where they are registered: in the Debian testing chroot) RUNS times over, each
# time with BUSY processes beside them that keep the processor busy, as a desktop, a browser and a
# build do on a person's machine; then starts the program and leaves it by Escape ESCAPES times
# under the same load, since a fault on the way out shows only now and then. A test that waits for
# a fixed time instead of for what it checks fails here first.
#
#   scripts/stress-tests.sh [--runs N] [--busy N] [--escapes N] [--preset NAME]
#
# Defaults: 20 runs, 2 busy processes, 1000 escapes, the default preset, built already
# (cmake --build --preset NAME); the tests run as that preset runs them (ctest --preset NAME). A
# failure names its run and keeps the logs of every run in build/NAME/stress/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
runs=20 busy=2 escapes=1000 preset=default
while [[ $# -gt 0 ]]; do
    case $1 in
        --runs) runs=$2 ;;
        --busy) busy=$2 ;;
        --escapes) escapes=$2 ;;
        --preset) preset=$2 ;;
        *) echo "usage: $0 [--runs N] [--busy N] [--escapes N] [--preset NAME]" >&2; exit 2 ;;
    esac
    shift 2
done
build=$top/build/$preset
[[ -x $build/app/Brightfold ]] || { echo "stress-tests.sh: build the $preset preset first" >&2; exit 2; }
logs=$build/stress
rm -rf "$logs"
mkdir -p "$logs"

loaders=()
stop_loaders() { ((${#loaders[@]} == 0)) || kill "${loaders[@]}" 2>/dev/null || true; }
trap stop_loaders EXIT
for ((i = 0; i < busy; i++)); do
    yes >/dev/null &
    loaders+=($!)
done

# A run that finds no test by its pattern (one renamed, or not in the preset) fails: ctest
# alone would pass it.
run_tests() { ctest --preset "$preset" --no-tests=error --output-on-failure "$@"; }
failed=0
for ((run = 1; run <= runs; run++)); do
    log=$logs/run-$run.log
    if run_tests -R '^(tst_brightfold|endtoend|screenreader|wayland|waylandreader)$' >"$log" 2>&1; then
        echo "run $run of $runs: passed"
    else
        echo "run $run of $runs: FAILED, see $log"
        failed=$((failed + 1))
    fi
done

log=$logs/escapes.log
if ((escapes > 0)); then
    if BRIGHTFOLD_ESCAPES=$escapes run_tests -R '^escapes$' >"$log" 2>&1; then
        echo "escapes: the program ended by Escape with status 0 all $escapes times"
    else
        grep '^endtoend' "$log" >&2 || true
        echo "escapes: FAILED, see $log"
        failed=$((failed + 1))
    fi
fi
if ((failed > 0)); then
    echo "stress-tests.sh: $failed failed (of $runs runs and the escapes), with $busy busy processes beside" >&2
    exit 1
fi
echo "stress-tests.sh: all passed, with $busy busy processes beside"
