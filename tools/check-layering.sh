#!/usr/bin/env bash
# Fails when a library includes what lies above it: the portable core (foundation, document,
# xml, keywords, config, search) includes <windows.h> outside its *_win32.cpp seams, or a
# header of the view, the dialogs or the shell; the view includes the dialogs or the shell;
# the dialogs include the shell.
set -euo pipefail
src="$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)"
problems=0
report() { echo "layering: $1"; problems=$((problems + 1)); }

for folder in foundation document xml keywords config search; do
  while IFS= read -r hit; do
    file="${hit%%:*}"
    case "$file" in *_win32.cpp) continue ;; esac
    report "$hit"
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' "$src/$folder" || true)
  while IFS= read -r hit; do report "$hit"; done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"(view|dialogs|shell|cli)/' "$src/$folder" || true)
done
while IFS= read -r hit; do report "$hit"; done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"(dialogs|shell|cli)/' "$src/view" || true)
while IFS= read -r hit; do report "$hit"; done < <(grep -rnE '#[[:space:]]*include[[:space:]]*"(shell|cli)/' "$src/dialogs" || true)

if [ "$problems" -gt 0 ]; then
  echo "layering: $problems include(s) against the layering"
  exit 1
fi
echo "layering: ok"
