#!/usr/bin/env bash
# Installs the Debian packages that are not installed yet: those that building and running need
# (packages.txt), and those of each further list named (package, test: packages-NAME.txt). Where
# the archive cannot install one of them, it fails naming it.
#
#   scripts/setup.sh                 building and running
#   scripts/setup.sh package test    ... and packaging and testing
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

lists=("$here/packages.txt")
for name in "$@"; do
    [[ -f $here/packages-$name.txt ]] || { echo "setup.sh: no list $here/packages-$name.txt" >&2; exit 2; }
    lists+=("$here/packages-$name.txt")
done
mapfile -t wanted < <(cat "${lists[@]}" | grep -vE '^\s*(#|$)')
missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
# In a chroot, whose setting up a signal may have cut short: dpkg finishes what it began.
[[ -z ${BRIGHTFOLD_CHROOT:-} ]] || dpkg --configure -a
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=600 \
    --no-install-recommends "${missing[@]}" && exit 0
# Which of them the archive cannot install as it is today (on Debian testing, for a while when a
# package moves in before those it needs): each tried alone, without installing anything.
broken=()
for package in "${missing[@]}"; do
    apt-get install -s -qq --no-install-recommends "$package" >/dev/null 2>&1 || broken+=("$package")
done
release=$(. /etc/os-release && echo "${VERSION_CODENAME:-$VERSION_ID}")
if [[ ${#broken[@]} -gt 0 ]]; then
    echo "setup.sh: Debian $release's archive cannot install ${broken[*]} today (apt-get said why" \
        "above); nothing was installed. Run the same command again once the archive is whole again" \
        "(on Debian testing, usually within a day or two): each run updates the package lists first." >&2
fi
exit 1
