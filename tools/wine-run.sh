#!/usr/bin/env bash
# Runs a Windows executable under Wine in the project's private prefix (build/wineprefix),
# prepared first if it is not yet. CTest runs the Windows tests through it.
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/wine-env.sh"
quillon_prepare_prefix
exec wine "$@"
