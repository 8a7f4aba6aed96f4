#!/usr/bin/env bash
# Counts, under callgrind, the instructions each program's main thread executes from its start
# until it asks the X server to map its first window, and lists where Brightfold's go. Counts do
# not vary from run to run as times do, so they show what a change to the start bought even on
# a busy machine. Uses the build bench/run.sh makes.
#
#   bench/profile.sh            the counts and Brightfold's 25 costliest functions
#   bench/profile.sh 60         ... its 60 costliest
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BENCH_BUILD_DIR:-$top/build/bench-release}
lines=${1:-25}
[[ -x $build/floortext ]] || { echo "build first: bench/run.sh" >&2; exit 2; }

if [[ -z ${BENCH_ON_DISPLAY:-} ]]; then
    exec env BENCH_ON_DISPLAY=1 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
work=$(mktemp -d)
export XDG_RUNTIME_DIR=$work
openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null || true; rm -rf "$work"' EXIT

# The profile is written when the platform window's show() returns: the map request is out.
count() {
    local name=$1 program=$2 pid
    valgrind --tool=callgrind --separate-threads=yes --dump-after='QXcbWindow::show*' \
        --callgrind-out-file="$work/$name.out" "$program" 2>"$work/$name.log" &
    pid=$!
    for _ in $(seq 600); do
        [[ -s $work/$name.out.1-01 ]] && break
        sleep 0.1
    done
    sleep 0.5
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    [[ -s $work/$name.out.1-01 ]] || { echo "profile: $name showed no window" >&2; exit 1; }
    printf '  %-12s %8.1f M\n' "$name" \
        "$(sed -n 's/^summary: //p' "$work/$name.out.1-01" | awk '{print $1 / 1e6}')"
}
echo "instructions until the first window's map request, main thread:"
count floor "$build/floortext"
count Brightfold "$build/brightfold/app/Brightfold"
echo
echo "Brightfold's costliest functions, inclusive, main thread:"
callgrind_annotate --inclusive=yes "$work/Brightfold.out.1-01" 2>/dev/null |
    sed -n '/^Ir/,$p' | grep -E '^ *[0-9,]+ ' | sed -n "1,${lines}p" | cut -c1-150
