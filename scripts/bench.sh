#!/usr/bin/env bash
# Speed figures in one run: processReplacing per stereo frame (heavy compression on noise) in the native
# library and in both DLLs under Wine, and vozuv-render of a 10-minute stereo float WAV through the native
# library and the 32-bit DLL (heavy compression and program 1) against a plain `sox in.wav out.wav` copy,
# the DLL with a wineserver running (the bench keeps one for the prefix) and without one. Every figure is
# also given as a ratio to the native figure or the copy of the same run: absolute times on a shared
# machine drift.
# Usage: scripts/bench.sh [ROUNDS]   (default 3; build trees in build/, set VOZUV_BUILD_ROOT to move them)
# Also: under automation, the median cost of a 64-frame block right after a set of each of the 14 parameters
# against a plain block, in all three binaries (goal: at most 4 times the plain block).
# Also: the LV2 DSP library's run against the native library's processReplacing in one process (blocks 32,
# 512, 4096; goal: within 5 %), and a 64-frame block right after one control port changed against a plain
# block (goal: at most 4 times).
# Also: the cost of creating an instance as a host's scan does (main, effOpen, effClose), in all three
# binaries, without a display and on a private Xvfb with no other client (goal: at most 50 us each).
# VOZUV_BENCH_RENDER_ONLY=1 skips the per-frame, automation, LV2 and creation parts, VOZUV_BENCH_FRAMES_ONLY=1 the renders,
# VOZUV_BENCH_AUTOMATION_ONLY=1 runs the automation part alone, VOZUV_BENCH_LV2_ONLY=1 the LV2 part alone,
# VOZUV_BENCH_CREATE_ONLY=1 the creation part alone.
# VOZUV_BENCH_SETTINGS="HPShelf=0.3 LPShelf=0.2" times processReplacing with those parameters set as well.
# VOZUV_BENCH_BEFORE=DIR adds the renders of an earlier vozuv-render (DIR/vozuv-render, DIR/VozuvAzirOVA.so,
# DIR/win32/VozuvAzirOVA.dll next to its vozuv-winhost.exe) to the comparison, and the automation costs of
# DIR/VozuvAzirOVA.so, DIR/win32/VozuvAzirOVA.dll and DIR/win64/VozuvAzirOVA.dll (timed by this tree's timers),
# and the creation costs of the same three.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds="${VOZUV_BUILD_ROOT:-$root/build}"
rounds="${1:-3}"
cd "$root"
bash scripts/install-deps.sh || { echo "installing the dependencies failed" >&2; exit 1; }

echo "=== building ===" >&2
# The renders need neither the timers nor the 64-bit tree.
timer=vozuv-plugin-timer winhost=vozuv-winhost render=vozuv-render
[ "${VOZUV_BENCH_RENDER_ONLY:-0}" = 1 ] && timer=""
[ "${VOZUV_BENCH_AUTOMATION_ONLY:-0}" = 1 ] && winhost="" render=""
[ "${VOZUV_BENCH_CREATE_ONLY:-0}" = 1 ] && winhost="" render=""
if [ "${VOZUV_BENCH_LV2_ONLY:-0}" != 1 ]; then
  VOZUV_TARGETS="VozuvAzirOVA $winhost $timer" scripts/build.sh win32 "$builds/win32" >/dev/null
  [ -z "$timer" ] || VOZUV_TARGETS="VozuvAzirOVA $winhost $timer" scripts/build.sh win64 "$builds/win64" >/dev/null
fi
VOZUV_TARGETS="VozuvAzirOVA $timer $render" scripts/build.sh native "$builds/native" \
  -DVOZUV_WIN32_DIR="$builds/win32" -DVOZUV_WIN64_DIR="$builds/win64" >/dev/null

