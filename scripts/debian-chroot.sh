#!/usr/bin/env bash
# Runs a command in a Debian system of another release, made from Debian's archive by mmdebstrap
# and kept in the user's cache between runs; all as the user, without sudo:
#
#   scripts/debian-chroot.sh [--with "LIST ..."] [--online] RELEASE [COMMAND ...]
#   scripts/debian-chroot.sh --remove-all
#
# RELEASE is bookworm, trixie or testing. --with installs the package lists named
# (scripts/setup.sh) in the chroot first; --online lets the command reach the network too.
# --remove-all removes every chroot of the cache, with the Qt for Windows built in one
# (scripts/build-windows.sh), and refuses one that a command runs in. The command runs as the
# chroot's root in /brightfold, this source tree, with a build/ folder of the chroot's own over
# the tree's, so that the host's and the chroot's builds never mix. With no command, a shell. A
# testing chroot is upgraded when its last upgrade is more than a week old.
#
# The chroot's root is the user: the command runs in a user namespace that maps root to the user
# and the chroot's other users to the user's subordinate ids (/etc/subuid, /etc/subgid), so what
# it writes in the tree is the user's. Its mounts live in a mount namespace of its own, seen by no
# other process and gone with it; its processes in a process namespace that ends with this script,
# however the script ends (scripts/process-group.sh); its network is loopback only, unless
# --online. Run as root, the same without the user namespace. A chroot is made in a .partial
# folder and renamed into place only when complete; one run at a time makes or sets it up.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/process-group.sh
. "$top/scripts/process-group.sh"
own_process_group "$@"
shopt -s extglob nullglob

