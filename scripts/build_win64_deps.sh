#!/usr/bin/env bash
# Builds zlib, libpng 1.6, libjpeg-turbo (libjpeg 8 API, SIMD via nasm) and
# PCRE2 (8-bit) for win64 from Debian's source packages, as static libraries,
# into build/deps-win64/prefix. A package already built is left alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"
. "$here/source_packages.sh"

toolchain="$top/cmake/mingw64-toolchain.cmake"
src_root="$deps_root/src"
work_root="$deps_root/work"
mkdir -p "$src_root" "$work_root" "$deps_prefix/include" "$deps_prefix/lib"

built() { [ -f "$deps_prefix/.built-$1" ]; }
mark_built() { touch "$deps_prefix/.built-$1"; }

cmake_cross() {
  local name=$1 src=$2; shift 2
  cmake_library_build "$src" "$work_root/$name" "$deps_prefix" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DSKALARO_DEPS_PREFIX="$deps_prefix" "$@"
}

build_zlib() {
  built zlib && return 0
  local src; src=$(fetch_source zlib)
  log "building zlib"
  # Debian's tarball carries no Windows makefile; the library is small enough
  # to compile directly.
  zlib_build "$src" "$work_root/zlib" "$deps_prefix" "$mingw_triplet-ar" \
    "$mingw_triplet-gcc-posix" -O2
  mark_built zlib
}

build_libpng() {
  built libpng && return 0
  local src; src=$(fetch_source libpng1.6)
  log "building libpng"
  cmake_cross libpng "$src" "${libpng_static_options[@]}" \
    -DZLIB_INCLUDE_DIR="$deps_prefix/include" -DZLIB_LIBRARY="$deps_prefix/lib/libz.a"
  mark_built libpng
}

build_libjpeg() {
  built libjpeg && return 0
  local src; src=$(fetch_source libjpeg-turbo)
  log "building libjpeg-turbo"
  cmake_cross libjpeg "$src" "${libjpeg_static_options[@]}" \
    -DWITH_SIMD=1 -DREQUIRE_SIMD=1 -DCMAKE_ASM_NASM_COMPILER=nasm
  mark_built libjpeg
}

build_pcre2() {
  built pcre2 && return 0
  local src; src=$(fetch_source pcre2)
  log "building pcre2"
  cmake_cross pcre2 "$src" -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON \
    -DPCRE2_BUILD_PCRE2_8=ON -DPCRE2_BUILD_PCRE2_16=OFF -DPCRE2_BUILD_PCRE2_32=OFF \
    -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_BUILD_TESTS=OFF -DPCRE2_SUPPORT_JIT=OFF
  mark_built pcre2
}

build_zlib
build_libpng
build_libjpeg
build_pcre2
log "win64 libraries ready in $deps_prefix"
