#!/usr/bin/env bash
# Builds Brightfold with warnings as errors and runs the whole test suite.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"

scripts/setup.sh
cmake --preset default
cmake --build --preset default
ctest --preset default
