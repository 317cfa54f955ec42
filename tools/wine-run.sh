#!/usr/bin/env bash
# Runs a Windows executable under Wine in the project's private prefix (build/wineprefix),
# prepared first if it is not yet; on a display of its own (Xvfb and openbox) when none is
# set. CTest runs the Windows tests through it.
# Usage: wine-run.sh PROGRAM.exe [ARGS...]
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/wine-env.sh"
if [ -n "${DISPLAY:-}" ]; then
  quillon_prepare_prefix
  exec wine "$@"
fi
# The display first: the session that the preparation starts keeps the display it found.
quillon_start_display || exit 2
quillon_prepare_prefix
wine "$@"
status=$?
# Let this session's wineserver go with the display, so that the next run starts afresh.
wineserver -k >/dev/null 2>&1
quillon_stop_display
exit $status