work="$builds/bench"
mkdir -p "$work"
median() { sort -g | awk '{v[NR]=$1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

if [ "${VOZUV_BENCH_RENDER_ONLY:-0}" != 1 ] && [ "${VOZUV_BENCH_CREATE_ONLY:-0}" != 1 ]; then
  echo "=== LV2 run against processReplacing ($rounds rounds) ===" >&2
  VOZUV_TARGETS="vozuv-lv2-timer" scripts/build.sh native "$builds/native" >/dev/null
  : >"$work/lv2.txt"
  for r in $(seq "$rounds"); do
    "$builds/native/vozuv-lv2-timer" "$builds/native/VozuvAzirOVA.so" \
      "$builds/native/VozuvAzirOVA.lv2/VozuvAzirOVA_dsp.so" >>"$work/lv2.txt"
  done
  echo
  echo "LV2 run (with the host's four audio connect_port calls) against the native library's processReplacing," \
    "heavy compression on noise: best ns per stereo frame, median of $rounds rounds"
  printf "%-10s %10s %10s %8s\n" block "VST 2" LV2 ratio
  for block in 32 512 4096; do
    vst=$(awk -v k="$block" '$1 == "block" && $2 == k {print $4}' "$work/lv2.txt" | median)
    lv2=$(awk -v k="$block" '$1 == "block" && $2 == k {print $6}' "$work/lv2.txt" | median)
    ratio=$(awk -v k="$block" '$1 == "block" && $2 == k {print $8}' "$work/lv2.txt" | median)
    printf "%-10s %10.3f %10.3f %8.3f\n" "$block" "$vst" "$lv2" "$ratio"
  done
  echo
  echo "LV2 64-frame blocks right after one control port changed: median ns per block and ratio to a plain block"
  for index in -1 $(seq 0 13); do
    name=$(awk -v k="$index" '$1 == "port" && $2 == k {print $3; exit}' "$work/lv2.txt")
    ns=$(awk -v k="$index" '$1 == "port" && $2 == k {print $5}' "$work/lv2.txt" | median)
    ratio=$(awk -v k="$index" '$1 == "port" && $2 == k {print $7}' "$work/lv2.txt" | median)
    printf "%-14s %10.0f ns %5.2fx\n" "$name" "$ns" "$ratio"
  done
fi
[ "${VOZUV_BENCH_LV2_ONLY:-0}" = 1 ] && exit 0

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winpath() { echo "Z:$1" | tr / '\\'; }
# Console programs only: no display needed. One prefix per tree, created on first use.
wine_in() {
  local tree="$1"; shift
  WINEPREFIX="$builds/$tree/wineprefix" wine "$@"
}
for tree in win32 $([ "${VOZUV_BENCH_RENDER_ONLY:-0}" = 1 ] || echo win64); do
  [ -f "$builds/$tree/wineprefix/system.reg" ] || WINEPREFIX="$builds/$tree/wineprefix" wineboot -i >/dev/null 2>&1
done

# The three binaries (and the earlier ones to compare with) that the creation and automation parts time.
binaries=(native win32 win64)
declare -A plugins=([native]="$builds/native/VozuvAzirOVA.so" [win32]="$builds/win32/VozuvAzirOVA.dll"
                    [win64]="$builds/win64/VozuvAzirOVA.dll")
if [ -n "${VOZUV_BENCH_BEFORE:-}" ]; then
  binaries+=(before-native before-win32 before-win64)
  plugins+=([before-native]="$VOZUV_BENCH_BEFORE/VozuvAzirOVA.so" [before-win32]="$VOZUV_BENCH_BEFORE/win32/VozuvAzirOVA.dll"
            [before-win64]="$VOZUV_BENCH_BEFORE/win64/VozuvAzirOVA.dll")
fi

if [ "${VOZUV_BENCH_RENDER_ONLY:-0}" != 1 ]; then
  echo "=== creation: main, effOpen, effClose per instance ($rounds rounds) ===" >&2
  : >"$work/create.txt"
  # create BINARY: one line "create us_per_instance BEST median MEDIAN" for it on the current DISPLAY.
  create() {
    local plugin="${plugins[$1]}" repeats=10
    # A server with no other client resets at each close of a connection: slow enough that one round
    # of 100 tells it, should a binary still connect.
    [ -n "${DISPLAY:-}" ] && [[ "$1" == before* ]] && repeats=1
    case "$1" in
      *native) "$builds/native/vozuv-plugin-timer" "$plugin" --create --repeats "$repeats" ;;
      *win32) wine_in win32 "$builds/win32/vozuv-plugin-timer.exe" "$(winpath "$plugin")" --create --repeats "$repeats" | tr -d '\r' ;;
      *win64) wine_in win64 "$builds/win64/vozuv-plugin-timer.exe" "$(winpath "$plugin")" --create --repeats "$repeats" | tr -d '\r' ;;
    esac
  }
  # A server as headless scanners and CI have it: no other client, and reset whenever the last one leaves.
  Xvfb -displayfd 3 -nolisten tcp 3>"$work/xvfb.display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do [ -s "$work/xvfb.display" ] && break; sleep 0.1; done
  xdisplay=$(head -n 1 "$work/xvfb.display")
  for r in $(seq "$rounds"); do
    for bin in "${binaries[@]}"; do
      (unset DISPLAY; create "$bin") | sed "s/^/$bin none /" >>"$work/create.txt"
      DISPLAY=":$xdisplay" create "$bin" | sed "s/^/$bin xvfb /" >>"$work/create.txt"
    done
  done
  kill "$xvfb"
  echo
  echo "Creating an instance (main, effOpen, effClose): microseconds per instance, best round of 100 instances" \
    "(median of $rounds runs; goal at most 50)"
  printf "%-16s %18s %18s\n" binary "no display" "private Xvfb"
  for bin in "${binaries[@]}"; do
    printf "%-16s" "$bin"
    for where in none xvfb; do
      us=$(awk -v b="$bin" -v w="$where" '$1 == b && $2 == w {print $5}' "$work/create.txt" | median)
      printf " %15.1f us" "$us"
    done
    echo
  done
