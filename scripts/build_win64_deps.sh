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
  local bld="$work_root/$name"
  rm -rf "$bld"
  cmake -S "$src" -B "$bld" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DSKALARO_DEPS_PREFIX="$deps_prefix" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps_prefix" \
    -DCMAKE_PREFIX_PATH="$deps_prefix" "$@" >&2
  cmake --build "$bld" -j "$jobs" >&2
  cmake --install "$bld" >&2
}

build_zlib() {
  built zlib && return 0
  local src; src=$(fetch_source zlib)
  log "building zlib"
  # Debian's tarball carries no Windows makefile; the library is small enough
  # to compile directly.
  local obj="$work_root/zlib" f
  rm -rf "$obj"; mkdir -p "$obj"
  for f in $zlib_library_files; do
    "$mingw_triplet-gcc-posix" -O2 -D_LARGEFILE64_SOURCE=1 -c "$src/$f.c" -o "$obj/$f.o"
  done
  "$mingw_triplet-ar" rcs "$deps_prefix/lib/libz.a" "$obj"/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$deps_prefix/include/"
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
