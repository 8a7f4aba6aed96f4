#!/usr/bin/env bash
# Runs a command in a Debian system of another release, made from Debian's archive with
# debootstrap and kept in the user's cache between runs (as root, or through sudo):
#
#   scripts/debian-chroot.sh [--with "LIST ..."] [--online] RELEASE [COMMAND ...]
#   scripts/debian-chroot.sh --remove-all
#
# --with installs the package lists named (scripts/setup.sh) in the chroot first; --online lets
# the command reach the network too. --remove-all removes every chroot of the cache, with the
# Qt for Windows built in one (scripts/build-windows.sh), and refuses while a command runs in one.
# The command runs as root in /brightfold, this source tree, with a build/ folder of the chroot's
# own over the tree's, so that the host's and the chroot's builds never mix. With no command, a
# shell. The release is a code name (bookworm, trixie, forky); testing's has no debootstrap script
# of its own, so it is made as sid is, and its archive copy here may lag, so apt takes its Release
# file even past its Valid-Until date, in that chroot only.
#
# Safe on the host: every mount lives in a mount namespace of this script's own, so no mount is
# seen from the host or outlives the command, and each is unmounted (umount -R) before it ends,
# whichever way it ends. The command's processes live in a process namespace of their own: they
# see no other process of the machine, and none of them outlives the command, nor this script
# (a signal to it ends them). The command also has a network namespace of its own (loopback
# only), so its virtual displays and buses cannot meet the host's; only the package installs of
# --with reach the archive, unless --online is given.
#
# Run through sudo, it leaves nothing of root's in the tree: the folders the command writes in
# are made as the user first (build/ here, DIST in scripts/release-windows.sh), and what root makes
# in the tree goes back to the user after the command (give_back).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

cache=${BRIGHTFOLD_CHROOT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/brightfold/chroots}
# The caller's environment that the command gets, and no more: sudo and the chroot's env -i drop
# the rest. Whether CI runs it, the release's time, the fuzzing time, the code-signing certificate.
passed=(CI SOURCE_DATE_EPOCH BRIGHTFOLD_FUZZ_SECONDS
    BRIGHTFOLD_SIGN_PKCS12 BRIGHTFOLD_SIGN_PASSWORD BRIGHTFOLD_SIGN_CAFILE)
if [[ $(id -u) -ne 0 ]]; then
    # Root makes the chroot (debootstrap), mounts the tree and the system's folders in it and
    # enters it; nothing else needs it. The user's own folders, made as root, would be root's:
    # the build folder, and the cache unless it is one the user cannot reach (root's, say).
    if [[ ${1:-} != --remove-all ]]; then
        mkdir -p "$top/build"
        mkdir -p "$cache" 2>/dev/null || true
    fi
    command -v sudo >/dev/null ||
        { echo "debian-chroot.sh: needs root: run it as root, or install sudo" >&2; exit 1; }
    export BRIGHTFOLD_CHROOT_CACHE=$cache
    # --preserve-env rather than VAR=value arguments, which every user of the machine could read.
    exec sudo --preserve-env="$(IFS=,; echo "BRIGHTFOLD_CHROOT_CACHE,${passed[*]}")" -- "$0" "$@"
fi
lists="" online=no remove_all=no
while [[ ${1:-} == --* ]]; do
    case $1 in
        --with) lists=$2; shift 2 ;;
        --online) online=yes; shift ;;
        --remove-all) remove_all=yes; shift ;;
        *) echo "debian-chroot.sh: unknown option $1" >&2; exit 2 ;;
    esac
