#!/usr/bin/env bash
# Builds Brightfold's Windows release files into the folder DIST: the portable executable and the
# Windows Installer package, named after product, version and architecture
# (Brightfold-1.0.0.0-x64.exe and .msi), with the windows-release preset (build/windows-release).
# Signed when a code-signing certificate is given: BRIGHTFOLD_SIGN_PKCS12 names a PKCS#12 file,
# BRIGHTFOLD_SIGN_PASSWORD holds its password (packaging/windows/package.sh). Both files come out
# the same, byte for byte, from the same commit: SOURCE_DATE_EPOCH, which sets every time they
# hold, is the commit's time unless it is set already.
#   scripts/release-windows.sh DIST
set -euo pipefail
[[ $# -eq 1 ]] || { echo "usage: $0 DIST" >&2; exit 2; }
dist=$(mkdir -p "$1" && cd "$1" && pwd)
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$top" log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

# From an empty build folder: else files an earlier build made with another time would stay.
rm -rf "$top/build/windows-release"
"$top/scripts/build-windows.sh" windows-release
"$top/build/windows-release/package-windows.sh" "$dist"
