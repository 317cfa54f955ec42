#!/usr/bin/env bash
# Runs the Windows test executables under Wine: one persistent wineserver for the
# private prefix, and Xvfb when no display is set (the GUI tests need a screen).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$here/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi

# A server that is already running for the prefix serves this run too.
wineserver -p >/dev/null 2>&1 || true
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
# Set up the prefix (once) and start Wine's background services now, detached from
# CTest's pipes: a service started by the first test would hold its output open.
wine wineboot >/dev/null 2>&1 </dev/null || true
# Xvfb has no window manager: unmanaged windows spare Wine its wait for one at every
# window that is shown or hidden (two seconds each).
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
# Japanese and English dialog fonts for the GUI tests.
bash "$here/tools/wine-fonts.sh" >/dev/null 2>&1 || true

ctest --preset windows --timeout 600
