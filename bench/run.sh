#!/usr/bin/env bash
# The benchmark in one command: builds the release preset, generates the 1 GiB log under
# build/bench once (delete it to generate it again) and times the loader, a search and an
# extraction against the references measured in the same run.
# Usage: bench/run.sh [size, e.g. 1G or 256M] [--repeat N]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
size="${1:-1G}"
shift || true
cmake --preset release >/dev/null
cmake --build --preset release -j 2
mkdir -p build/bench
log="build/bench/bench-$size.log"
[ -f "$log" ] || build/release/bench/quillon-loggen --size "$size" "$log"
# Read it once so that the page cache is warm before the first figure.
cat "$log" >/dev/null
build/release/bench/quillon-bench "$@" "$log"