fi
[ "${VOZUV_BENCH_CREATE_ONLY:-0}" = 1 ] && exit 0

if [ "${VOZUV_BENCH_RENDER_ONLY:-0}" != 1 ]; then
  echo "=== automation: 64-frame blocks after a set of each parameter ($rounds rounds) ===" >&2
  : >"$work/automation.txt"
  for r in $(seq "$rounds"); do
    for bin in "${binaries[@]}"; do
      plugin="${plugins[$bin]}"
      case "$bin" in
        *native) "$builds/native/vozuv-plugin-timer" "$plugin" --automation ;;
        *win32) wine_in win32 "$builds/win32/vozuv-plugin-timer.exe" "$(winpath "$plugin")" --automation | tr -d '\r' ;;
        *win64) wine_in win64 "$builds/win64/vozuv-plugin-timer.exe" "$(winpath "$plugin")" --automation | tr -d '\r' ;;
      esac | sed "s/^/$bin /" >>"$work/automation.txt"
    done
  done
  echo
  echo "64-frame blocks at 48 kHz under heavy compression, right after a set of one parameter: median ns per block" \
    "and its ratio to a block without a set (median of $rounds rounds)"
  printf "%-14s" parameter
  for bin in "${binaries[@]}"; do printf " %20s" "$bin"; done
  echo
  for index in -1 $(seq 0 13) 99; do
    name=$(awk -v k="$index" '$3 == k {print $4; exit}' "$work/automation.txt")
    printf "%-14s" "$name"
    for bin in "${binaries[@]}"; do
      ns=$(awk -v b="$bin" -v k="$index" '$1 == b && $3 == k {print $6}' "$work/automation.txt" | median)
      ratio=$(awk -v b="$bin" -v k="$index" '$1 == b && $3 == k {print $8}' "$work/automation.txt" | median)
      printf " %10.0f ns %5.2fx" "$ns" "$ratio"
    done
    echo
  done
fi
[ "${VOZUV_BENCH_AUTOMATION_ONLY:-0}" = 1 ] && exit 0

