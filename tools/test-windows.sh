#!/usr/bin/env bash
# Runs the Windows test executables under Wine: one persistent wineserver for the
# private prefix, and Xvfb with a window manager when no display is set (the GUI tests
# need a screen).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/wine-env.sh"

quillon_start_display
# A server that is already running for the prefix serves this run too.
wineserver -p >/dev/null 2>&1 || true
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  quillon_stop_display
}
trap cleanup EXIT
quillon_prepare_prefix

ctest --preset windows --timeout 600
