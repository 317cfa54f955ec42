#!/usr/bin/env bash
# Maps the Windows font names that the program and its dialogs ask for to fonts installed
# here, in the project's Wine prefix (build/wineprefix): the Japanese ones to the IPA
# fonts, and Tahoma (the English dialog and menu font) to DejaVu Sans, which is a little
# wider, so English text that fits here fits on Windows. Safe to run again and again.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$here/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
# wine turns its arguments into UTF-16 by the locale: it must be a UTF-8 one.
export LC_ALL=C.UTF-8

key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
# name = substitute; the full-width names are those of Japanese Windows.
substitutes=(
  "ＭＳ Ｐゴシック=IPAPGothic"
  "ＭＳ ゴシック=IPAGothic"
  "MS PGothic=IPAPGothic"
  "MS Gothic=IPAGothic"
  "MS UI Gothic=IPAPGothic"
  "Tahoma=DejaVu Sans"
)

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wine wineboot >/dev/null 2>&1 </dev/null || true
fi

# Marlett draws the caption buttons. This Wine build does not read the fonts of the
# fonts-wine package from where it puts them, but it does read the prefix's Fonts folder.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
  cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
fi

# The registry file keeps non-ASCII names as \x{...} escapes; compare in that form.
escaped() {
  python3 -c 'import sys; print("".join(c if ord(c) < 128 else "\\x%x" % ord(c) for c in sys.argv[1]))' "$1"
}

# Like Tahoma on Windows, its stand-in shows Japanese text through a linked font.
link_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
# The bold faces need a link of their own (window captions are drawn in bold).
for linked in "DejaVu Sans" "DejaVu Sans Bold" "Tahoma" "Tahoma Bold"; do
  if ! grep -qF "\"$linked\"=str(7):\"ipagp.ttf,IPAPGothic" "$WINEPREFIX/system.reg" 2>/dev/null; then
    wine reg add "$link_key" /v "$linked" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0ipag.ttf,IPAGothic' /f \
      >/dev/null 2>&1 </dev/null
  fi
done
# The English log font shows Japanese log text through the fixed-pitch Gothic.
for linked in "Courier New" "Courier New Bold"; do
  if ! grep -qF "\"$linked\"=str(7):\"ipag.ttf,IPAGothic" "$WINEPREFIX/system.reg" 2>/dev/null; then
    wine reg add "$link_key" /v "$linked" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1 </dev/null
  fi
done

for entry in "${substitutes[@]}"; do
  name="${entry%%=*}"
  value="${entry#*=}"
  if grep -qF "\"$(escaped "$name")\"=\"$value\"" "$WINEPREFIX/system.reg" 2>/dev/null; then
    continue
  fi
  wine reg add "$key" /v "$name" /t REG_SZ /d "$value" /f >/dev/null 2>&1 </dev/null
done
