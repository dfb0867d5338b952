#!/usr/bin/env bash
# Runs one Windows test program under Wine. The Wine prefix and display come
# from scripts/test.sh (WINEPREFIX, DISPLAY); run by hand, a prefix under the
# build tree is used.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$top/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
