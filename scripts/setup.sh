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
  clang
  locales
)

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

# True when clang links a fuzz target with the sanitizers the fuzz build uses.
fuzzer_links() {
  local dir rc=0
  dir=$(mktemp -d)
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
    >"$dir/target.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$dir/target.cpp" -o "$dir/target" >/dev/null 2>&1 ||
    rc=1
  rm -rf "$dir"
  return "$rc"
}

# libFuzzer and the sanitizer runtimes of whichever clang is installed. Debian
# ships them in a package named after clang's major version (libclang-rt-N-dev
# since LLVM 14, inside libclang-common-N-dev before that); the unversioned
# libclang-rt-dev follows the release's default clang. The first of these the
# archives know is installed, and an empty fuzz target must link afterwards.
ensure_fuzzer_runtime() {
  fuzzer_links && return 0
  local major candidate
  major=$(clang -dumpversion | cut -d. -f1)
  as_root apt-get update -q
  for candidate in "libclang-rt-$major-dev" libclang-rt-dev "libclang-common-$major-dev"; do
    apt-cache show "$candidate" >/dev/null 2>&1 || continue
    log "installing $candidate for clang $major"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      "$candidate"
    fuzzer_links && return 0
  done
  die "no package gives clang $major a fuzzer runtime"
}

# Source packages come from the same archives the machine already uses: the
# deb-src entry is derived from the existing Debian sources, so no address is
# written into the project. The derived file is itself the sign that this
# was done.
enable_source_packages() {
  local derived=/etc/apt/sources.list.d/skalaro-deb-src.sources
  # Earlier versions of this script left an empty file there as a marker.
  if [ -f "$derived" ] && [ ! -s "$derived" ]; then as_root rm -f "$derived"; fi
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    derived=/etc/apt/sources.list.d/skalaro-deb-src.sources
    [ -s "$derived" ] && return 0
    sed -e 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      as_root tee "$derived" >/dev/null
  elif grep -qE '^deb ' /etc/apt/sources.list 2>/dev/null; then
    derived=/etc/apt/sources.list.d/skalaro-deb-src.list
    [ -s "$derived" ] && return 0
    grep -E '^deb ' /etc/apt/sources.list | sed -e 's/^deb /deb-src /' |
      as_root tee "$derived" >/dev/null
  else
    die "no Debian sources file to derive a deb-src entry from"
  fi
  as_root apt-get update -q
}

# The run command starts Wine in the German locale when there is one, so that
# the platform's own requester buttons read "Ja"/"Nein" as on a German
# Windows. Making it takes a few seconds, once; without it they stay English.
ensure_german_locale() {
  german_locale_present && return 0
  as_root localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 ||
    log "no German locale: the requesters' buttons stay English"
}

install_packages
ensure_german_locale
ensure_fuzzer_runtime
enable_source_packages
"$here/build_win64_deps.sh"
"$here/build_jhead.sh"
"$here/fetch_test_pictures.sh"
log "setup complete"
