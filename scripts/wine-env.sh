# Sourced: the environment of the project's Wine prefix and display. Never touches ~/.wine.
KX_ROOT=${KX_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${KX_WINEPREFIX:-$KX_ROOT/build/wine}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
if [ -z "${KX_KEEP_DISPLAY:-}" ] && [ -f "$KX_ROOT/build/xvfb.display" ]; then
  export DISPLAY=$(cat "$KX_ROOT/build/xvfb.display")
fi
