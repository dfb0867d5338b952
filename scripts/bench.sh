#!/usr/bin/env bash
# Builds the benchmark programs in an optimised host build without sanitizers
# and runs them. Figures vary with the machine: compare ratios of one run.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

command -v convert >/dev/null && convert -version 2>/dev/null | grep -q ImageMagick ||
  "$here/setup.sh"
# vipsthumbnail, the job benchmark's second reference.
if ! command -v vipsthumbnail >/dev/null; then
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    libvips-tools
fi
cmake -S "$top" -B "$build_root/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DSKALARO_SANITIZE=OFF >/dev/null
cmake --build "$build_root/bench" -j "$jobs" --target resize_bench codec_bench decode_cost_bench job_bench
# The Windows-only benchmarks (the delay, the explorer list, the job's path)
# build in the win64 configuration and run under Wine; the explorer list
# needs a display, so without one it runs inside Xvfb.
build_windows_benchmark() {
  cmake -S "$top" -B "$build_root/win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw64-toolchain.cmake" \
    -DSKALARO_DEPS_PREFIX="$deps_prefix" >/dev/null
  # shellcheck disable=SC2086
  cmake --build "$build_root/win64" -j "$jobs" --target $1
}

for bench in "${@:-resize_bench codec_bench decode_cost_bench delay_bench explorer_bench job_bench}"; do
  for program in $bench; do
    case "$program" in
      delay_bench)
        build_windows_benchmark delay_bench
        "$here/wine_run.sh" "$build_root/win64/bench/delay_bench.exe" ;;
      explorer_bench)
        build_windows_benchmark explorer_bench
        with_display "$here/wine_run.sh" "$build_root/win64/bench/explorer_bench.exe" ;;
      job_bench)
        # The job's path runs in a Windows program under Wine, and the whole
        # Skalaro.exe too, which needs a display; the host program compares.
        build_windows_benchmark "job_path_bench skalaro_package skalaro_driver"
        job_bench=("$build_root/bench/bench/job_bench" "$build_root/win64/bench/job_path_bench.exe"
          "$here/wine_run.sh" "$build_root/win64/Skalaro" "$build_root/win64/tests/app/skalaro_driver.exe")
        with_display "${job_bench[@]}" ;;
      *) "$build_root/bench/bench/$program" ;;
    esac
    echo
  done
done
