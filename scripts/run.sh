#!/usr/bin/env bash
# Runs Skalaro.exe under Wine:   bash scripts/run.sh [PICTURE...]
#
# Builds what is missing first (running setup.sh when the cross compiler,
# Wine or the libraries are not there yet). The program runs from build/run,
# a folder like a user's installation: Skalaro.exe and jhead.exe, and beside
# them the settings (Skalaro.ini) and the copies (ResizedImages), which stay
# from run to run.
#
# On the user's display ($DISPLAY) the window stays for the user; without a
# display the program runs inside Xvfb and is closed again at the end (its
# settings are written). Either way a screenshot of the window is saved as
# build/screenshots/skalaro.png.
#
# Pictures given are handled as if dropped on the file list. The command
# returns when that job has finished: skalaro_driver watches the window
# until the file list is back, which happens only when the job has ended,
# and prints the job's progress and every requester it shows (inside Xvfb,
# where nobody can, it also answers them).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
. "$here/common.sh"

win64="$build_root/win64"
run_dir="$build_root/run"
screenshot="$build_root/screenshots/skalaro.png"
driver="$win64/tests/app/skalaro_driver.exe"
export WINEPREFIX=${WINEPREFIX:-$build_root/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}

build_program() {
  if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null || ! command -v wine >/dev/null ||
    ! command -v xvfb-run >/dev/null || ! command -v import >/dev/null ||
    [ ! -f "$deps_prefix/lib/libpng.a" ] || [ ! -f "$build_root/jhead/jhead.exe" ]; then
    "$here/setup.sh"
  fi
  if [ ! -f "$win64/build.ninja" ]; then
    cmake -S "$top" -B "$win64" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw64-toolchain.cmake" \
      -DSKALARO_DEPS_PREFIX="$deps_prefix" >/dev/null
  fi
  log "building Skalaro.exe"
  cmake --build "$win64" -j "$jobs" --target skalaro_package skalaro_driver >/dev/null
  mkdir -p "$run_dir"
  cp "$win64/Skalaro/Skalaro.exe" "$win64/Skalaro/jhead.exe" "$run_dir/"
}

# The pictures as Windows paths: Wine shows the Unix root as drive Z:.
windows_paths=()
for picture in "$@"; do
  [ -f "$picture" ] || die "no such picture: $picture"
  full=$(realpath "$picture")
  windows_paths+=("Z:${full//\//\\}")
done

# Runs the program on the display there is and waits as the header says.
session() {
  local headless=$1
  "$here/wine_run.sh"  # prepares the Wine prefix once, before two programs use it
  # Requesters' own buttons read "Ja"/"Nein" as on a German Windows when
  # setup could make the German locale.
  local language=()
  if german_locale_present; then language=(env LC_ALL=de_DE.UTF-8); fi
  "${language[@]}" "$here/wine_run.sh" "$run_dir/Skalaro.exe" "${windows_paths[@]}" \
    >/dev/null 2>&1 &
  local program=$!
  local frame
  frame=$(wine "$driver" window 180) || die "Skalaro's window did not appear"
  if [ ${#windows_paths[@]} -gt 0 ]; then
    log "resizing ${#windows_paths[@]} picture(s)"
    wine "$driver" job 3600 $([ "$headless" = 1 ] && echo answer) ||
      die "the job did not finish (was the window closed?)"
  fi
  sleep 1  # the list has painted itself
  read -r x y width height <<<"$frame"
  mkdir -p "$(dirname "$screenshot")"
  import -window root -crop "${width}x${height}+${x}+${y}" +repage "$screenshot"
  log "screenshot of the window: $screenshot"
  if [ ${#windows_paths[@]} -gt 0 ]; then
    log "the copies are in $run_dir/ResizedImages:"
    ls -l "$run_dir/ResizedImages" >&2
  fi
  if [ "$headless" = 1 ]; then
    wine "$driver" close 120 || die "Skalaro did not end"
    wait "$program" || true
  elif [ ${#windows_paths[@]} -eq 0 ]; then
    log "Skalaro runs until its window is closed"
    wait "$program" || true
  fi
}

if [ "${SKALARO_RUN_SESSION:-}" = headless ]; then
  session 1
elif [ -n "${DISPLAY:-}" ]; then
  build_program
  session 0
else
  build_program
  log "no display: running inside Xvfb"
  SKALARO_RUN_SESSION=headless exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    "$0" "$@"
fi
