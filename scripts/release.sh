#!/usr/bin/env bash
# Builds every artifact of a Brightfold release into dist/: the Debian package, built and checked
# by scripts/package.sh, the Windows executable and installer package, built by
# scripts/release-windows.sh, and SHA256SUMS over them all.
#
# The artifacts are the commit's: SOURCE_DATE_EPOCH, unless set, is the commit's date, so that a
# release built again from the same commit, in any folder and at any time, is the same to the bit
# (scripts/check-reproducible.sh checks that).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
dist=$top/dist
# Every file compiled for the release itself, not taken from a compiler cache.
unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER

if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
    echo "release.sh: the working tree has changes that are not committed; this release is not the commit's" >&2
fi

rm -rf "$dist"
mkdir -p "$dist"
scripts/package.sh "$dist"
scripts/release-windows.sh "$dist"

sums=$(cd "$dist" && find . -maxdepth 1 -type f -printf '%P\n' | LC_ALL=C sort | xargs -r -d '\n' sha256sum)
echo "$sums" >"$dist/SHA256SUMS"
echo "== The release of $(git rev-parse --short HEAD), in $dist"
cat "$dist/SHA256SUMS"
