#!/usr/bin/env bash
# The whole test suite: installs what it needs, builds every flavour and runs the native, sanitizer and
# Wine test programs. Usage: scripts/test.sh   (build trees go to build/; set VOZUV_BUILD_ROOT to move them)
# A tree's tests run while the next tree builds; the tests of one tree at a time. Every Windows program runs
# in a Wine prefix and an X server of its own (scripts/wine-run.sh), so no display is shared.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
builds="${VOZUV_BUILD_ROOT:-$root/build}"
cd "$root"

bash scripts/install-deps.sh || { echo "installing the build dependencies failed" >&2; exit 1; }

# Programs that need a display start their own.
unset DISPLAY
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

mkdir -p "$builds"
state=$(mktemp -d)
test_jobs=()
# The trees' own prefixes: the renderer's tests run the Windows host in them and leave a wineserver behind.
stop_wineservers() {
  for prefix in "$builds"/*/wineprefix "$builds"/*/wineprefix-editor; do
    [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k >/dev/null 2>&1
  done
  return 0
}
cleanup() {
  for job in "${test_jobs[@]}"; do kill "$job" 2>/dev/null; done
  stop_wineservers
  rm -rf "$state"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
run_start=$(date +%s)

# step NAME COMMAND...: runs and times a step; the time goes to the table at the end.
step() {
  local name="$1"; shift
  local start=$(date +%s) status
  "$@"
  status=$?
  echo "$name $(( $(date +%s) - start ))" >>"$state/times"
  return $status
}

# build NAME FLAVOUR [CMAKE_ARGS...]: a failed build counts as a failure of that suite.
build() {
  local name="$1" flavour="$2"; shift 2
  echo "=== build: $name ==="
  if ! step "build:$name" scripts/build.sh "$flavour" "$builds/$name" "$@"; then
    echo "$name: build failed" >>"$state/failures"
    return 1
  fi
}

# ctest_tree NAME DIR [CTEST_ARGS...]: one tree's tests, one tree at a time, in the background.
ctest_tree() {
  local name="$1" dir="$2"; shift 2
  (
    flock 9
    echo "=== tests: $name started ==="
    # The lock's descriptor stays here: a wineserver started by a test would otherwise inherit it and hold
    # the lock for as long as it lingers, and the next tree would wait for ever.
    step "tests:$name" ctest --test-dir "$dir" --output-on-failure -j2 "$@" >"$dir/ctest.log" 2>&1 9>&-
    stop_wineservers
    echo "=== tests: $name finished ==="
  ) 9>"$state/tests.lock" &
  test_jobs+=($!)
  echo "$name $dir" >>"$state/trees"
}

# test_programs DIR EXCLUDE [PATTERN]: the test programs of a configured tree but those whose name matches
# EXCLUDE; with PATTERN, only those of a tests/<folder> (program test_<folder>) with a test matching it.
test_programs() {
  local dir="$1" exclude="$2" pattern="${3:-}" found=()
  for program in $(ninja -C "$dir" -t targets all 2>/dev/null | sed -nE 's/^(test_[a-z0-9_]+):.*/\1/p' | sort -u); do
    [[ "$program" =~ $exclude ]] && continue
    if [ -n "$pattern" ]; then
      grep -qE "^TEST(_F|_P)?\(.*($pattern)" "tests/${program#test_}"/*.cpp 2>/dev/null || continue
    fi
    found+=("$program")
  done
  echo "${found[*]}"
}

# build_tests NAME FLAVOUR EXCLUDE PATTERN [CMAKE_ARGS...]: builds only the test programs a tree runs.
build_tests() {
  local name="$1" flavour="$2" exclude="$3" pattern="$4"; shift 4
  VOZUV_CONFIGURE_ONLY=1 scripts/build.sh "$flavour" "$builds/$name" "$@" >/dev/null 2>&1
  local programs
  programs=$(test_programs "$builds/$name" "$exclude" "$pattern")
  VOZUV_TARGETS="${programs:-all}" build "$name" "$flavour" "$@"
}

build win32 win32 && ctest_tree win32 "$builds/win32"
build win64 win64 && ctest_tree win64 "$builds/win64"
build native native -DVOZUV_WIN32_DIR="$builds/win32" -DVOZUV_WIN64_DIR="$builds/win64" \
  && ctest_tree native "$builds/native"
# The sanitizer trees build test programs only (no benchmarks or tools beyond what those need); the thread
# sanitizer only the programs with concurrency tests. test_render runs in the address sanitizer tree too:
# only its tests named for rendering are left out.
build_tests asan asan '^test_headers$' '' -DVOZUV_WIN32_DIR="$builds/win32" \
  && ctest_tree asan "$builds/asan" -E 'render|Render'
tsan_pattern='Concurren|Thread|Race'
build_tests tsan tsan '^test_(render|headers)$' "$tsan_pattern" && ctest_tree tsan "$builds/tsan" -R "$tsan_pattern"

for job in "${test_jobs[@]}"; do wait "$job"; done
test_jobs=()

passed=0
failed=0
failures=()
[ -f "$state/failures" ] && mapfile -t failures <"$state/failures"
failed=${#failures[@]}
while read -r name dir; do
  echo
  echo "=== tests: $name ==="
  cat "$dir/ctest.log"
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$dir/ctest.log" | tail -n 1)
  if [ -z "$line" ]; then
    grep -q "No tests were found" "$dir/ctest.log" && continue
    failed=$((failed + 1)); failures+=("$name: ctest did not finish"); continue
  fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  [ "$bad" -gt 0 ] && failures+=("$name: $bad failed")
done <"$state/trees"

echo
echo "=== times (s): builds one after another, each tree's tests while the next one builds ==="
[ -f "$state/times" ] && while read -r what seconds; do printf '%-22s %5s\n' "$what" "$seconds"; done <"$state/times"
printf '%-22s %5s\n' "whole run" "$(( $(date +%s) - run_start ))"
for f in "${failures[@]}"; do echo "FAILED: $f"; done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
