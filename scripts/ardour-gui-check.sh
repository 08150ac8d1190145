#!/usr/bin/env bash
# Opens the LV2 plug-in's own editor in Ardour 7 with its GUI, on a private Xvfb and JACK dummy server: a
# session with the plug-in on a track is made headless (ardour7-lua), Ardour opens it, the mixer strip's
# plug-in entry opens the editor, a drag turns the threshold knob, and the saved session holds the new port
# value, which the knob shows as the VST 2 editor shows it. Ardour 7 crashes now and then on its own: a
# try whose Ardour died is retried (up to 3 tries), and the summary says so.
# Usage: scripts/ardour-gui-check.sh [BUNDLE [OUT_DIR]]   (default build/native/VozuvAzirOVA.lv2, build/ardour-gui-check)
# Needs the native tree built (vozuv-render, the VST 2 library draw the reference pictures). The clicks go
# to where Ardour 7.3 puts its dialogs and mixer on a 1600 x 1000 screen without a window manager.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bundle=$(realpath "${1:-$root/build/native/VozuvAzirOVA.lv2}")
out="${2:-$root/build/ardour-gui-check}"
"$root/scripts/install-deps.sh" ardour jackd2 lilv-utils xdotool x11-utils imagemagick
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.png "$out"/*.log "$out"/summary.txt
. "$root/scripts/lv2-host-session.sh"
# No first-run wizard.
mkdir -p "$HOME/.config/ardour7"
touch "$HOME/.config/ardour7/.a7"

symbol=$(port_symbol 7)
session="$work/session"
cat >"$work/make.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
assert(create_session("$session", "session", 48000), "no session")
local track = Session:new_audio_track(2, 2, nil, 1, "Track", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
local plugin = ARDOUR.LuaAPI.new_plugin(Session, "$plugin_uri", ARDOUR.PluginType.LV2, "")
assert(not plugin:isnil(), "no plugin")
track:front():add_processor_by_index(plugin, 0, nil, true)
Session:save_state("", false, false, false, false, false)
close_session()
LUA
timeout 300 ardour7-lua "$work/make.lua" >"$out/ardour-lua.log" 2>&1 || true
check "ardour7-lua makes a session with the plug-in on a track" '[ -f "$session/session.ardour" ] && grep -q "$plugin_uri" "$session/session.ardour"'
[ -f "$session/session.ardour" ] || { say "$passes passed, $failures failed"; exit 1; }

port_value() { grep -o "<Port symbol=\"$symbol\" value=\"[^\"]*\"" "$session/session.ardour" | sed 's/.*value="//; s/"$//'; }
viewable() { xwininfo -id "$1" 2>/dev/null | grep -q "IsViewable"; }
# click WINDOW X Y: a click at a point of a window.
click() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "wx=" $4} /Absolute upper-left Y/ {print "wy=" $4}')"
  xdotool mousemove $((wx + $2)) $((wy + $3)) click "${4:-1}"
}
# unnamed_dialog SIZE: an Ardour message box of that size (the engine-changed notice has no title).
unnamed_dialog() { xwininfo -root -tree | awk -v s=" $1+" '/has no name.*ardour-7/ && index($0, s) {print $1; exit}'; }

ardour_pid=""
# open_editor: Ardour on the session, connected to the JACK server, the mixer shown, the plug-in's editor
# opened from its entry in the track's strip: editor is set to its window. Fails when Ardour died.
open_editor() {
  ardour -n -a "$session/session.ardour" >>"$out/ardour.log" 2>&1 &
  ardour_pid=$!
  pids+=("$ardour_pid")
  local deadline=$(($(date +%s) + 240)) main="" setup
  while [ -z "$main" ]; do
    kill -0 "$ardour_pid" 2>/dev/null || return 1
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 1
    main=$(window_named 'session - Ardour$')
    local notice; notice=$(unnamed_dialog 451x129)
    [ -n "$notice" ] && viewable "$notice" && click "$notice" 396 103
    notice=$(unnamed_dialog 444x192)  # the locked-memory warning
    [ -n "$notice" ] && viewable "$notice" && click "$notice" 389 166
    setup=$(window_named '^Audio/MIDI Setup$')
    if [ -n "$setup" ] && viewable "$setup"; then
      if xwininfo -id "$setup" | grep -q "Width: 558"; then
        click "$setup" 285 49; sleep 1; click "$setup" 238 71  # Audio System: JACK
      else
        click "$setup" 565 350                                 # Connect to JACK
      fi
      sleep 2
    fi
  done
  sleep 3
  click "$main" 1326 71            # Mix
  sleep 3
  click "$main" 336 206            # the plug-in's entry in the track's strip
  xdotool click --repeat 2 --delay 80 1
  local frame=""
  wait_for 30 sh -c '[ -n "$(xdotool search --name "^Track: VozuvAzirOVA" 2>/dev/null)" ]' || return 1
  frame=$(window_named '^Track: VozuvAzirOVA')
  wait_for 30 sh -c "xwininfo -tree -id $frame | grep -q ' 762x104+'" || return 1
  import -window root "$out/ardour.png" 2>/dev/null || true
  editor=$(editor_in "$frame")
}

editor=""
for try in 1 2 3; do
  if open_editor && [ -n "$editor" ]; then break; fi
  if kill -0 "$ardour_pid" 2>/dev/null; then
    import -window root "$out/ardour-try$try.png" 2>/dev/null || true
    say "  try $try: no editor within the time (see ardour-try$try.png); trying again"
  else
    say "  try $try: Ardour died by itself (see ardour.log); trying again"
  fi
  kill "$ardour_pid" 2>/dev/null || true
  wait "$ardour_pid" 2>/dev/null || true
  editor=""
done
check "Ardour opens the plug-in's own editor (try $try)" '[ -n "$editor" ]'
[ -n "$editor" ] || { say "$passes passed, $failures failed"; exit 1; }

before=$(port_value)
drag_threshold "$editor"
sleep 1
main=$(window_named 'session - Ardour$')
xdotool windowfocus --sync "$main" key ctrl+s
wait_for 20 sh -c "[ \"\$(grep -o '<Port symbol=\"$symbol\" value=\"[^\"]*\"' '$session/session.ardour')\" != '<Port symbol=\"$symbol\" value=\"$before\"' ]" || true
after=$(port_value)
cp "$session/session.ardour" "$out/session.ardour"
say "threshold port in Ardour's session: before the drag ${before:-none}, after ${after:-none}"
check "the drag changed the port Ardour keeps" \
  'awk -v a="$before" -v b="$after" "BEGIN {exit !(a != \"\" && b != \"\" && a + 0 != b + 0 && b + 0 >= -60 && b + 0 <= 0)}"'
shown=$(knob_difference "$editor" "$(normalized_threshold "${after:-0}")" dragged)
check "the knob shows that value as the VST 2 editor shows it ($shown pixels differ)" '[ "$shown" = 0 ]'
check "Ardour is still running" 'kill -0 "$ardour_pid" 2>/dev/null'

say "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
