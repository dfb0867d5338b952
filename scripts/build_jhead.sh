#!/usr/bin/env bash
# Builds jhead.exe, the EXIF tool that the resize job runs, for win64 from
# Debian's jhead source package with the cross compiler, statically linked,
# into build/jhead/jhead.exe. Nothing is done when it is there already.
#
# Debian's jhead (3.06) still has the "-te" option the program relies on.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"
. "$here/source_packages.sh"

jhead_root="$build_root/jhead"
src_root="$jhead_root/src"
target="$jhead_root/jhead.exe"
[ -f "$target" ] && exit 0
mkdir -p "$src_root"

src=$(fetch_source jhead)
log "building jhead.exe"
work="$jhead_root/work"
rm -rf "$work"; mkdir -p "$work"
cp "$src"/*.c "$src"/*.h "$work/"
# The directory search keeps its handle in a long, which Windows x64 makes
# 32 bits wide; a handle above 4 GB would be cut and fault in the next
# search call. It is kept in an intptr_t instead, as the call returns it.
sed -i 's/^\( *\)long find_handle;/\1intptr_t find_handle;/' "$work/myglob.c" "$work/jhead.c"
grep -q 'intptr_t find_handle' "$work/myglob.c" || die "jhead's search handle was not widened"

# The Unix makefile leaves out the Windows wildcard module; the list is the
# one of the source's own Windows makefile.
"$mingw_triplet-gcc-posix" -O2 -s -static -w -o "$work/jhead.exe" \
  "$work"/{jhead,jpgfile,jpgqguess,myglob,paths,exif,iptc,gpsinfo,makernote}.c
mv "$work/jhead.exe" "$target"
log "jhead.exe ready in $jhead_root"