done
releases=(bookworm trixie forky)
release=
if [[ $remove_all == no ]]; then
    [[ $# -ge 1 ]] || { echo "usage: $0 [--with \"LIST ...\"] [--online] RELEASE [COMMAND ...]" >&2; exit 2; }
    release=$1
    shift
    known=
    for name in "${releases[@]}"; do [[ $release == "$name" ]] && known=$name; done
    [[ -n $known ]] || { echo "debian-chroot.sh: unknown release '$release'" >&2; exit 2; }
elif [[ $# -gt 0 || -n $lists || $online == yes ]]; then
    echo "usage: $0 --remove-all" >&2
    exit 2
fi

root=$cache/$release
mirror=http://deb.debian.org/debian
keyring=/usr/share/keyrings/debian-archive-keyring.gpg

# Makes the chroot in a folder of its own and renames it into place only when it is complete, so
# that an interrupted run leaves nothing that looks usable. debootstrap mounts /proc and /sys in
# the folder while it works; it runs in a mount namespace of its own, so those go with it.
# shellcheck disable=SC2317 # run by run_inside
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

# shellcheck disable=SC2317 # run by run_inside
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
# shellcheck disable=SC2317 # run by the bash -c below
run_inside() {
    set -euo pipefail
    # Not local: the EXIT trap, which runs after this function has returned, reads it.
    mounted=()
    unmount_all() {
        local i
        for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -R "${mounted[i]}" 2>/dev/null || true; done
    }
    trap unmount_all EXIT
    trap 'exit 130' INT TERM
    mount_at() { mount "$@"; mounted+=("${*: -1}"); }
    # One run at a time makes the chroot and sets it up; taken here, below unshare, so that
    # unshare's waiting parent does not hold the lock for the whole command, and a signal that
    # ends the command ends debootstrap too.
    exec 9>"$cache/$release.lock"
    flock 9
    [[ -d $root ]] || make_chroot
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
    for name in $passed_names; do
        [[ -v $name ]] && env+=("$name=${!name}")
    done
    local in_chroot=(chroot "$root" /usr/bin/env -i "${env[@]}" bash -c
        'ip link set lo up 2>/dev/null; cd /brightfold && "$@"' bash)
    # shellcheck disable=SC2086 # the list names are words
    [[ -z $lists ]] || "${in_chroot[@]}" scripts/setup.sh $lists
    # Set up: other runs may use the chroot beside this one from here on.
    exec 9>&-
    local status=0 network=(unshare --net --)
    [[ $online == yes ]] && network=()
    "${network[@]}" "${in_chroot[@]}" "$@" || status=$?
    return "$status"
}

# Gives what root made or changed in this tree since the time $1 back to the user who called this
# script through sudo, when the tree is theirs: the files the command writes outside its build
# folder (which is the chroot's), such as the Windows release files. Only files, folders and
# symbolic links that root owns, of this tree's file system; find stays out of anything mounted
# in the tree, follows no symbolic link, and chown, run from inside each file's folder
# (-execdir), changes a link itself (-h), so that no name leads it out of the tree. A file of
# more than one name may have one outside the tree, and a device file would give its device
# away: those stay root's, and are named.
give_back() {
    local since=$1 tree
    # The tree's own path without links, as find and findmnt see it.
    tree=$(realpath -e "$top")
    [[ -n ${SUDO_UID:-} && $SUDO_UID != 0 && $(stat -c %u "$tree") == "$SUDO_UID" ]] || return 0
    # shellcheck disable=SC2153 # sudo sets it with SUDO_UID
    local owner=$SUDO_UID:$SUDO_GID
    local mounts=() mount
    while read -r mount; do
        mount=$(printf %b "$mount")
        [[ $mount == "$tree"/* ]] && mounts+=(-samefile "$mount" -o)
    done < <(findmnt -rn -o TARGET)
    local mine=(-user 0 -newerct "@$since")
    # Not build/: the command's is the chroot's own, and the host's builds there, which may be
    # running beside it (scripts/test.sh), are the user's. Files that other work of the user
    # removes while find reads the tree fail only their own line.
    # -execdir refuses a PATH that holds a relative folder.
    PATH=/usr/sbin:/usr/bin:/sbin:/bin find "$tree" -xdev \( "${mounts[@]}" -path "$tree/build" \) \
        -prune -o "${mine[@]}" \( -type d -o \( -type f -o -type l \) -links 1 \) \
        -execdir chown -h "$owner" {} + -o \
        "${mine[@]}" -printf "debian-chroot.sh: %p stays root's: a special file, or one of more names\n" ||
        echo "debian-chroot.sh: not every file of $tree could be read or given back to the user (above)" >&2
}

# Removes every chroot of the cache and what was made with them, taking each one's lock so that no
# run is making or setting it up meanwhile, and refusing one that a command runs in. Only the
# names this script gives, in case the cache is a folder that holds other things too.
remove_all() {
    local release tree link used
    for release in "${releases[@]}"; do
        [[ -e $cache/$release || -e $cache/$release.partial || -e $cache/$release.lock ]] || continue
        (
            flock 9
            for tree in "$cache/$release" "$cache/$release.partial"; do
                for link in /proc/[0-9]*/root; do
                    used=$(readlink "$link" 2>/dev/null) || continue
                    if [[ $used == "$tree" || $used == "$tree"/* ]]; then
                        echo "debian-chroot.sh: a command runs in $tree (process ${link//[^0-9]/}); not removing it" >&2
                        exit 1
                    fi
                done
                remove_tree "$tree"
            done
            rm -f "$cache/$release-debootstrap.log"
            echo "Removed the Debian $release chroot from $cache"
        ) 9>"$cache/$release.lock"
        rm -f "$cache/$release.lock"
    done
    rmdir "$cache" 2>/dev/null || true
}

if [[ $remove_all == yes ]]; then
    remove_all
    exit
fi

mkdir -p "$cache"
[[ $# -gt 0 ]] || set -- bash
export -f run_inside make_chroot write_sources remove_tree
passed_names=${passed[*]}
export top root lists online release cache passed_names mirror keyring
started=$(date +%s.%N)
# In the background, so that this script can end the command when it is signalled (a shell waits
# for a command in the foreground before it handles a signal); with the terminal's input, and
# with Ctrl-C, which a shell's background command ignores, as the foreground's. Killing unshare
# kills the command's first process (--kill-child), and with it every other of its namespace.
(
    trap - INT QUIT
    exec unshare --mount --propagation private --pid --fork --kill-child -- bash -c 'run_inside "$@"' bash "$@"
) <&0 &
inside=$!
trap 'kill -KILL "$inside" 2>/dev/null || true' INT TERM HUP
status=0
# (Without the shell's own line on a command that a signal ended.)
{
    wait "$inside" || status=$?
    # A signal ends the wait before the command has ended: wait for the end it brings.
    wait "$inside" || true
} 2>/dev/null
give_back "$started"
exit "$status"
