#!/usr/bin/env bash
# Packs the release zip from the current Windows build, unpacks it into an empty folder,
# checks what it holds, and starts quillon.exe there as a first start would: the language
# dialog must appear, and after its OK the settings file must be written beside the program
# and the bundled keyword file left as it was.
# Usage: release_test.sh <source folder> <Windows build folder> <release_probe.exe>
set -euo pipefail
src="$1"
build="$2"
probe="$3"

. "$src/tools/wine-env.sh"
export LC_ALL=en_US.UTF-8

work="$(mktemp -d "${TMPDIR:-/tmp}/quillon-release-test.XXXXXX")"
unpacked="$work/unpacked"
cleanup() {
  # A quillon.exe left running by a failed run: the one whose folder is ours, by its id.
  for pid in $(pgrep -x quillon.exe 2>/dev/null || true); do
    if [ "$(readlink "/proc/$pid/cwd" 2>/dev/null)" = "$unpacked" ]; then kill "$pid" 2>/dev/null || true; fi
  done
  quillon_stop_display
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Pack.
bash "$src/tools/make-release.sh" --no-build --build "$build" --output "$work/out" >/dev/null
zip="$work/out/quillon-1.0.0.0-win64.zip"
[ -f "$zip" ] || fail "no zip written"

# What it holds: exactly these files, and no settings file.
expected="$( { printf '%s\n' quillon.exe quillon-cli.exe keyword_default.xml README.txt
              for page in "$src"/res/help/*.html; do echo "help/$(basename "$page")"; done; } | sort)"
actual="$(unzip -Z1 "$zip" | grep -v '/$' | sort)"
[ "$expected" = "$actual" ] || fail "zip holds:
$actual
expected:
$expected"

mkdir "$unpacked"
unzip -q "$zip" -d "$unpacked"
cmp -s "$unpacked/keyword_default.xml" "$src/samples/keyword_default.xml" || fail "keyword file differs from the sample"
head -c 3 "$unpacked/README.txt" | od -An -tx1 | grep -q 'ef bb bf' || fail "README.txt has no byte-order mark"
grep -q $'\r$' "$unpacked/README.txt" || fail "README.txt lines do not end in CR LF"
grep -q 'LOG Analysis Assist Tool' "$unpacked/README.txt" || fail "README.txt has no English part"
grep -q 'ログ解析支援ツール' "$unpacked/README.txt" || fail "README.txt has no Japanese part"

# A screen for the program.
quillon_start_display 1024x768
quillon_prepare_prefix

# First start from the unpacked folder.
folder="$(winepath -w "$unpacked" 2>/dev/null)"
[ -n "$folder" ] || fail "winepath failed"
report="$(timeout 150 wine "$probe" "$folder" 90 2>/dev/null | tr -d '\r')" || fail "probe failed:
$report"
echo "$report"
grep -q '^LANGUAGE_DIALOG Choose Language$' <<<"$report" || fail "no English language dialog"
grep -q '^MAIN_WINDOW Quillon - LOG Analysis Assist Tool$' <<<"$report" || fail "no main window"
grep -q '^EXITED ' <<<"$report" || fail "the program did not end"

# The choice is saved beside the program, in the settings file that was missing.
[ -f "$unpacked/quillon.ini" ] || fail "quillon.ini not written beside quillon.exe"
grep -q '<language>0</language>' "$unpacked/quillon.ini" || fail "quillon.ini does not hold the English choice"
# The bundled keyword file was read, not written over with an empty list.
cmp -s "$unpacked/keyword_default.xml" "$src/samples/keyword_default.xml" || fail "the first start changed keyword_default.xml"
echo "release zip: ok"
