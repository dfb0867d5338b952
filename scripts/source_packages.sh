# Fetching Debian source packages for the cross builds; sourced, not run.
# The caller sets src_root, the directory the packages are unpacked in.

# Unpacks a source package once; prints its directory.
fetch_source() {
  local pkg=$1 dir
  dir=$(find "$src_root" -mindepth 1 -maxdepth 1 -type d -name "$2-*" | head -n 1)
  if [ -z "$dir" ]; then
    log "fetching source package $pkg"
    # Newest version first; a mirror may lack the sources of one suite (seen
    # with the security suite), so older versions of the package are tried too.
    local version ok=
    for version in $(apt-cache showsrc "$pkg" | awk '/^Version:/ {print $2}' | sort -V -r -u); do
      if (cd "$src_root" && apt-get source -q --only-source "$pkg=$version" >&2); then
        ok=1; break
      fi
    done
    [ -n "$ok" ] || die "apt-get source $pkg failed for every version"
    dir=$(find "$src_root" -mindepth 1 -maxdepth 1 -type d -name "$2-*" | head -n 1)
  fi
  [ -n "$dir" ] || die "no source directory for $pkg"
  echo "$dir"
}
