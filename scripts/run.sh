#!/usr/bin/env bash
# Builds Brightfold as users and packagers do (the release preset: no tests, and a compiler's
# warning is no error) and opens its login window.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "Brightfold needs a display and none is set; to run it on a virtual one, install xvfb and run: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi
exec build/release/app/Brightfold
