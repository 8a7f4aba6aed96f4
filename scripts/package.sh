#!/usr/bin/env bash
# Builds Brightfold's Debian package, <package>_<version>_<architecture>.deb, with the release
# preset in build/release (hardened, no tests), and checks it: the executable must have its
# hardening (tests/check-hardening.sh), lintian must report no error and no warning, the
# desktop entry and the AppStream metadata must validate, and a software centre's catalog made
# from the package must show the program. Given a folder, it copies the checked package there.
#
#   scripts/package.sh [DIR]
#
# From a git checkout the package is reproducible: SOURCE_DATE_EPOCH, unless set, is the
# commit's date, which CPack gives every file in the package and rcc every image in the program.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
destination=${1:+$(realpath -m "$1")}
cd "$top"
build=build/release

# The package's folders get the umask's permissions: Debian's umask, as dpkg-buildpackage sets
# it, whatever the builder's own.
umask 022
if [[ -z ${SOURCE_DATE_EPOCH:-} ]] && git rev-parse --git-dir >/dev/null 2>&1; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
    export SOURCE_DATE_EPOCH
fi
scripts/setup.sh package
cmake --preset release >/dev/null
cmake --build --preset release
cpack --config "$build/CPackConfig.cmake" -B "$build" | tee "$build/cpack.log"
deb=$(sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p' "$build/cpack.log")

echo "== Checking $deb"
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
tests/check-hardening.sh "$build" "$unpacked"/usr/bin/*
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
# --no-net: the screenshots and web address are checked where they are published, not here.
appstreamcli validate --no-net --pedantic "$unpacked"/usr/share/metainfo/*.metainfo.xml
# What a software centre gets: the catalog composed from the package's files must list the
# program with its name, summary, description, an icon found in the package, and screenshots.
appstreamcli compose --no-net --origin package --result-root="$unpacked/catalog" \
    "$unpacked" >/dev/null
catalog=$(zcat "$unpacked"/catalog/usr/share/swcatalog/xml/package.xml.gz)
for element in '<name>' '<summary>' '<description>' '<icon type="cached"' '<screenshot'; do
    grep -qF "$element" <<<"$catalog" || { echo "package.sh: the catalog lacks $element" >&2; exit 1; }
done
# Errors and warnings fail; informational tags are shown.
lintian --display-info --fail-on error,warning "$deb"
echo "package.sh: $deb passed its checks"
if [[ -n $destination ]]; then
    mkdir -p "$destination"
    cp "$deb" "$destination/"
fi
