#!/usr/bin/env bash
# Speed figures in one run: processReplacing per stereo frame (heavy compression on noise) in the native
# library and in both DLLs under Wine, and vozuv-render of a 10-minute stereo float WAV through the native
# library and the 32-bit DLL against a plain `sox in.wav out.wav` copy. Every figure is also given as a
# ratio to the native figure or the copy of the same run: absolute times on a shared machine drift.
# Usage: scripts/bench.sh [ROUNDS]   (default 3; build trees in build/, set VOZUV_BUILD_ROOT to move them)
# VOZUV_BENCH_RENDER_ONLY=1 skips the per-frame part, VOZUV_BENCH_FRAMES_ONLY=1 the renders.
# VOZUV_BENCH_SETTINGS="HPShelf=0.3 LPShelf=0.2" times processReplacing with those parameters set as well.
# VOZUV_BENCH_BEFORE=DIR adds the renders of an earlier vozuv-render (DIR/vozuv-render, DIR/VozuvAzirOVA.so,
# DIR/win32/VozuvAzirOVA.dll next to its vozuv-winhost.exe) to the comparison.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds="${VOZUV_BUILD_ROOT:-$root/build}"
rounds="${1:-3}"
cd "$root"
bash scripts/install-deps.sh || { echo "installing the dependencies failed" >&2; exit 1; }

echo "=== building ===" >&2
VOZUV_TARGETS="VozuvAzirOVA vozuv-winhost vozuv-plugin-timer" scripts/build.sh win32 "$builds/win32" >/dev/null
VOZUV_TARGETS="VozuvAzirOVA vozuv-winhost vozuv-plugin-timer" scripts/build.sh win64 "$builds/win64" >/dev/null
VOZUV_TARGETS="VozuvAzirOVA vozuv-plugin-timer vozuv-render" scripts/build.sh native "$builds/native" \
  -DVOZUV_WIN32_DIR="$builds/win32" -DVOZUV_WIN64_DIR="$builds/win64" >/dev/null

work="$builds/bench"
mkdir -p "$work"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
winpath() { echo "Z:$1" | tr / '\\'; }
# Console programs only: no display needed. One prefix per tree, created on first use.
wine_in() {
  local tree="$1"; shift
  WINEPREFIX="$builds/$tree/wineprefix" wine "$@"
}
for tree in win32 win64; do
  [ -f "$builds/$tree/wineprefix/system.reg" ] || WINEPREFIX="$builds/$tree/wineprefix" wineboot -i >/dev/null 2>&1
done

median() { sort -g | awk '{v[NR]=$1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR+1)/2]; else print (v[NR/2]+v[NR/2+1])/2}'; }

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
  export WINEPREFIX="$builds/win32/wineprefix"
  commands=("sox $input $work/copy.wav"
            "$builds/native/vozuv-render $heavy --plugin $builds/native/VozuvAzirOVA.so $input $work/native.wav"
            "$builds/native/vozuv-render $heavy --plugin $builds/win32/VozuvAzirOVA.dll $input $work/win32.wav")
  names=("sox copy" "render, native .so" "render, 32-bit DLL")
  if [ -n "${VOZUV_BENCH_BEFORE:-}" ]; then
    b="$VOZUV_BENCH_BEFORE"
    commands+=("$b/vozuv-render $heavy --plugin $b/VozuvAzirOVA.so $input $work/before-native.wav"
               "$b/vozuv-render $heavy --plugin $b/win32/VozuvAzirOVA.dll $input $work/before-win32.wav")
    names+=("before: render, native .so" "before: render, 32-bit DLL")
  fi
  echo "=== renders of a 10-minute stereo float WAV ($rounds rounds of 3 runs, commands alternating) ===" >&2
  : >"$work/renders.txt"
  # One warm-up of each, then rounds that alternate the commands: drift hits all of them alike.
  for c in "${commands[@]}"; do $c >/dev/null 2>&1; done
  for r in $(seq "$rounds"); do
    for i in "${!commands[@]}"; do
      hyperfine -N --runs 3 --style none --export-json "$work/run.json" "${commands[$i]}" >/dev/null 2>&1
      python3 -c 'import json,sys; [print(sys.argv[1], t) for t in json.load(open(sys.argv[2]))["results"][0]["times"]]' \
        "$i" "$work/run.json" >>"$work/renders.txt"
    done
  done
  echo
  echo "vozuv-render, heavy compression, 10-minute stereo float WAV: median wall time ($((rounds * 3)) runs each)"
  copy=$(awk '$1 == 0 {print $2}' "$work/renders.txt" | median)
  for i in "${!commands[@]}"; do
    t=$(awk -v k="$i" '$1 == k {print $2}' "$work/renders.txt" | median)
    awk -v n="${names[$i]}" -v t="$t" -v c="$copy" 'BEGIN {printf "%-28s %6.3f s   %.2f x the sox copy\n", n, t, t / c}'
  done
  cmp -s <(sox -V1 "$work/native.wav" -t f32 -) <(sox -V1 "$work/win32.wav" -t f32 -) \
    && echo "native and 32-bit DLL renders: identical samples" \
    || echo "native and 32-bit DLL renders: DIFFERENT samples"
fi
