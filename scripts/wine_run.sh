#!/usr/bin/env bash
# Runs one Windows test program under Wine. The Wine prefix and display come
# from scripts/test.sh (WINEPREFIX, DISPLAY); run by hand, a prefix under the
# build tree is used. With SKALARO_TEST_LOGS set, the program's output is kept
# there too, one file a program, so that test cases can be counted.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
if [ -z "${SKALARO_TEST_LOGS:-}" ]; then
  exec wine "$@"
fi
mkdir -p "$SKALARO_TEST_LOGS"
wine "$@" 2>&1 | tee "$SKALARO_TEST_LOGS/$(basename "$1" .exe).log"
exit "${PIPESTATUS[0]}"
