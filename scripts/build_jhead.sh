#!/usr/bin/env bash
# Builds jhead.exe, the EXIF tool that the resize job runs, for win64 from
# Debian's jhead source package with the cross compiler, statically linked,
# into build/jhead/jhead.exe. Nothing is done when it is there already.
#
# Debian's jhead (3.06) still has the "-te" option the program relies on.
#
# Like Skalaro.exe it declares UTF-8 as its ANSI code page
# (scripts/resources/jhead.manifest), so that it opens the very files it is
# given, whatever their names; a jhead.exe built before that is built anew.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"
. "$here/source_packages.sh"

jhead_root="$build_root/jhead"
src_root="$jhead_root/src"
target="$jhead_root/jhead.exe"
[ -f "$target" ] && grep -q activeCodePage "$target" && exit 0
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

# The manifest goes in as resource 1 of type 24, the program's manifest.
cp "$here/resources/jhead.manifest" "$work/"
printf '1 24 "jhead.manifest"\n' >"$work/jhead.rc"
(cd "$work" && "$mingw_triplet-windres" jhead.rc -O coff -o jhead_res.o)
# The Unix makefile leaves out the Windows wildcard module; the list is the
# one of the source's own Windows makefile.
"$mingw_triplet-gcc-posix" -O2 -s -static -w -o "$work/jhead.exe" \
  "$work"/{jhead,jpgfile,jpgqguess,myglob,paths,exif,iptc,gpsinfo,makernote}.c "$work/jhead_res.o"
mv "$work/jhead.exe" "$target"
log "jhead.exe ready in $jhead_root"
