#!/usr/bin/env bash
# Runs the whole suite under one wineserver and one Xvfb display; ends both afterwards.
set -uo pipefail
KX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-build/cross}
bash "$KX_ROOT/scripts/wine-up.sh" || exit 1
cd "$KX_ROOT/$BUILD" && ctest --output-on-failure -j 2 ${CTEST_ARGS:-}
rc=$?
bash "$KX_ROOT/scripts/wine-down.sh"
exit $rc
