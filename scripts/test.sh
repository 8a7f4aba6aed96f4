#!/usr/bin/env bash
# Builds Brightfold with warnings as errors and runs the whole test suite; builds and runs it again
# with a second compiler, clang; runs it built with AddressSanitizer (leak checking included) and
# UndefinedBehaviorSanitizer; beside those, builds the fuzz target, replays its seed corpus and
# fuzzes it for a short while; checks the other supported Debian release in a chroot of it (Debian
# 13 from Debian 12 and the other way round: scripts/check-debian.sh), and Debian testing the same
# way; cross-builds the Windows executable in a Debian 13 chroot and runs its suite under wine there
# (the first time, building the Qt for Windows takes a quarter of an hour or more: docs/windows.md);
# and last builds the release twice, in two fresh clones a minute apart, and checks that the two are
# the same to the bit.
#
# The chroots it needs are made and set up in the background while the native suites build and run,
# since that waits on the network and the disk rather than the processor; the Qt for Windows and the
# program are built there too, and the program's suite run under wine, at a lower priority, in the
# processor time the suites leave. At the end, pass or fail, it prints each step's time, whether it
# came from a cache, and the log of a step that failed. A signal to it, any, ends all of it
# (scripts/process-group.sh). Only the host's packages ask for sudo: the chroots are the user's.
# BRIGHTFOLD_FUZZ_SECONDS sets how long the target is fuzzed (30 by default).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
# First, where sudo may ask for a password on the terminal.
[[ -n ${BRIGHTFOLD_GROUP_OF:-} ]] || scripts/setup.sh package test chroot
# shellcheck source=scripts/process-group.sh
. scripts/process-group.sh
own_process_group "$@"
logs=$top/build/test-logs
# Its builds, here and in the chroots, go through ccache, whose cache is kept: a file compiled
# before is not compiled again, in this clone or another. (A chroot keeps its own cache; the
# release never uses one: scripts/release.sh.) Relative paths in the keys, so that clones in other
# folders share it where no debug information names the folder.
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache CCACHE_BASEDIR=$top \
    CCACHE_DIR=${XDG_CACHE_HOME:-$HOME/.cache}/brightfold/ccache
rm -rf "$logs"
mkdir -p "$logs"

