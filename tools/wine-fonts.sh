#!/usr/bin/env bash
# Prepares the project's Wine prefix (build/wineprefix), the dialog fonts among the rest:
# tools/wine-env.sh does it; this is for running it by hand. Safe to run again and again.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/wine-env.sh"
quillon_prepare_prefix
