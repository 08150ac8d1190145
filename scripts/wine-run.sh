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
# It is chosen per program in the prefix's registry (AppDefaults), not with "explorer /desktop",
# which would swallow the program's exit code. A stamp file remembers the setting.
name=$(basename "$exe")
stamp="$WINEPREFIX/vozuv-desktop-$name"
key="HKCU\\Software\\Wine\\AppDefaults\\$name\\Explorer"
(
  flock 9
  if [ "${VOZUV_WINE_DESKTOP:-0}" = "1" ] && [ ! -f "$stamp" ]; then
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v vozuv /d 1024x768 /f >/dev/null 2>&1
    wine reg add "$key" /v Desktop /d vozuv /f >/dev/null 2>&1 && touch "$stamp"
  elif [ "${VOZUV_WINE_DESKTOP:-0}" != "1" ] && [ -f "$stamp" ]; then
    wine reg delete "$key" /v Desktop /f >/dev/null 2>&1
    rm -f "$stamp"
  fi
) 9>"$WINEPREFIX.lock"
exec wine "$exe" "$@"
