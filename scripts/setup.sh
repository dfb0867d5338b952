#!/usr/bin/env bash
# Installs everything Skalaro's builds and tests need on a Debian machine and
# builds the win64 libraries from Debian's source packages. Safe to run again:
# every step checks whether its result is already there.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

packages=(
  cmake ninja-build g++ pkg-config
  googletest
  zlib1g-dev libpng-dev libjpeg-dev libpcre2-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-tools
  wine wine64 fonts-wine xvfb xauth
  nasm dpkg-dev
  imagemagick libjpeg-turbo-progs
  clang libclang-rt-14-dev
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing_packages() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

install_packages() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  log "installing: $(echo $missing)"
  as_root apt-get update -q
  # shellcheck disable=SC2086
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
}

# Source packages come from the same archives the machine already uses: the
# deb-src entry is derived from the existing Debian sources, so no address is
# written into the project.
enable_source_packages() {
  local derived=/etc/apt/sources.list.d/skalaro-deb-src.sources
  [ -f "$derived" ] && return 0
  local src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ]; then
    sed -e 's/^Types:.*/Types: deb-src/' "$src" | as_root tee "$derived" >/dev/null
  elif [ -f /etc/apt/sources.list ]; then
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' |
      as_root tee /etc/apt/sources.list.d/skalaro-deb-src.list >/dev/null
    as_root touch "$derived"
  else
    die "no Debian sources file to derive a deb-src entry from"
  fi
  as_root apt-get update -q
}

install_packages
enable_source_packages
"$here/build_win64_deps.sh"
"$here/build_jhead.sh"
log "setup complete"
