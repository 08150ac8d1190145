#!/usr/bin/env bash
# Runs the LV2 bundle in jalv.gtk3 on a private Xvfb and JACK dummy server: the plug-in's own editor shows
# embedded in jalv's window; a threshold given at start (-c SYMBOL=-30) shows on the knob as the VST 2
# editor shows it; a drag on the knob changes the port, as jalv's saved state tells.
# Usage: scripts/jalv-check.sh [BUNDLE [OUT_DIR]]   (default build/native/VozuvAzirOVA.lv2, build/jalv-check)
# Needs the native tree built (vozuv-render, the VST 2 library draw the reference pictures).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bundle=$(realpath "${1:-$root/build/native/VozuvAzirOVA.lv2}")
out="${2:-$root/build/jalv-check}"
"$root/scripts/install-deps.sh" jalv lilv-utils jackd2 xdotool x11-utils imagemagick
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.png "$out"/*.log "$out"/summary.txt
. "$root/scripts/lv2-host-session.sh"

symbol=$(port_symbol 7)
say "threshold port: ${symbol:-none}"
jalv.gtk3 -c "$symbol=-30" "$plugin_uri" >"$out/jalv.log" 2>&1 &
pids+=($!)
frame=""
wait_for 60 sh -c '[ -n "$(xdotool search --name "^VozuvAzirOVA$" 2>/dev/null)" ]' && frame=$(window_named '^VozuvAzirOVA$')
editor=""
[ -n "$frame" ] && wait_for 30 sh -c "xwininfo -tree -id $frame | grep -q ' 762x104+'" && editor=$(editor_in "$frame")
import -window root "$out/jalv.png" 2>/dev/null || true
check "jalv shows the plug-in's editor embedded in its window" '[ -n "$editor" ] && grep -q "^UI: *$plugin_uri#ui" "$out/jalv.log"'
[ -n "$editor" ] || { say "$passes passed, $failures failed"; exit 1; }

# The first pictures may come before jalv has sent the value.
for attempt in $(seq 1 20); do
  at_start=$(knob_difference "$editor" 0.5 start)
  [ "$at_start" = 0 ] && break
  sleep 0.5
done
check "-c $symbol=-30 shows on the knob and read-out as the VST 2 editor shows 0.5 ($at_start pixels differ)" '[ "$at_start" = 0 ]'

drag_threshold "$editor"
# Save State (Ctrl+S): a path typed into the name; the first Return may only close the completion.
xdotool windowfocus --sync "$frame" key ctrl+s
wait_for 20 sh -c '[ -n "$(xdotool search --name "^Save State$" 2>/dev/null)" ]' || true
dialog=$(window_named '^Save State$')
if [ -n "$dialog" ]; then
  xdotool windowfocus --sync "$dialog" type --delay 20 "$work/state"
  for attempt in 1 2 3 4 5; do
    [ -f "$work/state/state.ttl" ] && break
    xdotool key Return
    wait_for 3 test -f "$work/state/state.ttl" || true
  done
fi
cp "$work/state/state.ttl" "$out/state.ttl" 2>/dev/null || true
saved=$(awk -v s="\"$symbol\"" '$0 ~ "lv2:symbol " s {f = 1; next} f && /pset:value/ {print $2; exit}' "$out/state.ttl" 2>/dev/null || true)
say "threshold in jalv's saved state after the drag: ${saved:-none} dB"
check "the drag changed the port (saved value in -60..0 dB, not -30)" \
  'awk -v v="$saved" "BEGIN {exit !(v != \"\" && v + 0 >= -60 && v + 0 <= 0 && v + 0 != -30)}"'
after_drag=$(knob_difference "$editor" "$(normalized_threshold "${saved:-0}")" dragged)
check "the knob shows the saved value as the VST 2 editor shows it ($after_drag pixels differ)" '[ "$after_drag" = 0 ]'
check "jalv reported no crash" '! grep -qiE "segmentation|core dumped|terminate called" "$out/jalv.log"'

say "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
