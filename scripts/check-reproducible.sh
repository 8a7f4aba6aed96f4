#!/usr/bin/env bash
# Checks that a release of the current commit is reproducible: clones the commit twice, into two
# folders whose paths differ, and runs scripts/release.sh in each, the second a minute after the
# first started and with another umask, so that neither folders nor clock nor file
# permissions can leak into the artifacts. Every
# file in the two dist/ folders must then be the same to the bit; when one is not, diffoscope
# shows how they differ and the check fails, keeping both clones in build/reproducible/.
# Changes that are not committed are not part of the check.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/setup.sh test
commit=$(git rev-parse HEAD)
if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
    echo "check-reproducible.sh: checks $commit as committed, without the working tree's changes" >&2
fi
work=$top/build/reproducible
rm -rf "$work"
mkdir -p "$work"
clones=("$(mktemp -d "$work/a.XXXXXX")" "$(mktemp -d "$work/second-build.XXXXXX")")

# Releases the commit in a new clone in the folder $1, under the umask $2.
release() (
    clone=$1
    umask "$2"
    git clone -q "$top" "$clone/brightfold"
    git -C "$clone/brightfold" checkout -q --detach "$commit"
    echo "== Releasing $commit in $clone/brightfold, umask $2"
    if ! "$clone/brightfold/scripts/release.sh" >"$clone/release.log" 2>&1; then
        tail -n 40 "$clone/release.log" >&2
        echo "check-reproducible.sh: release.sh failed; its log is $clone/release.log" >&2
        exit 1
    fi
)

# The second starts a minute after the first, and the two then build side by side: each leaves
# the processor idle at times (lintian, the installer package) that the other can use.
started=$SECONDS
release "${clones[0]}" 022 &
first_release=$!
sleep 61
release "${clones[1]}" 077 &
second_release=$!
status=0
wait "$first_release" || status=$?
wait "$second_release" || status=$?
((status == 0)) || exit "$status"

first=${clones[0]}/brightfold/dist
second=${clones[1]}/brightfold/dist
if ! diff <(cd "$first" && find . -type f | LC_ALL=C sort) \
    <(cd "$second" && find . -type f | LC_ALL=C sort); then
    echo "check-reproducible.sh: the two releases hold different files" >&2
    exit 1
fi
differing=()
while IFS= read -r artifact; do
    cmp -s "$first/$artifact" "$second/$artifact" || differing+=("$artifact")
done < <(cd "$first" && find . -type f -printf '%P\n' | LC_ALL=C sort)

if ((${#differing[@]} > 0)); then
    for artifact in "${differing[@]}"; do
        echo "== $artifact differs"
        diffoscope "$first/$artifact" "$second/$artifact" || true
    done
    echo "check-reproducible.sh: not reproducible: ${differing[*]}; the clones are in $work" >&2
    exit 1
fi
echo "check-reproducible.sh: both releases of $commit are the same to the bit, in $((SECONDS - started)) s:"
cat "$first/SHA256SUMS"
rm -rf "$work"
