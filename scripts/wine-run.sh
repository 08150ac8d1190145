#!/usr/bin/env bash
# Runs a Windows program of a build tree under Wine, alone: a Wine prefix (so a wineserver, a cursor and an
# input state) and an X server of its own, so programs started together cannot move each other's cursor.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
#   VOZUV_WINE_DESKTOP=1   the program runs inside a Wine virtual desktop (no window manager needed)
#   WINEPREFIX=...         use that prefix as it is instead of a private one
#   VOZUV_WINE_DISPLAY=1   use $DISPLAY instead of a private Xvfb (to watch the windows)
set -u
exe="$1"; shift

tree=$(dirname "$(readlink -f "$exe")")
while [ "$tree" != "/" ] && [ ! -f "$tree/CMakeCache.txt" ]; do tree=$(dirname "$tree"); done
[ "$tree" = "/" ] && tree=$(dirname "$(readlink -f "$exe")")

export WINEDEBUG=-all
# No Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
desktop="${VOZUV_WINE_DESKTOP:-0}"

# prepare_prefix DIR: wineboot once, even when several programs start together.
prepare_prefix() {
  mkdir -p "$1"
  (
    flock 9
    if [ ! -f "$1/system.reg" ]; then
      WINEPREFIX="$1" wineboot -i >/dev/null 2>&1
      WINEPREFIX="$1" wineserver -w
    fi
  ) 9>"$1.lock"
}

# A virtual desktop for every program of the prefix. Set in the registry files before any wineserver reads
# them: the per-program setting (AppDefaults) is not honoured by 64-bit programs.
add_desktop() {
  cat >>"$1/user.reg" <<'EOF'

[Software\\Wine\\Explorer] 1700000000
"Desktop"="Default"

[Software\\Wine\\Explorer\\Desktops] 1700000000
"Default"="1920x1200"
EOF
}

cleanup() {
  if [ -n "${private_prefix:-}" ]; then WINEPREFIX="$private_prefix" wineserver -k >/dev/null 2>&1; fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

if [ -z "${WINEPREFIX:-}" ]; then
  # The tree's prefix is booted once; each program runs in a linked copy of it (slot N when N-1 is busy).
  # The copy shares the prefix's files by hard links: Wine replaces its registry files by renaming, and
  # those are copied for real anyway.
  template="$tree/wineprefix"
  prepare_prefix "$template"
  copies="$tree/wineprefixes"
  mkdir -p "$copies"
  name=$(basename "$exe" .exe)
  for slot in $(seq 0 63); do
    private_prefix="$copies/$name-d$desktop-$slot"
    exec 8>"$private_prefix.lock"
    flock -n 8 && break
    exec 8>&-
  done
  if [ ! -f "$private_prefix/system.reg" ]; then
    rm -rf "$private_prefix" "$private_prefix.new"
    (
      flock 9
      cp -al "$template" "$private_prefix.new" &&
        rm -f "$private_prefix.new/wineserver" &&
        for reg in "$template"/*.reg; do cp --remove-destination "$reg" "$private_prefix.new/"; done
    ) 9>"$template.lock" || { echo "wine-run.sh: cannot copy the Wine prefix $template" >&2; exit 1; }
    [ "$desktop" = "1" ] && add_desktop "$private_prefix.new"
    mv "$private_prefix.new" "$private_prefix"
  fi
  export WINEPREFIX="$private_prefix"
else
  prepare_prefix "$WINEPREFIX"
fi

# The program's own X server: the tree's vozuv-xvfb, the one way Xvfb is started here.
if [ "${VOZUV_WINE_DISPLAY:-0}" = "1" ] && [ -n "${DISPLAY:-}" ]; then
  wine "$exe" "$@"
else
  [ -x "$tree/vozuv-xvfb" ] || { echo "wine-run.sh: $tree/vozuv-xvfb is missing: build the tree first" >&2; exit 1; }
  # The prefix's processes are stopped while their display still exists.
  export VOZUV_STOP_PREFIX="${private_prefix:-}"
  "$tree/vozuv-xvfb" sh -c 'wine "$@"; status=$?
    [ -n "$VOZUV_STOP_PREFIX" ] && wineserver -k >/dev/null 2>&1
    exit $status' wine-run "$exe" "$@"
fi
