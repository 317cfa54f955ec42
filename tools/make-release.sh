#!/usr/bin/env bash
# Builds the Windows executables and packs build/release/quillon-1.0.0.0-win64.zip:
# quillon.exe, quillon-cli.exe, the help pages in help\, the sample keyword file and a
# read-me for Windows users (CR LF, UTF-8 with a byte-order mark for older Notepads).
# Usage: tools/make-release.sh [--no-build] [--build FOLDER] [--output FOLDER]
#   --no-build  pack what the Windows build folder holds now (the release test uses this)
#   --build     the Windows build folder (default build/windows)
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# Keep in step with CAppParameter::GetVersion.
version=1.0.0.0
out="$here/build/release"
win="$here/build/windows"
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --no-build) build=0 ;;
    --output) [ $# -ge 2 ] || { echo "--output needs a folder" >&2; exit 2; }; out="$2"; shift ;;
    --build) [ $# -ge 2 ] || { echo "--build needs a folder" >&2; exit 2; }; win="$2"; shift ;;
    *) echo "usage: $0 [--no-build] [--build FOLDER] [--output FOLDER]" >&2; exit 2 ;;
  esac
  shift
done

if [ "$build" = 1 ]; then
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target quillon quillon-cli -j "${JOBS:-2}"
fi

gui="$win/src/shell/quillon.exe"
cli="$win/src/cli/quillon-cli.exe"
keywords="$here/samples/keyword_default.xml"
readme="$here/tools/release/README.txt"
shopt -s nullglob
help_pages=("$here"/res/help/*.html)
shopt -u nullglob
missing=0
for f in "$gui" "$cli" "$keywords" "$readme"; do
  [ -f "$f" ] || { echo "make-release: missing $f" >&2; missing=1; }
done
[ ${#help_pages[@]} -gt 0 ] || { echo "make-release: no help pages in res/help" >&2; missing=1; }
[ "$missing" = 0 ] || exit 1
command -v zip >/dev/null || { echo "make-release: zip is not installed (tools/bootstrap.sh)" >&2; exit 1; }

mkdir -p "$out"
out="$(cd "$out" && pwd)"
stage="$(mktemp -d "${TMPDIR:-/tmp}/quillon-release.XXXXXX")"
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/help"
cp "$gui" "$cli" "$stage/"
cp "${help_pages[@]}" "$stage/help/"
cp "$keywords" "$stage/keyword_default.xml"
{ printf '\xef\xbb\xbf'; sed 's/\r$//; s/$/\r/' "$readme"; } > "$stage/README.txt"
# Symbols are of no use to the user and triple the size.
if command -v x86_64-w64-mingw32-strip >/dev/null; then
  x86_64-w64-mingw32-strip "$stage/quillon.exe" "$stage/quillon-cli.exe"
fi

zipfile="$out/quillon-$version-win64.zip"
rm -f "$zipfile.part"
(cd "$stage" && zip -q -X -r "$zipfile.part" quillon.exe quillon-cli.exe help keyword_default.xml README.txt)
mv -f "$zipfile.part" "$zipfile"
echo "$zipfile"
