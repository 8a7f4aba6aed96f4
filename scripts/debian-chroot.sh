#!/usr/bin/env bash
# Runs a command in a Debian system of another release, made from Debian's archive with
# debootstrap and kept in the user's cache between runs (as root, or through sudo):
#
#   scripts/debian-chroot.sh [--with "LIST ..."] [--online] RELEASE [COMMAND ...]
#
# --with installs the package lists named (scripts/setup.sh) in the chroot first; --online lets
# the command reach the network too.
# The command runs as root in /brightfold, this source tree, with a build/ folder of the chroot's
# own over the tree's, so that the host's and the chroot's builds never mix. With no command, a
# shell. The release is a code name (bookworm, trixie, forky); testing's has no debootstrap script
# of its own, so it is made as sid is, and its archive copy here may lag, so apt takes its Release
# file even past its Valid-Until date, in that chroot only.
#
# Safe on the host: every mount lives in a mount namespace of this script's own, so no mount is
# seen from the host or outlives the command, and each is unmounted (umount -R) before it ends,
# whichever way it ends. The command's processes live in a process namespace of their own: they
# see no other process of the machine, and none of them outlives the command. The command also has a network namespace of its own (loopback only), so
# its virtual displays and buses cannot meet the host's; only the package installs of --with
# reach the archive, unless --online is given.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

cache=${BRIGHTFOLD_CHROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brightfold/chroots}
if [[ $(id -u) -ne 0 ]]; then
    exec sudo BRIGHTFOLD_CHROOT_CACHE="$cache" -- "$0" "$@"
fi
lists="" online=no
while [[ ${1:-} == --* ]]; do
    case $1 in
        --with) lists=$2; shift 2 ;;
        --online) online=yes; shift ;;
        *) echo "debian-chroot.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
[[ $# -ge 1 ]] || { echo "usage: $0 [--with \"LIST ...\"] [--online] RELEASE [COMMAND ...]" >&2; exit 2; }
release=$1
shift
case $release in
    bookworm | trixie | forky) ;;
    *) echo "debian-chroot.sh: unknown release '$release'" >&2; exit 2 ;;
esac

root=$cache/$release
mirror=http://deb.debian.org/debian
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# Makes the chroot in a folder of its own and renames it into place only when it is complete, so
# that an interrupted run leaves nothing that looks usable. debootstrap mounts /proc and /sys in
# the folder while it works; it runs in a mount namespace of its own, so those go with it.
make_chroot() {
    local partial=$root.partial script=$release
    [[ $release == forky ]] && script=sid
    command -v debootstrap >/dev/null || "$top/scripts/setup.sh" chroot
    remove_tree "$partial"
    echo "== Making a Debian $release chroot in $root (a few minutes, once)"
    unshare --mount --propagation private -- debootstrap --variant=minbase \
        --include=ca-certificates,iproute2,locales "$release" "$partial" "$mirror" \
        "/usr/share/debootstrap/scripts/$script" >"$cache/$release-debootstrap.log" 2>&1 || {
        tail -n 20 "$cache/$release-debootstrap.log" >&2
        remove_tree "$partial"
        exit 1
    }
    write_sources "$partial"
    mkdir -p "$partial/brightfold"
    mv "$partial" "$root"
}

write_sources() {
    local target=$1
    if [[ $release == forky ]]; then
        cat >"$target/etc/apt/sources.list" <<SOURCES
deb [signed-by=$keyring] $mirror forky main
deb-src [signed-by=$keyring] $mirror forky main
SOURCES
        echo 'Acquire::Check-Valid-Until "false";' >"$target/etc/apt/apt.conf.d/99brightfold-lagging-archive"
    else
        cat >"$target/etc/apt/sources.list" <<SOURCES
deb [signed-by=$keyring] $mirror $release main
deb [signed-by=$keyring] $mirror $release-updates main
deb [signed-by=$keyring] http://deb.debian.org/debian-security $release-security main
deb-src [signed-by=$keyring] $mirror $release main
deb-src [signed-by=$keyring] $mirror $release-updates main
deb-src [signed-by=$keyring] http://deb.debian.org/debian-security $release-security main
SOURCES
    fi
    cp "$keyring" "$target$keyring"
}

