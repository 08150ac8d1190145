#!/usr/bin/env bash
# The whole test suite: installs what it needs, builds every flavour and runs the native, sanitizer and
# Wine test programs. Usage: scripts/test.sh   (build trees go to build/; set VOZUV_BUILD_ROOT to move them)
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds="${VOZUV_BUILD_ROOT:-$root/build}"
cd "$root"

bash scripts/install-deps.sh || { echo "installing the build dependencies failed" >&2; exit 1; }

# One X server for every Wine test of this run.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    sleep 1
    kill -0 "$xvfb_pid" 2>/dev/null && break
  done
fi
cleanup() {
  for prefix in "$builds"/*/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

passed=0
failed=0
failures=()

# run_ctest NAME BUILD_DIR [CTEST_ARGS...]: runs one tree's tests and adds up the counts.
run_ctest() {
  local name="$1" dir="$2"; shift 2
  echo "=== tests: $name ==="
  local log="$dir/ctest.log"
  ctest --test-dir "$dir" --output-on-failure -j2 "$@" 2>&1 | tee "$log"
  local line total bad
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  if [ -z "$line" ]; then
    if grep -q "No tests were found" "$log"; then return; fi
    failed=$((failed + 1)); failures+=("$name: ctest did not finish"); return
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -gt 0 ] && failures+=("$name: $bad failed")
}

# build NAME FLAVOUR [CMAKE_ARGS...]: a failed build counts as a failure of that suite.
build() {
  local name="$1" flavour="$2"; shift 2
  echo "=== build: $name ==="
  if ! scripts/build.sh "$flavour" "$builds/$name" "$@"; then
    failed=$((failed + 1)); failures+=("$name: build failed"); return 1
  fi
}

build win32 win32 && run_ctest win32 "$builds/win32"
build win64 win64 && run_ctest win64 "$builds/win64"
build native native -DVOZUV_WIN32_DIR="$builds/win32" -DVOZUV_WIN64_DIR="$builds/win64" \
  && run_ctest native "$builds/native"
build asan asan -DVOZUV_WIN32_DIR="$builds/win32" && run_ctest asan "$builds/asan" -E 'render|Render'
build tsan tsan && run_ctest tsan "$builds/tsan" -R 'Concurren|Thread|Race'

echo
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
