#!/usr/bin/env bash
# Builds zlib, libpng and libjpeg-turbo for the fuzz build with clang, with
# the fuzzer's coverage instrumentation and AddressSanitizer, as static
# libraries into build/fuzz-deps/prefix, so that the fuzzers see inside them.
# The sources are Debian's source packages, unpacked once for this build and
# the win64 one (build/deps-win64/src, scripts/source_packages.sh);
# libjpeg-turbo is built without its SIMD code, which neither sanitizer nor
# coverage can see into. A library built with the current flags is left
# alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"
. "$here/source_packages.sh"

fuzz_deps_root="$build_root/fuzz-deps"
prefix="$fuzz_deps_root/prefix"
work_root="$fuzz_deps_root/work"
src_root="$deps_root/src"
flags="-O2 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address"
mkdir -p "$src_root" "$prefix/include" "$prefix/lib" "$work_root"

# A library counts as built when its stamp holds the current flags.
built() { [ "$(cat "$prefix/.built-$1" 2>/dev/null)" = "$flags" ]; }
mark_built() { echo "$flags" >"$prefix/.built-$1"; }

build_zlib() {
  built zlib && return 0
  local src; src=$(fetch_source zlib)
  log "building instrumented zlib"
  # shellcheck disable=SC2086
  zlib_build "$src" "$work_root/zlib" "$prefix" ar clang $flags
  mark_built zlib
}

cmake_instrumented() {
  local name=$1 src=$2; shift 2
  cmake_library_build "$src" "$work_root/$name" "$prefix" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS_RELEASE="$flags" "$@"
}

build_libpng() {
  built libpng && return 0
  local src; src=$(fetch_source libpng1.6)
  log "building instrumented libpng"
  cmake_instrumented libpng "$src" "${libpng_static_options[@]}" \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
  mark_built libpng
}

build_libjpeg() {
  built libjpeg && return 0
  local src; src=$(fetch_source libjpeg-turbo)
  log "building instrumented libjpeg-turbo"
  cmake_instrumented libjpeg "$src" "${libjpeg_static_options[@]}" \
    -DWITH_SIMD=0 -DCMAKE_INSTALL_LIBDIR="$prefix/lib"
  mark_built libjpeg
}

build_zlib
build_libpng
build_libjpeg
log "instrumented libraries ready in $prefix"
