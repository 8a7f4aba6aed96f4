#!/usr/bin/env bash
# The part of scripts/debian-chroot.sh that runs in the chroot's namespaces, which it is given by
# the variables top, root, lists, online, release and passed_names: mounts what the command needs
# (the mounts go with the namespace), upgrades a testing chroot a week after its last upgrade,
# sets the chroot up, lets go of the lock (descriptor 9) and runs the command in the chroot.
set -euo pipefail
shopt -s nullglob
: "${top:?}" "${root:?}" "${lists?}" "${online?}" "${release:?}" "${passed_names?}"
# A build folder for each source tree, so that worktrees and clones do not share one; those of
# trees that are gone (the reproducibility check's clones) go too.
builds=$root/var/lib/brightfold/builds
for tree in "$builds"/*.tree; do [[ -d $(<"$tree") ]] || rm -rf "${tree%.tree}" "$tree"; done
builds=$builds/$(sha256sum <<<"$top" | cut -c 1-16)
mkdir -p "$builds"
echo "$top" >"$builds.tree"
# The chroot's root a mount point, as a system's is: so that it can make namespaces of its own.
mount --bind "$root" "$root"
mount -t proc proc "$root/proc"
mount --rbind /sys "$root/sys"
mount --rbind /dev "$root/dev"
mount -t tmpfs tmpfs "$root/dev/shm"
mount -t tmpfs tmpfs "$root/tmp"
mount --bind "$top" "$root/brightfold"
mount --bind "$builds" "$root/brightfold/build"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# shellcheck disable=SC2163 # the variable of that name
for name in $(compgen -e); do [[ " $passed_names " == *" $name "* ]] || export -n "$name"; done
export HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    TERM=${TERM:-dumb} BRIGHTFOLD_CHROOT=$release
in_chroot=(chroot "$root" bash -c 'ip link set lo up 2>/dev/null; cd /brightfold && "$@"' bash)
stamp=/var/lib/brightfold/upgraded
if [[ $release == testing && -n $(find "$root$stamp" -mtime +6 2>/dev/null) ]]; then
    echo "== Upgrading the Debian testing chroot, last upgraded $(date -r "$root$stamp" +%F)"
    "${in_chroot[@]}" sh -c "apt-get -qq update && DEBIAN_FRONTEND=noninteractive \
        apt-get -y -qq full-upgrade >/dev/null && touch $stamp"
fi
# shellcheck disable=SC2086 # the list names are words
[[ -z $lists ]] || "${in_chroot[@]}" scripts/setup.sh $lists
# Unlocked, not just closed: unshare, which waits for this script, holds the same descriptor, and
# would keep the lock until the command ends, so that a second command in this chroot would wait
# for the first.
flock --unlock 9
exec 9>&-
[[ $online == yes ]] || in_chroot=(unshare --net -- "${in_chroot[@]}")
"${in_chroot[@]}" "$@"
