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
# The Windows-only benchmarks (delay, explorer list) build in the win64
# configuration and run under Wine; the explorer list needs a display, so
# without one it runs inside Xvfb.
run_windows_benchmark() {
  cmake -S "$top" -B "$build_root/win64" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw64-toolchain.cmake" \
    -DSKALARO_DEPS_PREFIX="$deps_prefix" >/dev/null
  cmake --build "$build_root/win64" -j "$jobs" --target "$1"
  if [ "$1" = explorer_bench ] && [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$here/wine_run.sh" "$build_root/win64/bench/$1.exe"
  else
    "$here/wine_run.sh" "$build_root/win64/bench/$1.exe"
  fi
}

for bench in "${@:-resize_bench codec_bench delay_bench explorer_bench}"; do
  for program in $bench; do
    case "$program" in
      delay_bench | explorer_bench) run_windows_benchmark "$program" ;;
      *) "$build_root/bench/bench/$program" ;;
    esac
    echo
  done
done