# Removes a chroot folder only when nothing is mounted inside it: a mount found there (left by a
# process killed outside this script's namespaces) is unmounted first, and if it cannot be, the
# folder stays.
remove_tree() {
    local tree=$1
    [[ -e $tree ]] || return 0
    local mounts
    mounts=$(findmnt -rn -o TARGET | awk -v t="$tree/" 'index($0 "/", t) == 1' | sort -r)
    if [[ -n $mounts ]]; then
        while read -r mount; do umount -R "$mount" || true; done <<<"$mounts"
        if findmnt -rn -o TARGET | awk -v t="$tree/" 'index($0 "/", t) == 1' | grep -q .; then
            echo "debian-chroot.sh: $tree still has mounts; not removing it" >&2
            return 1
        fi
    fi
    rm -rf --one-file-system "$tree"
}

# Inside the private mount namespace: mounts what the command needs, runs it in the chroot, and
# unmounts all of it again, also when the command fails or the script is interrupted.
run_inside() {
    local mounted=()
    unmount_all() {
        local i
        for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -R "${mounted[i]}" 2>/dev/null || true; done
    }
    trap unmount_all EXIT
    trap 'exit 130' INT TERM
    mount_at() { mount "$@"; mounted+=("${*: -1}"); }
    # A build folder for each source tree, so that worktrees and clones do not share one.
    # Those of trees that are gone (clones of the reproducibility check) go too.
    local builds=$root/var/lib/brightfold/builds tree
    mkdir -p "$builds"
    for tree in "$builds"/*.tree; do
        [[ -f $tree && ! -d $(<"$tree") ]] && rm -rf "${tree%.tree}" "$tree"
    done
    builds=$builds/$(sha256sum <<<"$top" | cut -c 1-16)
    echo "$top" >"$builds.tree"
    mkdir -p "$builds" "$top/build"
    # The chroot's root a mount point, as a system's root is: so that the chroot can make
    # namespaces and chroots of its own.
    mount_at --bind "$root" "$root"
    mount_at -t proc proc "$root/proc"
    mount_at --rbind /sys "$root/sys"
    mount_at --rbind /dev "$root/dev"
    mount_at -t tmpfs tmpfs "$root/dev/shm"
    mount_at -t tmpfs tmpfs "$root/tmp"
    mount_at --bind "$top" "$root/brightfold"
    mount_at --bind "$builds" "$root/brightfold/build"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    local env=(HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
        LANG=C.UTF-8 TERM="${TERM:-dumb}" BRIGHTFOLD_CHROOT="$release") name
    for name in CI SOURCE_DATE_EPOCH BRIGHTFOLD_FUZZ_SECONDS ${!BRIGHTFOLD_SIGN_*}; do
        [[ -v $name ]] && env+=("$name=${!name}")
    done
    local in_chroot=(chroot "$root" /usr/bin/env -i "${env[@]}" bash -c
        'ip link set lo up 2>/dev/null; cd /brightfold && "$@"' bash)
    # One run at a time sets the chroot up; taken here, below unshare, so that unshare's waiting
    # parent does not hold the lock for the whole command.
    exec 9>"$cache/$release.lock"
    flock 9
    # shellcheck disable=SC2086 # the list names are words
    [[ -z $lists ]] || "${in_chroot[@]}" scripts/setup.sh $lists || return  # no set -e in here
    # Set up: other runs may use the chroot beside this one from here on.
    exec 9>&-
    local status=0 network=(unshare --net --)
    [[ $online == yes ]] && network=()
    "${network[@]}" "${in_chroot[@]}" "$@" || status=$?
    return $status
}

mkdir -p "$cache"
# One run at a time makes the chroot.
(
    flock 9
    [[ -d $root ]] || make_chroot
) 9>"$cache/$release.lock"
[[ $# -gt 0 ]] || set -- bash
export -f run_inside
export top root lists online release cache
exec unshare --mount --propagation private --pid --fork -- bash -c 'run_inside "$@"' bash "$@"
