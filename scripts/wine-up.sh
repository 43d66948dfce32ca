#!/usr/bin/env bash
# Starts what the programs need: an Xvfb display, the 32-bit Wine prefix under build/, one wineserver.
set -euo pipefail
KX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$KX_ROOT/build"
disp_file="$KX_ROOT/build/xvfb.display"
if [ -f "$disp_file" ] && [ -e "/tmp/.X11-unix/X$(cut -c2- "$disp_file")" ] && \
   kill -0 "$(cat "$KX_ROOT/build/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
  :
else
  n=77
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n+1)); done
  Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  echo $! > "$KX_ROOT/build/xvfb.pid"
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  echo ":$n" > "$disp_file"
fi
. "$KX_ROOT/scripts/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating Wine prefix $WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
wineserver -p >/dev/null 2>&1 || true
# The first program of a wineserver starts the prefix's system processes, which keep its
# standard handles: start them here, on /dev/null, so that no test's output pipe stays open.
wine cmd /c exit </dev/null >/dev/null 2>&1 || true
