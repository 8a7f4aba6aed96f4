#!/usr/bin/env bash
# Builds Brightfold with warnings as errors and runs the whole test suite; builds and runs it again
# with a second compiler, clang; runs it built with AddressSanitizer (leak checking included) and
# UndefinedBehaviorSanitizer; then builds the fuzz target, replays its seed corpus and fuzzes it
# for a short while; checks the other supported Debian release in a chroot of it (Debian 13 from
# Debian 12 and the other way round: scripts/check-debian.sh), and Debian testing the same way;
# cross-builds the Windows executable in a Debian 13 chroot and runs its suite under wine there
# (the first time, building the Qt for Windows takes half an hour or more: docs/windows.md); and
# last builds the release twice, in two fresh clones a minute apart, and checks that the two are
# the same to the bit.
#
# The chroots it needs are made and set up in the background while the native suites build and
# run, since that waits on the network and the disk rather than the processor. At the end, pass or
# fail, it prints each step's time, whether it came from a cache, and the log of a step that failed.
# BRIGHTFOLD_FUZZ_SECONDS sets how long the target is fuzzed (30 by default).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
logs=$top/build/test-logs
rm -rf "$logs"
mkdir -p "$logs"

# A row of the table for each step: name, seconds, from a cache or not, and how it ended.
rows=()
# The chroots being set up in the background: pid|release|log. None of them outlives the command,
# also where it fails before it waits for them.
preparing=()
wait_for_chroots() {
    local entry
    for entry in "${preparing[@]}"; do wait "${entry%%|*}" 2>/dev/null || true; done
}
table() {
    local status=$? row
    trap - EXIT
    wait_for_chroots
    echo
    printf '%-48s %9s  %-28s %s\n' step time cache result
    for row in "${rows[@]}"; do
        IFS='|' read -r name seconds cache result <<<"$row"
        printf '%-48s %6d:%02d  %-28s %s\n' "$name" $((seconds / 60)) $((seconds % 60)) "$cache" "$result"
    done
    printf '%-48s %6d:%02d\n' "the whole command" $((SECONDS / 60)) $((SECONDS % 60))
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
    "$@" 2>&1 | tee "$log" || status=$?
    record "$name" "$log" $((SECONDS - started)) "$status"
    ((status == 0)) || exit "$status"
}
record() {
    local name=$1 log=$2 seconds=$3 status=$4 cache=kept
    grep -q '^== Making a Debian' "$log" 2>/dev/null && cache="chroot made"
    grep -q '^== Building a static Qt' "$log" 2>/dev/null && cache="${cache/kept/chroot kept}, Qt built"
    case $name in *[Cc]hroot* | *Debian* | *Windows*) ;; *) cache=- ;; esac
    local result=passed
    ((status == 0)) || result="FAILED, see $log"
    rows+=("$name|$seconds|$cache|$result")
}

scripts/setup.sh package test chroot

# The supported releases are Debian 12 and 13: the host is one, a chroot the other. The Windows
# build runs in Debian 13's. Debian testing stands for the newer desktops that cannot be reached
# here (their Qt and Orca lie between Debian 13's and testing's); its archive can be unable to
# install a package for a while, and setting its chroot up then fails naming the package.
other_release=trixie
[[ $(. /etc/os-release && echo "$VERSION_CODENAME") == trixie ]] && other_release=bookworm
chroot_lists=("trixie:package test windows" "forky:package test")
[[ $other_release == trixie ]] || chroot_lists+=("$other_release:package test")
# Through sudo for a user other than root: asked for here, in the foreground, once.
[[ $(id -u) -eq 0 ]] || sudo -v
for entry in "${chroot_lists[@]}"; do
    release=${entry%%:*} log=$logs/0-chroot-$release.log
    (
        began=$SECONDS status=0
        scripts/debian-chroot.sh --with "${entry#*:}" "$release" true || status=$?
        echo "$((SECONDS - began)) $status" >"$log.ended"
    ) >"$log" 2>&1 &
    preparing+=("$!|$release|$log")
done

step "The suite (gcc)" bash -c 'cmake --preset default && cmake --build --preset default &&
    ctest --preset default'
step "The suite built by clang" bash -c 'cmake --preset clang && cmake --build --preset clang &&
    ctest --preset clang'
step "The suite under ASan and UBSan" bash -c 'cmake --preset sanitize &&
    cmake --build --preset sanitize && ctest --preset sanitize'
step "Fuzzing the text forms of numbers" scripts/fuzz.sh "${BRIGHTFOLD_FUZZ_SECONDS:-30}"

# The chroots set up meanwhile: each a row, with the time it took beside the steps above.
wait_for_chroots
for entry in "${preparing[@]}"; do
    IFS='|' read -r _ release log <<<"$entry"
    read -r seconds status <"$log.ended" || seconds=0 status=1
    record "Chroot of Debian $release (beside the above)" "$log" "$seconds" "$status"
    if ((status != 0)); then
        tail -n 20 "$log" >&2
        exit "$status"
    fi
done

step "The suite and the package on Debian $other_release" scripts/check-debian.sh "$other_release"
step "The suite and the package on Debian testing" scripts/check-debian.sh forky
step "The Windows build, tested under wine" bash -c 'scripts/build-windows.sh &&
    scripts/debian-chroot.sh trixie ctest --preset windows'
step "The release, built twice, the same to the bit" scripts/check-reproducible.sh
