#!/usr/bin/env bash
# Loads the Linux library in MusE 4 as a user would, on a private Xvfb and a JACK server with the dummy
# backend: muse_plugin_scan reads it; a song puts it in an audio input track's effect slot with its editor
# open; a metronome click plays through it and jack_capture records the track's output with the defaults
# (transparent), after a drag on the threshold knob, and with heavy compression.
# Usage: scripts/muse-check.sh [LIBRARY.so [OUT_DIR]]   (default build/native/VozuvAzirOVA.so, build/muse-check)
# Writes the scan, the captures, screenshots and summary.txt into OUT_DIR; exits non-zero on a failed check.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
library=$(realpath "${1:-$root/build/native/VozuvAzirOVA.so}")
out="${2:-$root/build/muse-check}"
"$root/scripts/install-deps.sh" muse jackd2 jack-capture xdotool imagemagick
mkdir -p "$out"
out=$(cd "$out" && pwd)
rm -f "$out"/*.wav "$out"/*.png "$out"/*.log "$out"/summary.txt

. "$root/scripts/host-check.sh"

# A private display and JACK server: nothing here touches another session's.
export HOME="$work/home" JACK_DEFAULT_SERVER="vozuv-muse-$$" JACK_NO_AUDIO_RESERVATION=1 QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$work/vst"
cp "$library" "$work/vst/VozuvAzirOVA.so"
export VST_PATH="$work/vst" LXVST_PATH="$work/vst"
start_display_and_jack
# A 440 Hz click at -6 dBFS, 300 ms long, twice a second.
jack_metro -n click -b 120 -f 440 -A 0.5 -D 300 >"$out/metro.log" 2>&1 &
pids+=($!)
wait_for 30 sh -c 'jack_lsp | grep -q "^click:"'
click_port=$(jack_lsp | grep '^click:' | head -n 1)

say "library: $library"
: >"$work/scan.xml"
muse_plugin_scan -t 16 -p -f "$work/vst/VozuvAzirOVA.so" -o "$work/scan.xml" >"$out/scan.log" 2>&1 || true
cp "$work/scan.xml" "$out/scan.xml"
check "muse_plugin_scan reads the library (name, 2 in, 2 out, 17 controls)" \
  'grep -q "<name>VozuvAzirOVA</name>" "$out/scan.xml" && grep -q "<inports>2</inports>" "$out/scan.xml" &&
   grep -q "<outports>2</outports>" "$out/scan.xml" && grep -q "<ctlInports>17</ctlInports>" "$out/scan.xml"'

# song FILE CONTROL=VALUE...: a stereo audio input track with the plug-in in its first effect slot, its
# editor open, routed to the output track and on to the dummy playback ports.
song() {
  local file="$1"; shift
  local -A values=([Delay]=0.5 [InputGain]=0.5 [LPShelf]=1 [HPShelf]=0 [GateThreshold]=0 [GateAttack]=0.1
    [GateRelease]=0.5 [CompThreshold]=1 [CompRatio]=0.1 [CompAttack]=0.1 [CompRelease]=0.2 [CompMakeup]=0.5
    [FeedBack]=0.5 [Volume]=0.75)
  for setting in "$@"; do values[${setting%%=*}]=${setting#*=}; done
  {
    cat <<'EOF'
<?xml version="1.0"?>
<muse version="3.3">
  <song>
    <master>1</master>
    <sampleRate>48000</sampleRate>
    <len>230400</len>
    <AudioOutput>
      <name>Out 1</name>
      <channels>2</channels>
      </AudioOutput>
    <AudioInput>
      <name>Input 1</name>
      <channels>2</channels>
      <selected>1</selected>
      <plugin file="VozuvAzirOVA" label="VozuvAzirOVA" channel="2">
EOF
    for name in Delay InputGain LPShelf HPShelf GateThreshold GateAttack GateRelease CompThreshold CompRatio \
      CompAttack CompRelease CompMakeup FeedBack Volume; do
      echo "        <control name=\"$name\" val=\"${values[$name]}\" />"
    done
    cat <<'EOF'
        <nativegui>1</nativegui>
        <nativeGeometry x="0" y="0" w="0" h="0"></nativeGeometry>
        </plugin>
      </AudioInput>
    <Route channel="0"><source track="0"/><dest type="1" name="system:playback_1"/></Route>
    <Route channel="1"><source track="0"/><dest type="1" name="system:playback_2"/></Route>
    <Route><source track="1"/><dest track="0"/></Route>
    </song>
  </muse>
EOF
  } >"$file"
}

muse_pid=""
# start_muse SONG: MusE on the song; connects the click to the input track once its ports exist.
start_muse() {
  muse -j "$1" >>"$out/muse.log" 2>&1 &
  muse_pid=$!
  pids+=("$muse_pid")
  wait_for 120 sh -c 'jack_lsp | grep -q "^MusE:Input 1-1$"' || return 1
  jack_connect "$click_port" "MusE:Input 1-0"
  jack_connect "$click_port" "MusE:Input 1-1"
}
stop_muse() {
  kill "$muse_pid" 2>/dev/null || true
  wait "$muse_pid" 2>/dev/null || true
  wait_for 30 sh -c '! jack_lsp | grep -q "^MusE:"' || true
}
editor_window() { xdotool search --name 'VozuvAzirOVA' 2>/dev/null | head -n 1; }
# capture NAME: 4 s of the click (channel 1) and the track's output (channels 2, 3).
capture() {
  jack_capture -d 4 -c 3 -p "$click_port" -p "MusE:Out 1-0" -p "MusE:Out 1-1" --daemon "$out/$1.wav" \
    >>"$out/capture.log" 2>&1 || true
}
# peak_db FILE CHANNEL: the channel's peak level in dBFS.
peak_db() { sox "$1" -n remix "$2" stats 2>&1 | awk '/^Pk lev dB/ {print $4}'; }
rms_db() { sox "$1" -n remix "$2" stats 2>&1 | awk '/^RMS lev dB/ {print $4}'; }
level_report() {
  say "  $1: click peak $(peak_db "$out/$1.wav" 1) dB, rms $(rms_db "$out/$1.wav" 1) dB;" \
    "output L peak $(peak_db "$out/$1.wav" 2) dB, rms $(rms_db "$out/$1.wav" 2) dB;" \
    "R peak $(peak_db "$out/$1.wav" 3) dB, rms $(rms_db "$out/$1.wav" 3) dB"
}
# close_to A B TOLERANCE
close_to() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN {d = a - b; if (d < 0) d = -d; exit !(a != "" && b != "" && d <= t)}'; }
below() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN {exit !(a != "" && b != "" && a <= b - t)}'; }

say "--- defaults"
song "$work/defaults.med"
start_muse "$work/defaults.med" || check "MusE creates the input track" false
check "MusE opens the editor" 'wait_for 60 sh -c "[ -n \"\$(xdotool search --name VozuvAzirOVA 2>/dev/null)\" ]"'
window=$(editor_window)
[ -n "$window" ] && say "  editor window: $(xdotool getwindowname "$window"), $(xdotool getwindowgeometry "$window" | tr '\n' ' ')"
import -window root "$out/editor-defaults.png" 2>/dev/null || true
capture defaults
level_report defaults
check "defaults are transparent (output within 0.1 dB of the click)" \
  'close_to "$(peak_db "$out/defaults.wav" 2)" "$(peak_db "$out/defaults.wav" 1)" 0.1 &&
   close_to "$(rms_db "$out/defaults.wav" 3)" "$(rms_db "$out/defaults.wav" 1)" 0.1'

say "--- threshold knob dragged down"
if [ -n "$window" ]; then
  eval "$(xdotool getwindowgeometry --shell "$window")"
  # The threshold knob's centre in the panel is (444, 57); a drag down lowers it.
  xdotool mousemove $((X + 444)) $((Y + 57)) mousedown 1
  for step in $(seq 1 20); do xdotool mousemove $((X + 444)) $((Y + 57 + step * 6)); done
  xdotool mouseup 1
  import -window root "$out/editor-knob.png" 2>/dev/null || true
fi
capture knob
level_report knob
check "the dragged threshold compresses the click by 3 dB or more" \
  'below "$(rms_db "$out/knob.wav" 2)" "$(rms_db "$out/knob.wav" 1)" 3'
stop_muse

say "--- heavy compression (threshold -40 dB, ratio 10.6:1, fastest attack)"
song "$work/heavy.med" CompThreshold=0.333 CompRatio=0.33 CompAttack=0
start_muse "$work/heavy.med" || check "MusE creates the input track" false
wait_for 60 sh -c '[ -n "$(xdotool search --name VozuvAzirOVA 2>/dev/null)" ]' || true
import -window root "$out/editor-heavy.png" 2>/dev/null || true
capture heavy
level_report heavy
check "heavy compression lowers the click by 20 dB or more" \
  'below "$(rms_db "$out/heavy.wav" 2)" "$(rms_db "$out/heavy.wav" 1)" 20'
stop_muse
check "MusE reported no crash" '! grep -qiE "segmentation|core dumped|terminate called" "$out/muse.log"'

say "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