# A row of the table for each step: name, seconds, from a cache or not, and how it ended.
rows=()
# The work running in the background, not yet waited for: pid|name|log. None of it outlives the
# command: where the command fails, it is stopped, and the table waits for it.
beside=()
table() {
    local status=$? row entry name
    trap - EXIT
    for entry in "${beside[@]}"; do
        ((status == 0)) || kill -TERM "${entry%%|*}" 2>/dev/null || true
    done
    for entry in "${beside[@]}"; do
        IFS='|' read -r _ name _ <<<"$entry"
        finish_beside "$name" || true
    done
    local seconds cache result name_width=17 cache_width=5
    for row in "${rows[@]}"; do
        IFS='|' read -r name seconds cache result <<<"$row"
        ((${#name} <= name_width)) || name_width=${#name}
        ((${#cache} <= cache_width)) || cache_width=${#cache}
    done
    echo
    printf '%-*s %9s  %-*s  %s\n' "$name_width" step time "$cache_width" cache result
    for row in "${rows[@]}"; do
        IFS='|' read -r name seconds cache result <<<"$row"
        printf '%-*s %6d:%02d  %-*s  %s\n' "$name_width" "$name" $((seconds / 60)) $((seconds % 60)) \
            "$cache_width" "$cache" "$result"
    done
    printf '%-*s %6d:%02d\n' "$name_width" "the whole command" $((SECONDS / 60)) $((SECONDS % 60))
    exit "$status"
}
trap table EXIT

# Runs a step, its output to the terminal and to its log; a failing step ends the command.
# What came from a cache the step's log tells: the lines the scripts print when they make a chroot
# or build the Qt for Windows.
step() {
    local name=$1 log=$logs/$(( ${#rows[@]} + 1 ))-${1//[^A-Za-z0-9]/-}.log started=$SECONDS status=0
    shift
    echo "== $name"
    # In the background: the table's trap runs as soon as a signal comes.
    "$@" 2>&1 | tee "$log" &
    wait $! || status=$?
    record "$name" "$log" $((SECONDS - started)) "$status"
    ((status == 0)) || exit "$status"
}
record() {
    local name=$1 log=$2 seconds=$3 status=$4 cache=kept
    grep -q '^== Making a Debian' "$log" 2>/dev/null && cache="chroot made"
    grep -q '^== Upgrading the Debian' "$log" 2>/dev/null && cache="chroot upgraded"
    local qt_minutes
    qt_minutes=$(sed -n 's/^== Qt for Windows built in \([0-9]*\) min.*/\1/p' "$log" 2>/dev/null)
    [[ -z $qt_minutes ]] || cache="${cache/kept/chroot kept}, Qt built in $qt_minutes min"
    case $name in *[Cc]hroot* | *Debian* | *Windows*) ;; *) cache=- ;; esac
    # What a chroot's check ran on: its Debian, Qt and Orca.
    local result=passed versions
    versions=$(sed -n 's/^== \(Debian .*\)/\1/p' "$log" 2>/dev/null | head -n 1)
    [[ -z $versions ]] || result="passed on $versions"
    ((status == 0)) || result="FAILED, see $log"
    ((status <= 128)) || result="ended by signal $((status - 128)), see $log"
    rows+=("$name|$seconds|$cache|$result")
}

# The supported releases are Debian 12 and 13: the host is one, a chroot the other. The Windows
# build runs in Debian 13's. Debian testing stands for the newer desktops that cannot be reached
# here (their Qt and Orca lie between Debian 13's and testing's); its archive can be unable to
# install a package for a while, and setting its chroot up then fails naming the package.
other_release=trixie
[[ $(. /etc/os-release && echo "$VERSION_CODENAME") == trixie ]] && other_release=bookworm

# Starts a command in the background, its output to a log of its own; finish_beside waits for it.
# A TERM to the subshell stops the command too: the subshell passes it on, which a shell does not
# do for a command it waits for in the foreground.
start_beside() {
    local name=$1 log=$logs/0-${1//[^A-Za-z0-9]/-}.log
    shift
    (
        began=$SECONDS status=0
        trap 'kill -TERM "$command" 2>/dev/null' TERM
        "$@" &
        command=$!
        wait "$command" || status=$?
        # A TERM ends the first wait before the command has ended.
        ((status <= 128)) || { wait "$command" 2>/dev/null || status=$?; }
        echo "$((SECONDS - began)) $status" >"$log.ended"
    ) >"$log" 2>&1 &
    beside+=("$!|$name|$log")
}
# Waits for the command started by that name and adds its row; returns its status, with the end
# of its log when it failed.
finish_beside() {
    local entry pid name log seconds=0 status=0 left=()
    for entry in "${beside[@]}"; do
        IFS='|' read -r pid name log <<<"$entry"
        if [[ $name != "$1" ]]; then
            left+=("$entry")
            continue
        fi
        wait "$pid" 2>/dev/null || true
        read -r seconds status <"$log.ended" || seconds=0 status=1
        record "$name (beside the above)" "$log" "$seconds" "$status"
        ((status == 0)) || tail -n 20 "$log" >&2
    done
    beside=("${left[@]}")
    return "$status"
}

# The Windows chroot, with the Qt for Windows (built when the cache lacks it) and the program,
# and then the program's suite under wine, runs at a lower priority than the suites beside it, in
# the processor time they leave.
windows_build="Chroot of Debian trixie, the Windows build and its suite under wine"
start_beside "$windows_build" nice -n 10 bash -c 'scripts/build-windows.sh &&
    scripts/debian-chroot.sh trixie ctest --preset windows'
start_beside "Chroot of Debian testing" scripts/debian-chroot.sh --with "package test" testing true
[[ $other_release == trixie ]] ||
    start_beside "Chroot of Debian $other_release" \
        scripts/debian-chroot.sh --with "package test" "$other_release" true

# Fuzzing keeps one core busy for its time, beside suites that mostly wait on their windows.
start_beside "Fuzzing the text forms of numbers" scripts/fuzz.sh "${BRIGHTFOLD_FUZZ_SECONDS:-30}"

step "The suite (gcc)" bash -c 'cmake --preset default && cmake --build --preset default &&
    ctest --preset default'
step "The suite built by clang" bash -c 'cmake --preset clang && cmake --build --preset clang &&
    ctest --preset clang'
step "The suite under ASan and UBSan" bash -c 'cmake --preset sanitize &&
    cmake --build --preset sanitize && ctest --preset sanitize'
finish_beside "Fuzzing the text forms of numbers" || exit

finish_beside "Chroot of Debian testing" || exit
step "The suite and the package on Debian testing" scripts/check-debian.sh testing
if [[ $other_release != trixie ]]; then
    finish_beside "Chroot of Debian $other_release" || exit
    step "The suite and the package on Debian $other_release" scripts/check-debian.sh "$other_release"
fi
# In the Windows build's chroot, while that build goes on: it waits for the chroot to be made.
[[ $other_release != trixie ]] ||
    step "The suite and the package on Debian trixie" scripts/check-debian.sh trixie
finish_beside "$windows_build" || exit
step "The release, built twice, the same to the bit" scripts/check-reproducible.sh