timer_sets=()
for setting in ${VOZUV_BENCH_SETTINGS:-}; do timer_sets+=(--set "$setting"); done

if [ "${VOZUV_BENCH_RENDER_ONLY:-0}" != 1 ]; then
  echo "=== processReplacing, ns per stereo frame ($rounds rounds, binaries alternating) ===" >&2
  : >"$work/frames.txt"
  for r in $(seq "$rounds"); do
    "$builds/native/vozuv-plugin-timer" "$builds/native/VozuvAzirOVA.so" "${timer_sets[@]}" \
      | sed 's/^/native /' >>"$work/frames.txt"
    wine_in win32 "$builds/win32/vozuv-plugin-timer.exe" "$(winpath "$builds/win32/VozuvAzirOVA.dll")" \
      "${timer_sets[@]}" | tr -d '\r' | sed 's/^/win32 /' >>"$work/frames.txt"
    wine_in win64 "$builds/win64/vozuv-plugin-timer.exe" "$(winpath "$builds/win64/VozuvAzirOVA.dll")" \
      "${timer_sets[@]}" | tr -d '\r' | sed 's/^/win64 /' >>"$work/frames.txt"
  done
  echo
  echo "processReplacing, heavy compression on noise${VOZUV_BENCH_SETTINGS:+, $VOZUV_BENCH_SETTINGS}: ns per stereo frame" \
    "(best of 200 short runs, median of $rounds rounds)"
  printf "%-8s %10s %10s %10s   %s\n" binary "block 32" "block 512" "block 4096" "ratio to native (32, 512, 4096)"
  for bin in native win32 win64; do
    line="" ratios=""
    for block in 32 512 4096; do
      v=$(awk -v b="$bin" -v k="$block" '$1 == b && $2 == "block" && $3 == k {print $5}' "$work/frames.txt" | median)
      n=$(awk -v k="$block" '$1 == "native" && $2 == "block" && $3 == k {print $5}' "$work/frames.txt" | median)
      line+=$(printf "%10.2f " "$v")
      ratios+=$(awk -v a="$v" -v b="$n" 'BEGIN {printf "%.2f ", a / b}')
    done
    printf "%-8s %s  %s\n" "$bin" "$line" "$ratios"
  done
  for bin in native win32 win64; do
    awk -v b="$bin" '$1 == b && $2 == "floor" {ns[NR] = $4; cy[NR] = $8} END {
      n = 0; for (k in ns) { n++; s = ns[k]; c = cy[k] }
      printf "%-8s level-update floor: %.2f ns (%.1f cycles) per frame\n", b, s, c }' "$work/frames.txt"
  done
fi

