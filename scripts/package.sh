#!/usr/bin/env bash
# Builds Brightfold's Debian package, brightfold_<version>_<architecture>.deb, in the build
# directory: build/default, or the one given.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
build=${1:-build/default}

scripts/setup.sh
# CPack works out the package's dependencies with dpkg-shlibdeps.
command -v dpkg-shlibdeps >/dev/null || { echo "package.sh: dpkg-shlibdeps is missing; install dpkg-dev" >&2; exit 1; }
cmake --preset default -B "$build" >/dev/null
cmake --build "$build"
cpack --config "$build/CPackConfig.cmake" -B "$build"
