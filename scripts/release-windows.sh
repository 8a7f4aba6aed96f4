#!/usr/bin/env bash
# Builds Brightfold's Windows release files into the folder DIST, which lies inside this source
# tree: the portable executable and the Windows Installer package, named after product, version
# and architecture (Brightfold-1.0.0.0-x64.exe and .msi), with the windows-release preset, and
# BUILD-INFO-windows.txt, which names what they were built with: the Qt source and every package
# of the Debian 13 chroot that builds them (scripts/build-windows.sh). Signed when a code-signing
# certificate is given: BRIGHTFOLD_SIGN_PKCS12 names a PKCS#12 file inside this source tree,
# BRIGHTFOLD_SIGN_PASSWORD holds its password, and BRIGHTFOLD_SIGN_CAFILE may name a file of
# certificate authorities inside it too (packaging/windows/package.sh); a certificate given that
# cannot be used, or that does not reach the chroot, fails the release rather than leave it
# unsigned. Both files come out the same, byte for byte, from the same commit on any host:
# SOURCE_DATE_EPOCH, which sets every time they hold, is the commit's time unless it is set
# already.
#   scripts/release-windows.sh DIST
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ ${BRIGHTFOLD_CHROOT:-} != trixie ]]; then
    [[ $# -eq 1 ]] || { echo "usage: $0 DIST" >&2; exit 2; }
    # The chroot sees this tree at another path: name DIST and the certificate's files relative to
    # it.
    inside() {
        local path
        path=$(realpath -m --relative-to="$top" "$1")
        [[ $path != ..* ]] || { echo "release-windows.sh: $1 is outside $top" >&2; exit 2; }
        echo "$path"
    }
    dist=$(inside "$1")
    # Every file compiled for the release itself, not taken from a compiler cache.
    unset CMAKE_C_COMPILER_LAUNCHER CMAKE_CXX_COMPILER_LAUNCHER
    # Before the build, which may take a while.
    "$top/packaging/windows/package.sh" --check-certificate
    for name in BRIGHTFOLD_SIGN_PKCS12 BRIGHTFOLD_SIGN_CAFILE; do
        [[ -n ${!name:-} ]] || continue
        path=$(inside "${!name}")
        printf -v "$name" %s "$path"
    done
    SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}
    export SOURCE_DATE_EPOCH BRIGHTFOLD_SIGN_PKCS12 BRIGHTFOLD_SIGN_CAFILE
    # The certificate, if any, goes in as an argument too, by which the chroot's run knows it
    # should have one.
    exec "$top/scripts/debian-chroot.sh" --with "package test windows" --online trixie \
        scripts/release-windows.sh "$dist" "${BRIGHTFOLD_SIGN_PKCS12:-}"
fi
[[ $# -eq 1 || $# -eq 2 ]] || { echo "usage: $0 DIST [PKCS12]" >&2; exit 2; }
if [[ $# -eq 2 && $2 != "${BRIGHTFOLD_SIGN_PKCS12:-}" ]]; then
    echo "release-windows.sh: the code-signing certificate '$2' did not reach the chroot" \
        "(BRIGHTFOLD_SIGN_PKCS12 is '${BRIGHTFOLD_SIGN_PKCS12:-}' here); no release without it" >&2
    exit 1
fi
dist=$(mkdir -p "$1" && cd "$1" && pwd)

# From an empty build folder: else files an earlier build made with another time would stay.
rm -rf "$top/build/windows-release"
"$top/scripts/build-windows.sh" windows-release
"$top/build/windows-release/package-windows.sh" "$dist"
{
    qt=$(cmake -P "$top/cmake/windows-qt-location.cmake")
    echo "Built in Debian $(</etc/debian_version) with a static Qt from $(head -n 1 "$qt/brightfold-qt.stamp")"
    echo "The chroot's packages:"
    dpkg-query -W -f='${Package} ${Version}\n' | LC_ALL=C sort
} >"$dist/BUILD-INFO-windows.txt"
