# Shared settings of the build scripts; sourced, not run.
top=${top:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
build_root="$top/build"
deps_root="$build_root/deps-win64"
deps_prefix="$deps_root/prefix"
mingw_triplet=x86_64-w64-mingw32
jobs=$(nproc 2>/dev/null || echo 2)

log() { printf '[skalaro] %s\n' "$*" >&2; }
die() { printf '[skalaro] error: %s\n' "$*" >&2; exit 1; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# The German locale, which setup makes when it can: Wine run in it shows the
# platform's own requester buttons as "Ja"/"Nein".
german_locale_present() {
  locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'
}

# Runs a command on the display there is, or inside Xvfb without one.
with_display() {
  if [ -z "${DISPLAY:-}" ]; then
    xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
  else
    "$@"
  fi
}
