#!/usr/bin/env bash
# Builds the benchmark programs in an optimised host build without sanitizers
# and runs them. Figures vary with the machine: compare ratios of one run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick ||
  "$here/setup.sh"
cmake -S "$top" -B "$build_root/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSKALARO_SANITIZE=OFF >/dev/null
cmake --build "$build_root/bench" -j "$jobs" --target resize_bench codec_bench decode_cost_bench
# The Windows-only benchmarks (delay) build in the win64 configuration and run under Wine.
run_windows_benchmarks() {
  cmake -S "$top" -B "$build_root/win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw64-toolchain.cmake" \
    -DSKALARO_DEPS_PREFIX="$deps_prefix" >/dev/null
  cmake --build "$build_root/win64" -j "$jobs" --target delay_bench
  "$here/wine_run.sh" "$build_root/win64/bench/delay_bench.exe"
}

for bench in "${@:-resize_bench codec_bench decode_cost_bench delay_bench}"; do
  for program in $bench; do
    if [ "$program" = delay_bench ]; then run_windows_benchmarks; else "$build_root/bench/bench/$program"; fi
    echo
  done
done
