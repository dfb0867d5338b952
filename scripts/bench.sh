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
cmake --build "$build_root/bench" -j "$jobs" --target resize_bench codec_bench
for bench in "${@:-resize_bench codec_bench}"; do
  for program in $bench; do
    "$build_root/bench/bench/$program"
    echo
  done
done
