#!/usr/bin/env bash
# Checks Brightfold on another Debian release, in a chroot of it (scripts/debian-chroot.sh): builds
# it, runs the default suite (on a virtual display, with the accessibility bus and Orca), builds
# the Debian package and checks it with that release's lintian (scripts/package.sh), installs it
# and starts the installed program until its login window shows, then removes it again. On Debian
# testing the suite also runs the program on GNOME's Wayland compositor (packages-wayland.txt).
#
#   scripts/check-debian.sh RELEASE        e.g. trixie, or testing
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
[[ $# -eq 1 ]] || { echo "usage: $0 RELEASE" >&2; exit 2; }
release=$1
if [[ ${BRIGHTFOLD_CHROOT:-} != "$release" ]]; then
    lists="package test"
    [[ $release != testing ]] || lists+=" wayland"
    exec "$top/scripts/debian-chroot.sh" --with "$lists" "$release" scripts/check-debian.sh "$@"
fi
cd "$top"
echo "== Debian $(</etc/debian_version), Qt $(dpkg-query -W -f='${Version}' qt6-base-dev)," \
    "Orca $(dpkg-query -W -f='${Version}' orca)"

# On testing the Wayland test must run: configuring stops if anything it needs is missing.
wayland_test=OFF
[[ $release != testing ]] || wayland_test=ON
cmake --preset default -DBRIGHTFOLD_REQUIRE_WAYLAND_TEST=$wayland_test
cmake --build --preset default
ctest --preset default

package=build/debian-package
rm -rf "$package"
scripts/package.sh "$package"
deb=("$package"/*.deb)
dpkg -i "${deb[0]}" >/dev/null
trap 'dpkg -r brightfold >/dev/null' EXIT
program=$(dpkg -L brightfold | grep -m 1 '^/usr/bin/')
# The window shows within seconds; a program that never shows one fails the check here.
xvfb-run -a sh -c '"$1" & program=$!
    timeout 60 xdotool search --sync --onlyvisible --class Brightfold >/dev/null; shown=$?
    kill $program; exit $shown' sh "$program" ||
    { echo "check-debian.sh: $program showed no window" >&2; exit 1; }
echo "check-debian.sh: the package installs and $program opens its window on Debian $release"
