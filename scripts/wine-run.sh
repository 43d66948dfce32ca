#!/usr/bin/env bash
# Runs a Windows program under the project's Wine prefix (created by scripts/wine-env.sh).
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine-env.sh"
exec wine "$@"
