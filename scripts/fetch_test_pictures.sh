#!/usr/bin/env bash
# Puts the published test pictures the tests compare against into
# build/test-pictures, from Debian's source packages: the PngSuite pictures
# of libstb and libpng1.6, and gdk-pixbuf's CMYK JPEG without an Adobe
# marker. Nothing is committed; nothing is done when they are there already.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"
. "$here/source_packages.sh"

pictures="$build_root/test-pictures"
src_root="$pictures/src"
# package, the picture's path inside it
wanted=(
  "libstb tests/pngsuite/primary/basn3p01.png"
  "libstb tests/pngsuite/primary/basn4a08.png"
  "libstb tests/pngsuite/primary/tbbn0g04.png"
  "libpng1.6 contrib/pngsuite/ftbbn0g04.png"
  "gdk-pixbuf tests/premature-end.jpg"
)
mkdir -p "$src_root"
for entry in "${wanted[@]}"; do
  read -r pkg path <<<"$entry"
  [ -f "$pictures/$(basename "$path")" ] && continue
  dir=$(fetch_source "$pkg")
  cp "$dir/$path" "$pictures/"
done
