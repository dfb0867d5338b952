#!/usr/bin/env bash
# Sets everything up, builds both configurations and runs every test:
# native (host compiler, AddressSanitizer and UndefinedBehaviorSanitizer) and
# win64 (cross-compiled, run under Wine in a fresh prefix inside Xvfb).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

"$here/setup.sh"

summary_file=$(mktemp)
trap 'rm -f "$summary_file"' EXIT
status=0

# Runs ctest in a build directory and records its closing counts.
run_ctest() {
  local name=$1 dir=$2; shift 2
  local out rc=0
  out=$(mktemp)
  (cd "$dir" && "$@" ctest --output-on-failure --timeout 900 -j "$jobs") 2>&1 | tee "$out" || rc=$?
  local line
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -n 1 || true)
  if [ -z "$line" ]; then
    echo "$name 0 1" >>"$summary_file"
  else
    local failed total
    failed=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/')
    total=$(echo "$line" | sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/')
    echo "$name $((total - failed)) $failed" >>"$summary_file"
  fi
  rm -f "$out"
  [ "$rc" -eq 0 ] || status=1
}

# Adds up GoogleTest's closing "[  PASSED  ] N tests" (or FAILED) lines.
count_gtest_cases() {
  local word=$1; shift
  awk -v word="$word" '$0 ~ "^\\[  " word "  \\] [0-9]+ test" {s += $4} END {print s + 0}' "$@"
}

log "native build"
cmake -S "$top" -B "$build_root/native" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_root/native" -j "$jobs"
# Leaks are reported too: the heaps free every block when they are
# destroyed, so what LeakSanitizer finds was lost outside them.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
log "native tests"
run_ctest native "$build_root/native"

log "win64 build"
cmake -S "$top" -B "$build_root/win64" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw64-toolchain.cmake" \
  -DSKALARO_DEPS_PREFIX="$deps_prefix" >/dev/null
cmake --build "$build_root/win64" -j "$jobs"

# A Wine prefix of this run's own, never one left from an earlier run.
export WINEPREFIX="$build_root/win64/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export SKALARO_TEST_LOGS="$build_root/win64/test-logs"
rm -rf "$WINEPREFIX" "$SKALARO_TEST_LOGS"
log "win64 tests (fresh Wine prefix, Xvfb)"
win_rc=0
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
  wineboot -i >/dev/null 2>&1 || true
  # A crashing test program ends at once instead of waiting in the debugger.
  wine reg delete "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" /v Debugger /f >/dev/null 2>&1 || true
  wineserver -w
  cd "$1" && ctest --output-on-failure --timeout 900 -j 2
  rc=$?
  wineserver -k >/dev/null 2>&1 || true
  exit $rc' _ "$build_root/win64" 2>&1 | tee "$build_root/win64/ctest.log" || win_rc=$?
[ "$win_rc" -eq 0 ] || status=1
# Each win64 test program runs many test cases; count the cases. A program
# that failed without a failed case (a crash, a time-out) still counts as a
# failure of win64, and only of win64.
if grep -qs '^\[==========\] .* ran\.' "$SKALARO_TEST_LOGS"/*.log; then
  win_passed=$(count_gtest_cases PASSED "$SKALARO_TEST_LOGS"/*.log)
  win_failed=$(count_gtest_cases FAILED "$SKALARO_TEST_LOGS"/*.log)
  [ "$win_rc" -eq 0 ] || [ "$win_failed" -gt 0 ] || win_failed=1
  echo "win64 $win_passed $win_failed" >>"$summary_file"
else
  echo "win64 0 1" >>"$summary_file"
  status=1
fi

# A short fuzzing smoke of every fuzz target (15 s each, a minute in all),
# after the instrumented libraries (about two minutes to build, once).
log "fuzz smoke"
fuzz_rc=0
"$here/fuzz.sh" "${SKALARO_FUZZ_SECONDS:-15}" || fuzz_rc=$?
if [ "$fuzz_rc" -eq 0 ]; then echo "fuzz 1 0" >>"$summary_file"; else echo "fuzz 0 1" >>"$summary_file"; status=1; fi

passed=0 failed=0
while read -r name p f; do
  log "$name: $p passed, $f failed"
  passed=$((passed + p)); failed=$((failed + f))
done <"$summary_file"
[ "$failed" -eq 0 ] || status=1
echo "tests: $passed passed, $failed failed"
exit "$status"
