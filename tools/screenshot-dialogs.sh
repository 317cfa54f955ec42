#!/usr/bin/env bash
# Screenshots of every dialog template, frame menu and the toolbar bitmap, in Japanese and
# English, taken under Wine (on Xvfb when there is no display) into build/screenshots/,
# then the layout check in both languages. Needs dialog_preview.exe built:
#   cmake --build --preset windows --target dialog_preview
# Arguments, if any, pick the targets by id (as `dialog_preview --list` names them).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
exe="${PREVIEW_EXE:-$here/build/windows/tools/dialog-preview/dialog_preview.exe}"
out="$here/build/screenshots"
. "$here/tools/wine-env.sh"
[ -f "$exe" ] || { echo "$exe not built" >&2; exit 2; }
command -v import >/dev/null || { echo "import (imagemagick) is missing" >&2; exit 2; }
mkdir -p "$out"

trap quillon_stop_display EXIT
quillon_start_display 1024x768

# One wineserver for all the runs below; it ends by itself a minute after the last one.
wineserver -p60 >/dev/null 2>&1 </dev/null || true
quillon_prepare_prefix

# capture LOCALE FILE ARGS...: shows the target and takes the screen area it reports.
capture() {
  local locale="$1" file="$2"
  shift 2
  local line="" pid
  coproc preview { LC_ALL="$locale" LANG="$locale" exec wine "$exe" --ready --seconds 4 "$@" 2>/dev/null; }
  pid=$preview_PID
  if read -r -t 40 line <&"${preview[0]}" && [[ "$line" == READY* ]]; then
    line="${line%$'\r'}"
    read -r _ left top right bottom <<<"$line"
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$out/$file"
    echo "$out/$file"
  else
    echo "no window for $* ($locale)" >&2
    kill "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}

status=0
wanted=" $* "
while read -r id rest; do
  [ -n "$id" ] || continue
  [ $# -eq 0 ] || [[ "$wanted" == *" $id "* ]] || continue
  if [ "$id" = toolbar ]; then
    capture en_US.UTF-8 toolbar.png toolbar
    continue
  fi
  if [ "${rest##* }" = menu ]; then
    popup="${rest%% *}"
    locale=en_US.UTF-8
    [ "$id" = 10013 ] && locale=ja_JP.UTF-8
    capture "$locale" "menu_${id}_${popup}.png" "$id" "$popup"
    continue
  fi
  locale=ja_JP.UTF-8
  [ $(((id % 1000) / 100)) = 1 ] && locale=en_US.UTF-8
  capture "$locale" "dialog_${id}_${rest// /_}.png" "$id"
done < <(wine "$exe" --list 2>/dev/null | tr -d '\r')

for locale in ja_JP.UTF-8 en_US.UTF-8; do
  echo "layout check ($locale):"
  LC_ALL="$locale" LANG="$locale" wine "$exe" --check 2>/dev/null | tr -d '\r' || status=1
done
exit $status
