#!/usr/bin/env bash
# Runs one Windows test program under Wine. The Wine prefix and display come
# from scripts/test.sh (WINEPREFIX, DISPLAY); run by hand, a prefix under the
# build tree is used. With SKALARO_TEST_LOGS set, the program's output is kept
# there too, one file a program, so that test cases can be counted. Without
# a program it only prepares the prefix.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Once per prefix, for windows that look as on Windows: Xvfb has no window
# manager, so Wine draws the frames itself ("unmanaged" windows) and the
# captions and their buttons exist for clicks and screenshots; and Wine's
# own fonts (Marlett for the caption buttons, Tahoma) go where this Wine
# build looks for them, the prefix's font folder.
if [ ! -f "$WINEPREFIX/.skalaro-display-setup" ]; then
  if wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1; then
    if [ -d /usr/share/wine/fonts ] && [ -d "$WINEPREFIX/drive_c/windows/Fonts" ]; then
      cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    touch "$WINEPREFIX/.skalaro-display-setup"
  fi
fi
[ $# -gt 0 ] || exit 0
if [ -z "${SKALARO_TEST_LOGS:-}" ]; then
  exec wine "$@"
fi
mkdir -p "$SKALARO_TEST_LOGS"
# The output goes to a file, not through a pipe: a Wine service that the
# program happens to start (the desktop, the device manager) inherits the
# program's standard output and outlives it, and a pipe would then stay
# open until the time-out.
log_file="$SKALARO_TEST_LOGS/$(basename "$1" .exe).log"
wine "$@" >"$log_file" 2>&1
rc=$?
cat "$log_file"
exit "$rc"
