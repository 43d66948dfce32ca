#!/usr/bin/env bash
# Builds a simulated Oracle host in a Wine prefix (nothing is compiled here):
#   scripts/sim-host.sh PREFIX RELEASE [simctl setup options...]
#   e.g. scripts/sim-host.sh build/wine-demo 8.1 --copies 'C:\BACKUP' --sid ORCL --rows 20
# --rows N commits N numbered rows to the open instance once it is set up.
# The programs are taken from KX_SIM_BIN (default build/sim/bin); oci.dll from there, or found
# under the build folder.
set -euo pipefail
KX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 2 ] || { echo "usage: $0 PREFIX RELEASE [setup options]" >&2; exit 2; }
export KX_WINEPREFIX=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
release=$2; shift 2
setup=() rows=""
while [ $# -gt 0 ]; do
  if [ "$1" = --rows ]; then rows=$2; shift 2; else setup+=("$1"); shift; fi
done
bin=${KX_SIM_BIN:-$KX_ROOT/build/sim/bin}
[ -f "$bin/simctl.exe" ] || { echo "no $bin/simctl.exe: build the sim targets first" >&2; exit 1; }
. "$KX_ROOT/scripts/wine-env.sh"
oci=()
if [ ! -f "$bin/oci.dll" ]; then
  found=$(find "$KX_ROOT/build" -name oci.dll -print -quit 2>/dev/null || true)
  [ -n "$found" ] && oci=(--oci "$(winepath -w "$found" 2>/dev/null)")
fi
bash "$KX_ROOT/scripts/wine-up.sh"
# The prefix's own services start with the first program run in it and keep its output handles:
# start them here with none, so that the caller's pipe is closed when setup ends.
bash "$KX_ROOT/scripts/wine-run.sh" cmd /c exit </dev/null >/dev/null 2>&1 || true
bash "$KX_ROOT/scripts/wine-run.sh" "$bin/simctl.exe" setup --release "$release" "${oci[@]}" "${setup[@]}"
sid=ORCL
for ((i = 0; i < ${#setup[@]}; i++)); do [ "${setup[$i]}" = --sid ] && sid=${setup[$((i + 1))]}; done
if [ -n "$rows" ]; then
  bash "$KX_ROOT/scripts/wine-run.sh" "$bin/simctl.exe" workload --sid "$sid" --rows "$rows" --switch-every 5
fi
