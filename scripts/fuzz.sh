#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and AddressSanitizer, makes
# their seed corpora and fuzzes each target for the given number of seconds
# (default 20). Prints, per target, the executions run and whether anything
# was found; exits non-zero on a finding.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

seconds=${1:-20}
build="$build_root/fuzz"
command -v clang++ >/dev/null || "$here/setup.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKALARO_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j "$jobs"

status=0
for target in decoder_fuzzer prefs_fuzzer http_fuzzer; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  mkdir -p "$corpus" "$findings"
  if [ -x "$build/tests/fuzz/${target}_seeds" ]; then
    "$build/tests/fuzz/${target}_seeds" "$corpus"
  fi
  log "fuzzing $target for ${seconds}s"
  out="$build/$target.log"
  rc=0
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 \
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=4096 -malloc_limit_mb=4096 \
    -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" >"$out" 2>&1 || rc=$?
  runs=$(grep -E '^stat::number_of_executed_units' "$out" | awk '{print $2}' || true)
  if [ "$rc" -ne 0 ]; then
    status=1
    log "$target: FINDING after ${runs:-?} executions (see $out and $findings)"
    tail -n 30 "$out" >&2
  else
    log "$target: ${runs:-?} executions, no finding"
  fi
done
exit "$status"
