#!/usr/bin/env bash
# The program's main job on a simulated Oracle 8.1 host: a fresh Wine prefix under build/demo,
# the host set up in it, kantrix.exe started in backup mode, and a screenshot of its window.
set -euo pipefail
KX_ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${1:-build/cross}
DEMO=$KX_ROOT/build/demo
rm -rf "$DEMO"
mkdir -p "$DEMO"
export KX_WINEPREFIX=$DEMO/wine
bash "$KX_ROOT/scripts/wine-up.sh"
. "$KX_ROOT/scripts/wine-env.sh"

# The simulated host: Oracle home C:\ORACLE\ORA81, instance ORCL open with committed rows,
# copies directory C:\BACKUP.
export KX_SIM_BIN=$KX_ROOT/$BUILD/sim/bin
bash "$KX_ROOT/scripts/sim-host.sh" "$WINEPREFIX" 8.1 --copies 'C:\BACKUP' --sid ORCL --password manager --rows 20

# The operator's folder with kantrix.ini and the program.
work=$WINEPREFIX/drive_c/KANTRIX
mkdir -p "$work"
cp "$KX_ROOT/$BUILD/src/kantrix.exe" "$work/"
printf '%s\r\n' "LANG = E" "SERVER_SID = ORCL" "ORACLE_VERSION = 8.1.7" "COPIES_DIR = C:\\BACKUP" \
  "SERVER_NAME = ORCL" "USER_NAME = sys" "USER_PASS = manager" "TIME_PERIOD = 1" \
  "TIME_BACKUP = 23:30" "COPIES_NUMBER = 4" > "$work/kantrix.ini"

# Wine's own desktop window draws the frame and caption of the program's window.
(cd "$work" && wine explorer /desktop=kantrix,1024x768 'C:\KANTRIX\kantrix.exe' >/dev/null 2>&1 &)
shot=$DEMO/kantrix.png
for _ in $(seq 60); do
  sleep 1
  if ls "$work"/ou*.log >/dev/null 2>&1 && grep -q "Oracle SID" "$work"/ou*.log; then break; fi
done
sleep 2
import -display "$DISPLAY" -window root "$shot"
echo "work log:"
cat "$work"/ou*.log | tr -d '\r' | iconv -f CP1251 -t UTF-8
echo "screenshot: $shot"
wineserver -k || true
