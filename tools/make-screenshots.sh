#!/usr/bin/env bash
# Makes the README's screenshots from the current Windows build: the GUI test of the working
# state saves the frame in both languages, and they are converted to docs/screenshots/*.png;
# then the same at 200% display scale (the prefix at 192 DPI, on a screen of its own that
# holds the twice as large frame), as docs/screenshots/view-*-192dpi.png.
# Look at each one before committing it. Usage: make screenshots
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$here/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$WINEPREFIX"
out="$here/build/screenshots"
mkdir -p "$out"

xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 70 89); do
    if [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      xvfb_pid=$!
      export DISPLAY=":$n"
      break
    fi
  done
  for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
fi
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true; }
trap cleanup EXIT
wine wineboot >/dev/null 2>&1 </dev/null || true
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
bash "$here/tools/wine-fonts.sh" >/dev/null 2>&1 || true

rm -f "$out"/view-*.bmp
# The test saves view-en.bmp and view-ja.bmp into the folder the variable names.
QUILLON_SCREENSHOTS="$(winepath -w "$out")" LC_ALL=en_US.UTF-8 \
  wine "$here/build/windows/tests/gui/gui_tests.exe" --gtest_filter='ViewScreenshotTest.*' >/dev/null
for lang in en ja; do
  convert "$out/view-$lang.bmp" "$here/docs/screenshots/view-$lang.png"
  echo "screenshot: docs/screenshots/view-$lang.png"
done

# At 192 DPI the frame is 2400 x 1800: a new Wine session on a screen large enough.
timeout 60 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
for n in $(seq 70 89); do
  if [ ! -e "/tmp/.X$n-lock" ]; then
    Xvfb ":$n" -screen 0 2560x1920x24 -nolisten tcp >/dev/null 2>&1 &
    big_pid=$!
    break
  fi
done
trap 'cleanup; [ -n "${big_pid:-}" ] && kill "$big_pid" 2>/dev/null || true' EXIT
export DISPLAY=":$n"
for _ in $(seq 1 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
QUILLON_SCREENSHOTS="$(winepath -w "$out")" LC_ALL=en_US.UTF-8 bash "$here/tools/wine-at-dpi.sh" 192 \
  wine "$here/build/windows/tests/gui/gui_tests.exe" --gtest_filter='ViewScreenshotTest.*' >/dev/null
for lang in en ja; do
  convert "$out/view-$lang-192dpi.bmp" "$here/docs/screenshots/view-$lang-192dpi.png"
  echo "screenshot: docs/screenshots/view-$lang-192dpi.png"
done
timeout 60 wineserver -w 2>/dev/null || true
