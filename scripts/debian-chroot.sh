#!/usr/bin/env bash
# Runs a command in a chroot of another Debian release, made by mmdebstrap and kept in the user's
# cache; as the user, without sudo:
#   scripts/debian-chroot.sh [--with "LIST ..."] [--online] RELEASE [COMMAND ...]
#   scripts/debian-chroot.sh --remove-all
# RELEASE: bookworm, trixie, or testing (upgraded when last upgraded over a week ago). --with
# installs package lists (scripts/setup.sh) first; --online lets the command reach the network;
# --remove-all removes every chroot, with the Qt for Windows built in one. The command (or a shell)
# runs as the chroot's root in /brightfold, this tree, with a build/ folder of the chroot's own.
# That root is the user, in a user namespace that gives the chroot's other users the user's
# subordinate ids: what it writes in the tree is the user's. Its mounts and processes live in
# namespaces of their own, which end with this script however it ends (scripts/process-group.sh);
# its network is loopback only. As root, the same without the user namespace.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/process-group.sh
. "$top/scripts/process-group.sh"
own_process_group "$@"
shopt -s extglob nullglob

cache=${BRIGHTFOLD_CHROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brightfold/chroots}
# The caller's environment that the command gets, and no more: the release's time, the
# code-signing certificate, and whether builds go through a compiler cache (kept in the chroot).
# In the environment, never on a command line, which every user reads.
passed=(SOURCE_DATE_EPOCH BRIGHTFOLD_SIGN_PKCS12 BRIGHTFOLD_SIGN_PASSWORD BRIGHTFOLD_SIGN_CAFILE
    CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER)
releases=(bookworm trixie testing)
usage() { echo "usage: $0 [--with \"LIST ...\"] [--online] RELEASE [COMMAND ...] | --remove-all" >&2; exit 2; }
lists="" online="" release=""
while [[ ${1:-} == --* ]]; do
    case $1 in --with) lists=$2 && shift ;; --online) online=yes ;; --remove-all) release=$1 ;; *) usage ;; esac
    shift
done
if [[ $release == --remove-all ]]; then
    [[ $# -eq 0 && -z $lists$online ]] || usage
else
    [[ " ${releases[*]} " == *" ${1:-} "* ]] || usage
    release=$1 && shift
fi
root=$cache/$release partial=$cache/$release.partial
mirror=http://deb.debian.org/debian
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

for ids in /etc/subuid /etc/subgid; do
    ((EUID == 0)) || grep -qsE "^($(id -un)|$(id -u)):" "$ids" || { echo "debian-chroot.sh: $(id -un) has" \
        "no subordinate ids in $ids, which the chroots' users need; add a range no other user has," \
        "e.g. sudo usermod --add-subuids 100000-165535 --add-subgids 100000-165535 $(id -un)" >&2; exit 1; }
done

# Runs a command as the chroots' root in namespaces of its own, in the background: waited for
# (`wait $!`), so that a signal to this script is handled at once.
users=(--map-root-user --map-auto)
((EUID != 0)) || users=()
namespace() { unshare "${users[@]}" --mount --propagation private --pid --fork --kill-child -- "$@" <&0 & }
# Removes folders of the cache, whose files belong to the chroots' users.
remove() { namespace rm -rf --one-file-system "$@" && wait $!; }

# Holds the release's lock on descriptor 9: one run at a time makes or sets up a chroot. The file
# may be removed meanwhile (--remove-all): then the lock held is another's, and is taken again.
lock() {
    while mkdir -p "$cache" && exec 9>>"$cache/$release.lock" && flock 9; do
        [[ ! /dev/fd/9 -ef $cache/$release.lock ]] || return 0
    done
    exit 1
}

# A minimal system as an archive, written by mmdebstrap as the user, unpacked by the chroots' root,
# which gives each file its owner; the device nodes are the host's, mounted at the start. Its work
# folder, in which its own root (a subordinate id) writes, lies where that root can reach it.
make_chroot() {
    # shellcheck disable=SC2054 # a list of packages
    local log=$cache/$release-mmdebstrap.log options=(--variant=minbase
        --include=ca-certificates,iproute2,locales)
    # Testing's copy here may lag behind the archive: its Release file is taken past its date.
    [[ $release != testing ]] || options+=(--aptopt='Acquire::Check-Valid-Until "false"')
    echo "== Making a Debian $release chroot in $root (a few minutes, once)"
    scratch=$(mktemp -d)
    chmod 1777 "$scratch"
    TMPDIR=$scratch env --unset=HOME mmdebstrap --quiet "${options[@]}" "$release" "$partial.tar" \
        "$mirror" >"$log" 2>&1 &
    wait $! || { tail -n 20 "$log" >&2; exit 1; }
    mkdir -p "$partial/var/lib/brightfold"
    namespace tar -x --numeric-owner --exclude='./dev/*' -f "$partial.tar" -C "$partial" && wait $!
    write_sources
    mkdir "$partial/brightfold"
    touch "$partial/var/lib/brightfold/upgraded"
    mv "$partial" "$root"
    remove "$partial.tar" "$scratch"
}

write_sources() {
    local suite archive=$mirror
    for suite in "$release" "$release-updates" "$release-security"; do
        [[ $suite != testing-* ]] || continue
        [[ $suite != *-security ]] || archive=http://deb.debian.org/debian-security
        echo "deb [signed-by=$keyring] $archive $suite main"
        echo "deb-src [signed-by=$keyring] $archive $suite main"
    done >"$partial/etc/apt/sources.list"
    cp "$keyring" "$partial$keyring"
}

# Removes every chroot of the cache and what was made with it, under each one's lock, refusing one
# that a command runs in; only the names this script gives, should the cache hold other things.
remove_all() {
    local link
    for release in "${releases[@]}"; do
        root=$cache/$release partial=$cache/$release.partial
        [[ -e $root || -e $partial || -e $partial.tar || -e $cache/$release.lock ]] || continue
        lock
        for link in /proc/[0-9]*/root; do
            [[ $(readlink "$link" 2>/dev/null) != "$root"?(/*) ]] ||
                { echo "debian-chroot.sh: a command runs in $root (process ${link//[^0-9]/})" >&2; exit 1; }
        done
        remove "$root" "$partial" "$partial".*
        rm -f "$cache/$release-mmdebstrap.log" "$cache/$release.lock"
        exec 9>&-
        echo "Removed the Debian $release chroot from $cache"
    done
    rmdir "$cache" 2>/dev/null || true
}

[[ $release != --remove-all ]] || { remove_all; exit; }
mkdir -p "$top/build"
lock
if [[ ! -d $root ]]; then
    # What an interrupted run left, and whatever this one leaves should it be interrupted.
    scratch=""
    trap 'remove "$partial" "$partial".* ${scratch:+"$scratch"}' EXIT
    remove "$partial" "$partial".*
    make_chroot
    trap - EXIT
fi
[[ $# -gt 0 ]] || set -- bash
passed_names=${passed[*]}
export top root lists online release passed_names
# With the terminal's input, for a shell; the lock goes with the command until it is set up.
namespace "$top/scripts/debian-chroot-inside.sh" "$@" <&0
exec 9>&-
wait $!
