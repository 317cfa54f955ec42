#!/usr/bin/env bash
# The benchmark in one command: builds the release preset, generates the 1 GiB log under
# build/bench once (delete it to generate it again) and times the loader, a search and an
# extraction against the references measured in the same run, then the merge of two logs.
# Usage: bench/run.sh [size, e.g. 1G or 256M] [--repeat N]
#        bench/run.sh --huge [lines]   (a log of 2.5 x 10^9 lines "a", 5 GB, kept under build/bench)
# With STAMP_FORMS=1 it also writes the same log in each further stamp form (one file each,
# kept like the first) and times their loads beside the log in the line-start form.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
size="${1:-1G}"
shift || true
cmake --preset release >/dev/null
cmake --build --preset release -j 2
mkdir -p build/bench
if [ "$size" = --huge ]; then
  lines="${1:-2500000000}"
  exec build/release/bench/quillon-huge-bench "build/bench/huge-$lines.log" "$lines"
fi
log="build/bench/bench-$size.log"
[ -f "$log" ] || build/release/bench/quillon-loggen --size "$size" "$log"
# Read it once so that the page cache is warm before the first figure.
cat "$log" >/dev/null
build/release/bench/quillon-bench "$@" "$log"

if [ "${STAMP_FORMS:-0}" = 1 ]; then
  forms=()
  for form in iso-zone access-log c-library compact epoch epoch-ms prefix logfmt glog time-only json; do
    f="build/bench/bench-$size-$form.log"
    [ -f "$f" ] || build/release/bench/quillon-loggen --size "$size" --form "$form" "$f"
    forms+=("$f")
  done
  cat "$log" "${forms[@]}" >/dev/null
  build/release/bench/quillon-bench "$@" --stamp-forms "$log" "${forms[@]}"
fi

# Two logs merged by time: the second is another log of the same size and day, so that their
# rows interleave a few milliseconds apart (the merge's hardest case: short runs).
second="build/bench/bench-$size-second.log"
[ -f "$second" ] || build/release/bench/quillon-loggen --size "$size" --seed 7 "$second"
cat "$second" >/dev/null
build/release/bench/quillon-bench "$@" --merge "$log" "$second"

# The same log gzipped (-6), read as it is: indexing, a search, row fetches, the access points.
packed="$log.gz"
[ -f "$packed" ] || gzip -6 -c "$log" >"$packed"
cat "$packed" >/dev/null
build/release/bench/quillon-bench "$@" --packed "$packed"

# Following: 100,000 lines a second appended while quillon-cli rows --follow prints them.
build/release/bench/quillon-follow-bench build/release/src/cli/quillon-cli build/bench 100000 5 || true

# The GUI's figures: the Windows viewer in-process under Wine on the same log (time to the
# loaded view, to a search's and an extraction's result, and the longest time the frame
# took to answer meanwhile; the target is under 100 ms). Needs the Windows build.
gui_bench=build/windows/bench/quillon-gui-bench.exe
if [ -f "$gui_bench" ] && command -v wine >/dev/null; then
  . tools/wine-env.sh
  quillon_start_display
  quillon_prepare_prefix
  (cd build/bench && wine "../../$gui_bench" "$(winepath -w "$log")") || true
  quillon_stop_display
else
  echo "GUI figures: build the Windows preset (make windows) to get them"
fi