if [ "${VOZUV_BENCH_FRAMES_ONLY:-0}" != 1 ]; then
  input="$work/noise-10min.wav"
  [ -f "$input" ] || sox -n -r 44100 -c 2 -e floating-point -b 32 "$input" synth 600 whitenoise vol 0.5
  heavy="--set CompThreshold=0 --set CompRatio=1"
  program1="--program 1"
  export WINEPREFIX="$builds/win32/wineprefix"
  render="$builds/native/vozuv-render"
  commands=("sox $input $work/copy.wav"
            "$render $heavy --plugin $builds/native/VozuvAzirOVA.so $input $work/native.wav"
            "$render $program1 --plugin $builds/native/VozuvAzirOVA.so $input $work/native-p1.wav"
            "$render $heavy --plugin $builds/win32/VozuvAzirOVA.dll $input $work/win32.wav"
            "$render $program1 --plugin $builds/win32/VozuvAzirOVA.dll $input $work/win32-p1.wav")
  names=("sox copy" "native .so, heavy" "native .so, program 1" "32-bit DLL, heavy" "32-bit DLL, program 1")
  if [ -n "${VOZUV_BENCH_BEFORE:-}" ]; then
    b="$VOZUV_BENCH_BEFORE"
    commands+=("$b/vozuv-render $heavy --plugin $b/VozuvAzirOVA.so $input $work/before-native.wav"
               "$b/vozuv-render $program1 --plugin $b/VozuvAzirOVA.so $input $work/before-native-p1.wav"
               "$b/vozuv-render $heavy --plugin $b/win32/VozuvAzirOVA.dll $input $work/before-win32.wav"
               "$b/vozuv-render $program1 --plugin $b/win32/VozuvAzirOVA.dll $input $work/before-win32-p1.wav")
    names+=("before: native .so, heavy" "before: native .so, program 1" "before: 32-bit DLL, heavy"
            "before: 32-bit DLL, program 1")
  fi
  # times FILE INDEX COMMAND: hyperfine's 3 run times of COMMAND, one line "INDEX seconds" each.
  times() {
    hyperfine -N --runs 3 --style none --export-json "$work/run.json" "$3" >/dev/null 2>&1
    python3 -c 'import json,sys; [print(sys.argv[1], t) for t in json.load(open(sys.argv[2]))["results"][0]["times"]]' \
      "$2" "$work/run.json" >>"$1"
  }
  # report FILE TITLE NAMES...: medians as ratios to the first (the sox copy).
  report() {
    local file="$1" title="$2"; shift 2
    local names=("$@") copy t i
    echo
    echo "$title"
    copy=$(awk '$1 == 0 {print $2}' "$file" | median)
    for i in "${!names[@]}"; do
      t=$(awk -v k="$i" '$1 == k {print $2}' "$file" | median)
      awk -v n="${names[$i]}" -v t="$t" -v c="$copy" 'BEGIN {printf "%-32s %6.3f s   %.2f x the sox copy\n", n, t, t / c}'
    done
  }

  # Without a wineserver: before each DLL render, wait for the last one's wineserver to go (it stays
  # 3 s after its last client by default).
  echo "=== 32-bit DLL renders without a running wineserver ($rounds rounds, alternating with the copy) ===" >&2
  : >"$work/cold.txt"
  cold=(0 3) coldNames=("sox copy" "32-bit DLL, heavy")
  if [ -n "${VOZUV_BENCH_BEFORE:-}" ]; then cold+=(7); coldNames+=("before: 32-bit DLL, heavy"); fi
  for r in $(seq "$rounds"); do
    for k in "${!cold[@]}"; do
      wineserver -w
      /usr/bin/time -f "$k %e" -a -o "$work/cold.txt" ${commands[${cold[$k]}]} >/dev/null 2>&1
    done
  done

  # With one: a persistent wineserver for the prefix while these run, stopped at the end.
  echo "=== renders of a 10-minute stereo float WAV ($rounds rounds of 3 runs, commands alternating) ===" >&2
  wineserver -w  # the last cold render's server first: only one per prefix
  wineserver -p
  trap 'wineserver -k 2>/dev/null || true' EXIT
  : >"$work/renders.txt"
  # One warm-up of each, then rounds that alternate the commands: drift hits all of them alike.
  for c in "${commands[@]}"; do $c >/dev/null 2>&1; done
  for r in $(seq "$rounds"); do
    for i in "${!commands[@]}"; do times "$work/renders.txt" "$i" "${commands[$i]}"; done
  done
  wineserver -k
  trap - EXIT

  report "$work/renders.txt" \
    "vozuv-render of a 10-minute stereo float WAV, wineserver running: median wall time ($((rounds * 3)) runs each)" \
    "${names[@]}"
  report "$work/cold.txt" "the same without a running wineserver ($rounds runs each)" "${coldNames[@]}"
  for pair in "native.wav win32.wav" "native-p1.wav win32-p1.wav"; do
    set -- $pair
    cmp -s <(sox -V1 "$work/$1" -t f32 -) <(sox -V1 "$work/$2" -t f32 -) \
      && echo "native and 32-bit DLL renders ($1, $2): identical samples" \
      || echo "native and 32-bit DLL renders ($1, $2): DIFFERENT samples"
  done
fi
