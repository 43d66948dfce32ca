#!/usr/bin/env bash
# Ends the wineserver and the Xvfb display that wine-up.sh started.
KX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$KX_ROOT/scripts/wine-env.sh"
wineserver -k 2>/dev/null || true
if [ -f "$KX_ROOT/build/xvfb.pid" ]; then kill "$(cat "$KX_ROOT/build/xvfb.pid")" 2>/dev/null || true; rm -f "$KX_ROOT/build/xvfb.pid" "$KX_ROOT/build/xvfb.display"; fi
