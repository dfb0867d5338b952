#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer and AddressSanitizer, over
# zlib, libpng and libjpeg-turbo built with the same instrumentation
# (scripts/build_fuzz_deps.sh), makes their seed corpora and fuzzes each
# target for the given number of seconds (default 20). Prints, per target,
# the executions run and whether anything was found; exits non-zero on a
# finding.
#
# Limits: a picture file must never cost more than 2 s or 512 MB to decode
# (natively, in an optimised build). The fuzz build runs the same decode
# about six times slower (sanitizers, coverage, no SIMD), and the sanitizer
# adds its own memory to the picture's, so the decoder fuzzer flags an input
# that takes more than 12 s or makes the process larger than 1024 MB, and
# any single allocation above 512 MB. The other targets handle a few
# kilobytes of text and get 2 s and 512 MB.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

seconds=${1:-20}
build="$build_root/fuzz"
command -v clang++ >/dev/null || "$here/setup.sh"
"$here/build_fuzz_deps.sh"
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKALARO_FUZZ=ON \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_PREFIX_PATH="$build_root/fuzz-deps/prefix" -U "JPEG_*" -U "PNG_*" -U "ZLIB_*" >/dev/null
cmake --build "$build" -j "$jobs"

# target, time-out in seconds, largest process in MB, largest allocation in
# MB, largest input in bytes (0: libFuzzer's own choice from the corpus).
# Picture files reach up to a mebibyte, where the decode budget's limits lie;
# the decoder's seeds include hostile files padded to just under it.
targets=(
  "decoder_fuzzer 12 1024 512 1048576"
  "prefs_fuzzer 2 512 256 0"
  "http_fuzzer 2 512 256 0"
  "download_fuzzer 2 512 256 0"
)

status=0
for entry in "${targets[@]}"; do
  read -r target timeout rss malloc max_len <<<"$entry"
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
    "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout="$timeout" \
    -rss_limit_mb="$rss" -malloc_limit_mb="$malloc" -max_len="$max_len" \
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
