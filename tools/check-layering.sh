#!/usr/bin/env bash
# Fails when a library includes what lies above it: the portable core (foundation, stamps, document,
# loader, xml, keywords, config, search, merge) includes <windows.h> outside its *_win32.cpp seams, or a
# header of the Win32 UI helpers, the view, the dialogs or the shell; the helpers include the
# view, the dialogs or the shell; the view includes the dialogs or the shell; the dialogs
# include the shell.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
src="$root/src"
problems=0
report() { echo "layering: $1"; problems=$((problems + 1)); }

for folder in foundation stamps document loader xml keywords config search merge; do
  while IFS= read -r hit; do
    file="${hit%%:*}"
    case "$file" in *_win32.cpp) continue ;; esac
    report "$hit"
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' "$src/$folder" || true)
  while IFS= read -r hit; do report "$hit"; done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"(winui|view|dialogs|shell|cli)/' "$src/$folder" || true)
done
while IFS= read -r hit; do report "$hit"; done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"(view|dialogs|shell|cli)/' "$src/winui" || true)
while IFS= read -r hit; do report "$hit"; done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"(dialogs|shell|cli)/' "$src/view" || true)
while IFS= read -r hit; do report "$hit"; done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"(shell|cli)/' "$src/dialogs" || true)

# The compiler enforces the rest only while no target sees the whole source tree: the
# headers are reached through each library's own include folder (cmake/layers.cmake).
while IFS= read -r hit; do report "a global or whole-tree include path: $hit"; done < <(
  grep -rnE '^[[:space:]]*include_directories\(|include_directories\([^)]*(CMAKE_SOURCE_DIR|PROJECT_SOURCE_DIR)/src[[:space:]/)]' \
    --include=CMakeLists.txt --include='*.cmake' "$root/CMakeLists.txt" "$root/cmake" "$src" "$root/tests" "$root/bench" \
    "$root/fuzz" "$root/tools" || true)

if [ "$problems" -gt 0 ]; then
  echo "layering: $problems include(s) against the layering"
  exit 1
fi
echo "layering: ok"
