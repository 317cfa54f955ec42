#!/usr/bin/env bash
# Makes the README's screenshots from the current Windows build: the GUI tests of the working
# state and of wrapped rows save the frame in both languages, and they are converted to docs/screenshots/*.png;
# then the same at 200% display scale (the prefix at 192 DPI, on a screen of its own that
# holds the twice as large frame), as docs/screenshots/view-*-192dpi.png.
# Look at each one before committing it. Usage: make screenshots
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$here/tools/wine-env.sh"
out="$here/build/screenshots"
mkdir -p "$out"

quillon_start_display
trap quillon_stop_display EXIT
quillon_prepare_prefix

rm -f "$out"/view-*.bmp "$out"/merged-*.bmp "$out"/wrap-*.bmp
# The tests save view-en.bmp, view-ja.bmp, merged-en.bmp, merged-ja.bmp, wrap-en.bmp and
# wrap-dark-ja.bmp into the folder the variable names.
QUILLON_SCREENSHOTS="$(winepath -w "$out")" LC_ALL=en_US.UTF-8 \
  wine "$here/build/windows/tests/gui/gui_tests.exe" --gtest_filter='ViewScreenshotTest.*' >/dev/null
for name in view-en view-ja merged-en merged-ja wrap-en wrap-dark-ja; do
  convert "$out/$name.bmp" "$here/docs/screenshots/$name.png"
  echo "screenshot: docs/screenshots/$name.png"
done

# At 192 DPI the frame is 2400 x 1800: a new Wine session on a screen large enough.
timeout 60 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
quillon_stop_display
unset DISPLAY
quillon_start_display 2560x1920
QUILLON_SCREENSHOTS="$(winepath -w "$out")" LC_ALL=en_US.UTF-8 bash "$here/tools/wine-at-dpi.sh" 192 \
  wine "$here/build/windows/tests/gui/gui_tests.exe" --gtest_filter='ViewScreenshotTest.*' >/dev/null
for lang in en ja; do
  convert "$out/view-$lang-192dpi.bmp" "$here/docs/screenshots/view-$lang-192dpi.png"
  echo "screenshot: docs/screenshots/view-$lang-192dpi.png"
done
timeout 60 wineserver -w 2>/dev/null || true
