#!/usr/bin/env bash
# Builds Brightfold and opens its login window.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default

if [[ -z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-} ]]; then
    echo "Brightfold needs a display and none is set; to run it on a virtual one: xvfb-run -a scripts/run.sh" >&2
    exit 1
fi
exec build/default/app/Brightfold
