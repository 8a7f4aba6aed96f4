#!/usr/bin/env bash
# Builds Brightfold with warnings as errors and runs the whole test suite; builds and runs it again
# with a second compiler, clang; runs it built with AddressSanitizer (leak checking included) and
# UndefinedBehaviorSanitizer; then builds the fuzz target, replays its seed corpus and fuzzes it
# for a short while; checks the other supported Debian release in a chroot of it (Debian 13 from
# Debian 12 and the other way round: scripts/check-debian.sh); cross-builds the Windows executable
# in a Debian 13 chroot and runs its suite under wine there (the first time, making the chroot and
# building the Qt for Windows take 30 to 45 minutes more); and last builds the release twice, in
# two fresh clones a minute apart, and checks that the two are the same to the bit.
# BRIGHTFOLD_FUZZ_SECONDS sets how long the target is fuzzed (30 by default).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/setup.sh package test chroot
cmake --preset default
cmake --build --preset default
ctest --preset default

echo "== The suite built by clang"
cmake --preset clang
cmake --build --preset clang
ctest --preset clang

echo "== The suite under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== Fuzzing the text forms of numbers"
cmake --preset fuzz
cmake --build --preset fuzz
seconds=${BRIGHTFOLD_FUZZ_SECONDS:-30}
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

# The supported releases are Debian 12 and 13: the host is one, a chroot the other.
other_release=trixie
[[ $(. /etc/os-release && echo "$VERSION_CODENAME") == trixie ]] && other_release=bookworm
echo "== The suite and the package on Debian $other_release"
scripts/check-debian.sh "$other_release"

echo "== The Windows build, tested under wine"
scripts/build-windows.sh
scripts/debian-chroot.sh trixie ctest --preset windows

echo "== The release, built twice, the same to the bit"
scripts/check-reproducible.sh
