# The one Wine and Xvfb set-up of the project, sourced by every script that runs Wine:
#   . "$here/tools/wine-env.sh"
# Sourcing only sets the environment (the private prefix build/wineprefix, no debug output,
# no Mono or Gecko prompts). The functions do the rest:
#   quillon_prepare_prefix         creates and prepares the prefix (once; cheap after that)
#   quillon_start_display [WxH]    when DISPLAY is unset, starts Xvfb on a free display with
#                                  openbox as its window manager, and exports DISPLAY
#   quillon_stop_display           ends what quillon_start_display started
# The displays tried are QUILLON_DISPLAYS (first-last, default 90-139), one range for all.
quillon_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="$quillon_root/build/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

# Bump when quillon_prepare_prefix changes what it sets, so that prepared prefixes get it too.
quillon_prefix_version=2

# The registry file keeps non-ASCII names as \x{...} escapes; compare in that form.
quillon_reg_escaped() {
  python3 -c 'import sys; print("".join(c if ord(c) < 128 else "\\x%x" % ord(c) for c in sys.argv[1]))' "$1"
}

# Maps the Windows font names that the program and its dialogs ask for to fonts installed
# here: the Japanese ones to the IPA fonts, and Tahoma (the English dialog and menu font) to
# DejaVu Sans, which is a little wider, so English text that fits here fits on Windows.
# (A subshell: the locale below is for these calls only.)
quillon_prepare_fonts() (
  # wine turns its arguments into UTF-16 by the locale: it must be a UTF-8 one.
  export LC_ALL=C.UTF-8
  local key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
  local link_key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local system="$WINEPREFIX/system.reg" entry name value linked
  # name = substitute; the full-width names are those of Japanese Windows.
  local substitutes=(
    "ＭＳ Ｐゴシック=IPAPGothic"
    "ＭＳ ゴシック=IPAGothic"
    "MS PGothic=IPAPGothic"
    "MS Gothic=IPAGothic"
    "MS UI Gothic=IPAPGothic"
    "Tahoma=DejaVu Sans"
  )
  # Marlett draws the caption buttons. This Wine build does not read the fonts of the
  # fonts-wine package from where it puts them, but it does read the prefix's Fonts folder.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ -d "$fonts" ] && [ ! -f "$fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  # Like Tahoma on Windows, its stand-in shows Japanese text through a linked font; the
  # bold faces need a link of their own (window captions are drawn in bold).
  for linked in "DejaVu Sans" "DejaVu Sans Bold" "Tahoma" "Tahoma Bold"; do
    grep -qF "\"$linked\"=str(7):\"ipagp.ttf,IPAPGothic" "$system" 2>/dev/null ||
      wine reg add "$link_key" /v "$linked" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic\0ipag.ttf,IPAGothic' /f \
        >/dev/null 2>&1 </dev/null
  done
  # The English log font shows Japanese log text through the fixed-pitch Gothic.
  for linked in "Courier New" "Courier New Bold"; do
    grep -qF "\"$linked\"=str(7):\"ipag.ttf,IPAGothic" "$system" 2>/dev/null ||
      wine reg add "$link_key" /v "$linked" /t REG_MULTI_SZ /d 'ipag.ttf,IPAGothic' /f >/dev/null 2>&1 </dev/null
  done
  for entry in "${substitutes[@]}"; do
    name="${entry%%=*}"
    value="${entry#*=}"
    grep -qF "\"$(quillon_reg_escaped "$name")\"=\"$value\"" "$system" 2>/dev/null ||
      wine reg add "$key" /v "$name" /t REG_SZ /d "$value" /f >/dev/null 2>&1 </dev/null
  done
)

# Creates the prefix and starts Wine's background services detached from the caller's
# pipes (a service started by the first test would hold CTest's output open), then sets
# what the tests and screenshots need. Later calls find the stamp and only start the
# services. Serialised by a lock, so that parallel callers prepare it once.
quillon_prepare_prefix() {
  local stamp="$WINEPREFIX/quillon-prepared"
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    # The body runs without the lock's descriptor: the services that wineboot starts
    # outlive this call and would hold the lock as long as they run.
    (
      wine wineboot >/dev/null 2>&1 </dev/null || true
      [ "$(cat "$stamp" 2>/dev/null)" = "$quillon_prefix_version" ] && exit 0
      # Unmanaged windows: the window manager neither decorates nor places Wine's windows,
      # so screenshots and sizes are those the program asked for.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null || true
      # The dialog preview draws its own captions, in screenshots too.
      wine reg add 'HKCU\Software\Wine\AppDefaults\dialog_preview.exe\X11 Driver' /v Decorated /t REG_SZ /d N /f \
        >/dev/null 2>&1 </dev/null || true
      # A crash prints winedbg's backtrace and ends the program, instead of waiting on a
      # crash dialog that nobody closes until the test's time runs out.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 </dev/null || true
      quillon_prepare_fonts
      echo "$quillon_prefix_version" >"$stamp"
    ) 9>&-
  ) 9>"$WINEPREFIX.lock"
}

quillon_xvfb_pid=""
quillon_wm_pid=""

# Starts Xvfb with a screen of SIZE (default 1280x1024) on the first display of the range
# that it can take, and openbox on it; exports DISPLAY. Does nothing when DISPLAY is set.
quillon_start_display() {
  local size="${1:-1280x1024}" range="${QUILLON_DISPLAYS:-90-139}" n
  [ -z "${DISPLAY:-}" ] || return 0
  for n in $(seq "${range%-*}" "${range#*-}"); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp >/dev/null 2>&1 &
    quillon_xvfb_pid=$!
    local tries
    for tries in $(seq 1 50); do
      DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 && break
      kill -0 "$quillon_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    # Another run took the display between the look and the start: the next one.
    if ! kill -0 "$quillon_xvfb_pid" 2>/dev/null; then
      quillon_xvfb_pid=""
      continue
    fi
    export DISPLAY=":$n"
    quillon_start_window_manager
    return 0
  done
  echo "wine-env: no free display in $range" >&2
  return 1
}

# Without a window manager Wine waits for one at every window it hides (about 2 s for each
# closed dialog) and can leave the keyboard focus nowhere after it.
quillon_start_window_manager() {
  command -v openbox >/dev/null || {
    echo "wine-env: openbox is missing (tools/bootstrap.sh installs it)" >&2
    return 0
  }
  openbox --sm-disable >/dev/null 2>&1 </dev/null &
  quillon_wm_pid=$!
  # Ready when it has claimed the screen.
  local tries
  for tries in $(seq 1 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
  done
}

quillon_stop_display() {
  # Either may have gone already; under set -e a failed kill must not end the caller.
  if [ -n "$quillon_wm_pid" ]; then kill "$quillon_wm_pid" 2>/dev/null || true; fi
  if [ -n "$quillon_xvfb_pid" ]; then kill "$quillon_xvfb_pid" 2>/dev/null || true; fi
  quillon_wm_pid=""
  quillon_xvfb_pid=""
  return 0
}
