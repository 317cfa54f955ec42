#!/usr/bin/env bash
# Starts the viewer under Wine on a log (default: the bundled sample) in a folder of its
# own under build/run, with the sample keyword file. With a display the window stays
# until you close it; without one it runs under Xvfb, writes a screenshot and exits.
# Usage: tools/run-viewer.sh [log-file] [ja|en]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
log="$(realpath "${1:-$here/samples/sample.log}")"
lang="${2:-en}"
. "$here/tools/wine-env.sh"
[ "$lang" = ja ] && export LC_ALL=ja_JP.UTF-8 || export LC_ALL=en_US.UTF-8

run="$here/build/run/$lang"
mkdir -p "$run/help"
cp "$here/build/windows/src/shell/quillon.exe" "$run/"
cp "$here"/res/help/*.html "$run/help/" 2>/dev/null || true
[ -f "$run/keyword_default.xml" ] || cp "$here/samples/keyword_default.xml" "$run/"
# A first start would ask for the language: answer it in the settings file, with the
# code-page box on Auto, the further stamp forms and colour codes drawn as a new installation
# has them.
if [ ! -f "$run/quillon.ini" ]; then
  code=0; [ "$lang" = ja ] && code=1
  printf '<?xml version="1.0" encoding="utf-8"?>\r\n<config><language>%s</language>\r\n<encoding>-1</encoding>\r\n<stamp_forms>1</stamp_forms>\r\n<color_codes>1</color_codes>\r\n</config>\r\n' "$code" > "$run/quillon.ini"
fi

headless=0
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  quillon_start_display 1280x900
fi
quillon_prepare_prefix

cd "$run"
winlog="$(winepath -w "$log" 2>/dev/null || echo "$log")"
if [ "$headless" = 0 ]; then
  exec wine quillon.exe "$winlog"
fi
wine quillon.exe "$winlog" >/dev/null 2>&1 &
pid=$!
sleep "${QUILLON_SHOT_DELAY:-10}"
mkdir -p "$here/build/screenshots"
shot="$here/build/screenshots/quillon-$lang.png"
import -window root "$shot"
echo "screenshot: $shot"
kill "$pid" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
quillon_stop_display
