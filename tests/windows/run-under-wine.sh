#!/usr/bin/env bash
# Runs a Windows program under Debian's wine in the given wine prefix, which wine makes on first
# use; wine's own messages stay off unless WINEDEBUG asks for some.
# Usage: run-under-wine.sh PREFIX PROGRAM [ARGUMENT...]
set -euo pipefail
export WINEPREFIX=$1 WINEDEBUG=${WINEDEBUG:--all}
shift
# Wine hides the QT_* variables from Windows programs, as meant for the host's Qt; the same
# variable with WINE in front reaches the program under its own name.
for name in $(compgen -e); do
    if [[ $name == QT_* ]]; then
        export "WINE$name=${!name}"
    fi
done
# A program under wine has no console window, so Qt would log to the debugger; to stderr instead.
export WINEQT_FORCE_STDERR_LOGGING=1
exec /usr/lib/wine/wine64 "$@"