cache=${BRIGHTFOLD_CHROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brightfold/chroots}
# The caller's environment that the command gets, and no more: the release's time, and the
# code-signing certificate. In the environment, never on a command line, which every user reads.
passed=(SOURCE_DATE_EPOCH BRIGHTFOLD_SIGN_PKCS12 BRIGHTFOLD_SIGN_PASSWORD BRIGHTFOLD_SIGN_CAFILE)
releases=(bookworm trixie testing)
usage() { echo "usage: $0 [--with \"LIST ...\"] [--online] RELEASE [COMMAND ...] | --remove-all" >&2; exit 2; }
lists="" online=no release=""
while [[ ${1:-} == --* ]]; do
    case $1 in
        --with) lists=$2; shift 2 ;;
        --online) online=yes; shift ;;
        --remove-all) [[ $# -eq 1 && -z $lists && $online == no ]] || usage; release=--remove-all; shift ;;
        *) usage ;;
    esac
done
if [[ -z $release ]]; then
    [[ $# -ge 1 && " ${releases[*]} " == *" $1 "* ]] || usage
    release=$1
    shift
fi
root=$cache/$release partial=$cache/$release.partial
mirror=http://deb.debian.org/debian
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

if ((EUID != 0)); then
    for ids in /etc/subuid /etc/subgid; do
        grep -qE "^($(id -un)|$(id -u)):" "$ids" 2>/dev/null && continue
        echo "debian-chroot.sh: $(id -un) has no subordinate ids in $ids, which the chroots' users" \
            "need. Add a range no other user has, e.g.: sudo usermod --add-subuids" \
            "100000-165535 --add-subgids 100000-165535 $(id -un)" >&2
        exit 1
    done
fi

# Runs a command as the chroots' root, in namespaces of its own, in the background: the caller
# waits for it (`wait $!`), so that a signal to this script is handled at once.
namespace() {
    local users=()
    ((EUID == 0)) || users=(--map-root-user --map-auto)
    unshare "${users[@]}" --mount --propagation private --pid --fork --kill-child -- "$@" <&0 &
}
# Removes folders of the cache, whose files belong to the chroots' users.
remove() { namespace rm -rf --one-file-system "$@" && wait $!; }

# Holds the release's lock on descriptor 9: one run at a time makes or sets up a chroot. The file
# may be removed meanwhile (--remove-all): then the lock held is another's, and is taken again.
lock() {
    local file=$cache/$release.lock
    while :; do
        mkdir -p "$cache"
        exec 9>>"$file"
        flock 9
        [[ /dev/fd/9 -ef $file ]] && return
    done
}

# A minimal system as an archive, written by mmdebstrap as the user, and unpacked by the chroots'
# root, which gives every file its owner; the device nodes are the host's, mounted at the start.
make_chroot() {
    # shellcheck disable=SC2054 # a list of packages
    local log=$cache/$release-mmdebstrap.log options=(--variant=minbase
        --include=ca-certificates,iproute2,locales)
    [[ $release != testing ]] || options+=(--aptopt='Acquire::Check-Valid-Until "false"')
    echo "== Making a Debian $release chroot in $root (a few minutes, once)"
    # mmdebstrap's own work folder, which its root, a subordinate id, must reach (a home folder
    # may be the user's alone), and the chroots' root removes.
    scratch=$(mktemp -d)
    chmod 1777 "$scratch"
    TMPDIR=$scratch env --unset=HOME mmdebstrap --quiet "${options[@]}" "$release" "$partial.tar" \
        "$mirror" >"$log" 2>&1 &
    wait $! || { tail -n 20 "$log" >&2; exit 1; }
    mkdir "$partial"
    namespace tar -x --numeric-owner --exclude='./dev/*' -f "$partial.tar" -C "$partial" && wait $!
    write_sources
    mkdir -p "$partial/brightfold" "$partial/var/lib/brightfold"
    touch "$partial/var/lib/brightfold/upgraded"
    mv "$partial" "$root"
    remove "$partial.tar" "$scratch"
}

write_sources() {
    local suites=("$release") suite
    [[ $release == testing ]] || suites+=("$release-updates")
    for suite in "${suites[@]}"; do
        echo "deb [signed-by=$keyring] $mirror $suite main"
        echo "deb-src [signed-by=$keyring] $mirror $suite main"
    done >"$partial/etc/apt/sources.list"
    if [[ $release == testing ]]; then
        # Its copy here may lag behind the archive: its Release file is taken past its date.
        echo 'Acquire::Check-Valid-Until "false";' >"$partial/etc/apt/apt.conf.d/99brightfold-lagging-archive"
    else
        echo "deb [signed-by=$keyring] http://deb.debian.org/debian-security $release-security main" \
            >>"$partial/etc/apt/sources.list"
    fi
    cp "$keyring" "$partial$keyring"
}

# In the namespaces: mounts what the command needs, sets the chroot up, lets go of the lock and
# runs the command. The mounts go with the namespace.
# shellcheck disable=SC2317 # run by the bash -c below
run_inside() {
    set -euo pipefail
    # A build folder for each source tree, so that worktrees and clones do not share one; those of
    # trees that are gone (the reproducibility check's clones) go too.
    local builds=$root/var/lib/brightfold/builds tree name
    mkdir -p "$builds"
    for tree in "$builds"/*.tree; do
        [[ -f $tree && ! -d $(<"$tree") ]] && rm -rf "${tree%.tree}" "$tree"
    done
    builds=$builds/$(sha256sum <<<"$top" | cut -c 1-16)
    echo "$top" >"$builds.tree"
    mkdir -p "$builds"
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
    for name in $(compgen -e); do
        # shellcheck disable=SC2163 # the variable of that name
        [[ " $passed_names " == *" $name "* ]] || export -n "$name"
    done
    export -nf run_inside
    export HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
        TERM=${TERM:-dumb} BRIGHTFOLD_CHROOT=$release
    local in_chroot=(chroot "$root" bash -c 'ip link set lo up 2>/dev/null; cd /brightfold && "$@"' bash)
    local stamp=/var/lib/brightfold/upgraded
    if [[ $release == testing && -n $(find "$root$stamp" -mtime +6 2>/dev/null) ]]; then
        echo "== Upgrading the Debian testing chroot, last upgraded $(date -r "$root$stamp" +%F)"
        "${in_chroot[@]}" sh -c "apt-get -qq update && DEBIAN_FRONTEND=noninteractive \
            apt-get -y -qq full-upgrade >/dev/null && touch $stamp"
    fi
    # shellcheck disable=SC2086 # the list names are words
    [[ -z $lists ]] || "${in_chroot[@]}" scripts/setup.sh $lists
    exec 9>&-
    local network=(unshare --net --)
    [[ $online == yes ]] && network=()
    "${network[@]}" "${in_chroot[@]}" "$@"
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
            [[ $(readlink "$link" 2>/dev/null) != "$root"?(/*) ]] && continue
            echo "debian-chroot.sh: a command runs in $root (process ${link//[^0-9]/}); not removing it" >&2
            exit 1
        done
        remove "$root" "$partial" "$partial".*
        rm -f "$cache/$release-mmdebstrap.log" "$cache/$release.lock"
        exec 9>&-
        echo "Removed the Debian $release chroot from $cache"
    done
    rmdir "$cache" 2>/dev/null || true
}

if [[ $release == --remove-all ]]; then
    remove_all
    exit
fi
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
export -f run_inside
passed_names=${passed[*]}
export top root lists online release passed_names
# With the terminal's input, for a shell; the lock goes with the command until it is set up.
namespace bash -c 'run_inside "$@"' bash "$@" <&0
exec 9>&-
wait $!
