# Fetching Debian source packages for the cross builds; sourced, not run.
# The caller sets src_root, the directory the packages are unpacked in.

# Unpacks a source package once; prints its directory. Newest version first;
# a mirror may lack the sources of one suite (seen with the security suite),
# so older versions are tried too. The directory is the one unpacked for the
# version taken ("package-upstream version"), and it counts only when its
# mark names that very version, which is written once it was unpacked
# completely: other versions or a half-unpacked leftover are never taken.
fetch_source() {
  local pkg=$1 version upstream dir staging
  for version in $(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2}' | sort -V -r -u); do
    upstream=${version#*:}
    upstream=${upstream%-*}
    dir="$src_root/$pkg-$upstream"
    if [ "$(cat "$dir/.skalaro-unpacked" 2>/dev/null)" = "$version" ]; then
      echo "$dir"
      return 0
    fi
    log "fetching source package $pkg $version"
    staging=$(mktemp -d "$src_root/.fetch-XXXXXX")
    if (cd "$staging" && apt-get source -q --only-source "$pkg=$version" >&2) &&
      [ -d "$staging/$pkg-$upstream" ]; then
      rm -rf "$dir"
      mv "$staging/$pkg-$upstream" "$dir"
      echo "$version" >"$dir/.skalaro-unpacked"
      rm -rf "$staging"
      echo "$dir"
      return 0
    fi
    rm -rf "$staging"
  done
  die "apt-get source $pkg failed for every version"
}

# The C files of zlib's library, which the builds compile directly (Debian's
# tarball carries no makefile for a cross or instrumented build).
zlib_library_files="adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback
  inffast inflate inftrees trees uncompr zutil"

# Compiles zlib from its sources into prefix/lib/libz.a with its headers in
# prefix/include: zlib_build SOURCE OBJECTS PREFIX ARCHIVER COMPILER [FLAGS...]
zlib_build() {
  local src=$1 obj=$2 prefix=$3 archiver=$4 f; shift 4
  rm -rf "$obj"; mkdir -p "$obj"
  for f in $zlib_library_files; do
    "$@" -D_LARGEFILE64_SOURCE=1 -c "$src/$f.c" -o "$obj/$f.o"
  done
  rm -f "$prefix/lib/libz.a"
  "$archiver" rcs "$prefix/lib/libz.a" "$obj"/*.o
  cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
}

# Configures, builds and installs one CMake library as a Release build into
# PREFIX (where it also finds the libraries built before it); the caller's
# toolchain or compiler and the library's options follow:
# cmake_library_build SOURCE BUILD_DIR PREFIX [CMAKE OPTIONS...]
cmake_library_build() {
  local src=$1 bld=$2 prefix=$3; shift 3
  rm -rf "$bld"
  cmake -S "$src" -B "$bld" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_PREFIX_PATH="$prefix" "$@" >&2
  cmake --build "$bld" -j "$jobs" >&2
  cmake --install "$bld" >&2
}

# The CMake options of libpng and libjpeg-turbo (libjpeg 8 API) as static
# libraries alone; each build adds its zlib, SIMD and install choices.
libpng_static_options=(-DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF
  -DSKIP_INSTALL_EXECUTABLES=ON -DSKIP_INSTALL_PROGRAMS=ON)
libjpeg_static_options=(-DWITH_JPEG8=1 -DENABLE_SHARED=0 -DENABLE_STATIC=1 -DWITH_TURBOJPEG=0)
