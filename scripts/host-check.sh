# Sourced by the real-host checks: a work folder and the processes started, ended at exit; the checks'
# tally in OUT/summary.txt; polling for a condition. Expects out to be set.
work=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
passes=0
say() { echo "$*" | tee -a "$out/summary.txt"; }
check() { if eval "$2"; then say "ok: $1"; passes=$((passes + 1)); else say "FAILED: $1"; failures=$((failures + 1)); fi; }
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local deadline=$(($(date +%s) + $1)); shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
}
# start_display_and_jack: a private Xvfb (DISPLAY) and a JACK server with the dummy backend, named by
# JACK_DEFAULT_SERVER; both end at exit.
start_display_and_jack() {
  Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$work/display" >"$out/xvfb.log" 2>&1 &
  pids+=($!)
  wait_for 30 test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$(cat "$work/display")"
  jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 1024 >"$out/jackd.log" 2>&1 &
  pids+=($!)
  wait_for 30 jack_lsp || { echo "jackd did not start" >&2; exit 1; }
}
