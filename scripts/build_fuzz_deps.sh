#!/usr/bin/env bash
# Builds zlib, libpng and libjpeg-turbo for the fuzz build with clang, with
# the fuzzer's coverage instrumentation and AddressSanitizer, as static
# libraries into build/fuzz-deps/prefix, so that the fuzzers see inside them.
# The sources are Debian's source packages that the win64 build unpacks
# (build/deps-win64/src); libjpeg-turbo is built without its SIMD code, which
# neither sanitizer nor coverage can see into. A library built with the
# current flags is left alone.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

fuzz_deps_root="$build_root/fuzz-deps"
prefix="$fuzz_deps_root/prefix"
work_root="$fuzz_deps_root/work"
src_root="$deps_root/src"
flags="-O2 -g -fno-omit-frame-pointer -fsanitize=fuzzer-no-link,address"
mkdir -p "$prefix/include" "$prefix/lib" "$work_root"

# The newest unpacked source of a package, unpacking it first when missing.
source_dir() {
  local pattern=$1 dir
  dir=$(find "$src_root" -mindepth 1 -maxdepth 1 -type d -name "$pattern-*" 2>/dev/null | sort -V | tail -n 1)
  if [ -z "$dir" ]; then
    "$here/build_win64_deps.sh" >&2
    dir=$(find "$src_root" -mindepth 1 -maxdepth 1 -type d -name "$pattern-*" | sort -V | tail -n 1)
  fi
  [ -n "$dir" ] || die "no unpacked source for $pattern under $src_root"
  echo "$dir"
}

# A library counts as built when its stamp holds the current flags and source.
stamp_of() { echo "$flags $1"; }
built() { [ "$(cat "$prefix/.built-$1" 2>/dev/null)" = "$(stamp_of "$2")" ]; }
mark_built() { stamp_of "$2" >"$prefix/.built-$1"; }

build_zlib() {
  local src; src=$(source_dir zlib)
  built zlib "$src" && return 0
  log "building instrumented zlib"
  local obj="$work_root/zlib" f
  rm -rf "$obj"; mkdir -p "$obj"
  for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback \
           inffast inflate inftrees trees uncompr zutil; do
    # shellcheck disable=SC2086
    clang $flags -D_LARGEFILE64_SOURCE=1 -c "$src/$f.c" -o "$obj/$f.o"
  done
  rm -f "$prefix/lib/libz.a"
  ar rcs "$prefix/lib/libz.a" "$obj"/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
  mark_built zlib "$src"
}

cmake_instrumented() {
  local name=$1 src=$2; shift 2
  local bld="$work_root/$name"
  rm -rf "$bld"
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS_RELEASE="$flags" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@" >&2
  cmake --build "$bld" -j "$jobs" >&2
  cmake --install "$bld" >&2
}

build_libpng() {
  local src; src=$(source_dir libpng1.6)
  built libpng "$src" && return 0
  log "building instrumented libpng"
  cmake_instrumented libpng "$src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON \
    -DZLIB_INCLUDE_DIR="$prefix/include" -DZLIB_LIBRARY="$prefix/lib/libz.a"
  mark_built libpng "$src"
}

build_libjpeg() {
  local src; src=$(source_dir libjpeg-turbo)
  built libjpeg "$src" && return 0
  log "building instrumented libjpeg-turbo"
  cmake_instrumented libjpeg "$src" -DWITH_JPEG8=1 -DENABLE_SHARED=0 -DENABLE_STATIC=1 \
    -DWITH_TURBOJPEG=0 -DWITH_SIMD=0 -DCMAKE_INSTALL_LIBDIR="$prefix/lib"
  mark_built libjpeg "$src"
}

build_zlib
build_libpng
build_libjpeg
log "instrumented libraries ready in $prefix"
