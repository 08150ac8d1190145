#!/usr/bin/env bash
# Runs a Windows program of a build tree under Wine: the tree's own prefix, no debug output,
# an X display (Xvfb when none is set). Usage: wine-run.sh PROGRAM.exe [ARGS...]
set -u
exe="$1"; shift

if [ -z "${WINEPREFIX:-}" ]; then
  dir=$(dirname "$(readlink -f "$exe")")
  while [ "$dir" != "/" ] && [ ! -f "$dir/CMakeCache.txt" ]; do dir=$(dirname "$dir"); done
  [ "$dir" = "/" ] && dir=$(dirname "$(readlink -f "$exe")")
  export WINEPREFIX="$dir/wineprefix"
fi
export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$exe" "$@"
fi

# Initialise the prefix once, even when several tests start together.
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
) 9>"$WINEPREFIX.lock"

# VOZUV_WINE_DESKTOP=1 runs the program inside a Wine virtual desktop (no window manager needed).
if [ "${VOZUV_WINE_DESKTOP:-0}" = "1" ]; then
  exec wine explorer "/desktop=vozuv$$,1024x768" "$exe" "$@"
fi
exec wine "$exe" "$@"
