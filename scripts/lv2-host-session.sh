# Sourced by the LV2 host checks (jalv-check.sh, ardour-gui-check.sh): a private Xvfb and JACK dummy server,
# the bundle where hosts look (LV2_PATH), the checks' tally, and the editor's threshold knob driven and
# compared with vozuv-render's picture of the VST 2 editor. Expects root, out and bundle to be set.
. "$root/scripts/host-check.sh"

plugin_uri="urn:brovane:vozuvazirova"
render="$root/build/native/vozuv-render"
vst_library="$root/build/native/VozuvAzirOVA.so"
[ -x "$render" ] && [ -f "$vst_library" ] || { echo "build the native tree first (scripts/build.sh native)" >&2; exit 2; }

# Nothing here touches another session's display, JACK server, settings or plug-in folders.
export HOME="$work/home" JACK_DEFAULT_SERVER="vozuv-lv2-$$" JACK_NO_AUDIO_RESERVATION=1 XDG_CONFIG_HOME="$work/home/.config"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$work/lv2"
cp -rL "$bundle" "$work/lv2/"
export LV2_PATH="$work/lv2"
start_display_and_jack
say "bundle: $bundle"

# port_symbol INDEX: the symbol the description gives the port.
# (Producers may lose their reader early: with pipefail that must not end the script.)
port_symbol() { { lv2info "$plugin_uri" 2>/dev/null || true; } | awk -v p="Port $1:" '$0 ~ p"$" {f = 1} f && /Symbol:/ {print $2; exit}'; }
# editor_in WINDOW: the editor's own window (762 x 104 at 100 %) somewhere inside a host window.
editor_in() { xwininfo -tree -id "$1" 2>/dev/null | awk '/ 762x104\+/ {id = $1} END {if (id) print id}'; }
# window_named NAME: the first window of that name.
window_named() { { xdotool search --name "$1" 2>/dev/null || true; } | head -n 1; }

# knob_difference EDITOR_WINDOW CompThreshold_0..1 NAME: pixels of the threshold knob and its read-out
# that differ from the VST 2 editor's picture at that value (vozuv-render draws it).
knob_difference() {
  local png="$out/$3.png" ref="$work/$3-vst.png"
  import -window "$1" "$png" 2>/dev/null || { echo 99999; return; }
  [ -f "$work/silence.wav" ] || sox -n -r 48000 -c 2 -b 16 "$work/silence.wav" trim 0 0.1
  "$render" --plugin "$vst_library" --set "CompThreshold=$2" --editor-screenshot "$ref" "$work/silence.wav" \
    "$work/out.wav" >/dev/null 2>&1 || { echo 99999; return; }
  # The knob (423, 39; 42 x 37) and its read-out below (418, 83; 50 x 9: its last column is under the next).
  convert "$png" -crop 50x54+418+39 +repage "$work/a.png"
  convert "$ref" -crop 50x54+418+39 +repage "$work/b.png"
  compare -metric AE "$work/a.png" "$work/b.png" null: 2>&1 || true
}
# drag_threshold EDITOR_WINDOW: presses right of the threshold knob and turns it over its top to the left.
drag_threshold() {
  eval "$(xwininfo -id "$1" | awk '/Absolute upper-left X/ {print "ex=" $4} /Absolute upper-left Y/ {print "ey=" $4}')"
  xdotool mousemove $((ex + 459)) $((ey + 58)) mousedown 1
  sleep 0.3; xdotool mousemove $((ex + 444)) $((ey + 43))
  sleep 0.3; xdotool mousemove $((ex + 429)) $((ey + 53))
  sleep 0.3; xdotool mouseup 1
}
# normalized_threshold DB: the 0..1 value of a threshold in dB (-60 .. 0).
normalized_threshold() { awk -v d="$1" 'BEGIN {printf "%.9g", d / 60 + 1}'; }
