# Shared settings of the build scripts; sourced, not run.
top=${top:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
build_root="$top/build"
deps_root="$build_root/deps-win64"
deps_prefix="$deps_root/prefix"
mingw_triplet=x86_64-w64-mingw32
jobs=$(nproc 2>/dev/null || echo 2)

log() { printf '[skalaro] %s\n' "$*" >&2; }
die() { printf '[skalaro] error: %s\n' "$*" >&2; exit 1; }
