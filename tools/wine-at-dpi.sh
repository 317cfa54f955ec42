#!/usr/bin/env bash
# Runs a command with the Wine prefix's display scale set to DPI (the LogPixels value that
# Windows keeps for 100% = 96, 150% = 144, 200% = 192), then puts the old value back, so
# that the tests that expect 96 DPI find it. Usage: wine-at-dpi.sh DPI COMMAND [ARGS...]
# The prefix is shared: run it when no other Wine program uses the prefix (CTest: RUN_SERIAL).
set -uo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/wine-env.sh"
quillon_prepare_prefix
dpi="$1"
shift
key='HKCU\Control Panel\Desktop'
old="$(wine reg query "$key" /v LogPixels 2>/dev/null </dev/null | tr -d '\r' | awk '$1 == "LogPixels" { print $3 }')"
restore() {
  if [ -n "$old" ]; then
    wine reg add "$key" /v LogPixels /t REG_DWORD /d "$((old))" /f >/dev/null 2>&1 </dev/null
  else
    wine reg delete "$key" /v LogPixels /f >/dev/null 2>&1 </dev/null
  fi
}
trap restore EXIT
wine reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null || exit 2
"$@"
