#!/usr/bin/env bash
# Builds the libFuzzer targets (CMake preset "fuzz") and runs each one for a bounded time on
# a copy of its committed seed corpus, so that nothing a run finds is written into the
# repository. Fails on any crash, leak, timeout, out-of-memory or sanitizer report, and
# prints the executions of every target and its rate (executions a second).
#   tools/run-fuzzers.sh [seconds per target, default 30] [target ...]
# FUZZ_JOBS (default 2) targets run side by side, but for those that run alone (runs_alone);
# findings are kept in build/fuzz/findings.
set -uo pipefail

seconds=${1:-30}
shift || true
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root" || exit 1

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz --target fuzzers -j "${JOBS:-2}" || exit 1

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for dir in fuzz/corpus/*/; do targets+=("$(basename "$dir")"); done
fi

# The file-based targets write their input to a scratch folder each run, and every input that
# finds something new is written into the work corpus (a thousand files in a loader run, each
# a file creation that costs a disk more than a run): keep both in memory, in a temporary
# folder of this run's own that goes with it (a target that fails leaves its scratch there).
temp=${TMPDIR:-}
if [ -z "$temp" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then temp=/dev/shm; fi
run=$(mktemp -d "${temp:-/tmp}/quillon-fuzz-run.XXXXXX") || exit 1
trap 'rm -rf "$run"' EXIT
export TMPDIR=$run
work=$run/corpus
logs=build/fuzz/logs
findings=build/fuzz/findings
mkdir -p "$logs" "$findings"

# Extra options per target: dictionaries and input sizes. The loader target's input is read
# in at most 32 blocks: past two kilobytes an input only makes its blocks and lines longer,
# and its time grows with its length (a long run's rate fell below 8,000 a second at 4 KiB).
options_for() {
  case "$1" in
    xml_parse_fuzzer | keyword_file_fuzzer | settings_load_fuzzer) echo "-dict=fuzz/xml.dict -max_len=16384" ;;
    log_load_fuzzer) echo "-dict=fuzz/log.dict -max_len=2048" ;;
    packed_log_fuzzer) echo "-dict=fuzz/log.dict -max_len=8192" ;;
    stamp_forms_fuzzer) echo "-dict=fuzz/stamp.dict -max_len=4096" ;;
    *) echo "-max_len=4096" ;;
  esac
}

# Megabytes of freed blocks kept poisoned. The loader target frees under 1 MiB an input (its
# inputs are at most 2 KiB), and cycling through more only costs page faults.
quarantine_for() {
  case "$1" in
    log_load_fuzzer) echo 16 ;;
    *) echo 64 ;;
  esac
}

run_one() {
  local t=$1
  local bin=build/fuzz/fuzz/$t
  if [ ! -x "$bin" ]; then
    echo "run-fuzzers: $t was not built" >"$logs/$t.log"
    echo 1 >"$logs/$t.rc"
    return
  fi
  mkdir -p "$work/$t"
  cp -R "fuzz/corpus/$t/." "$work/$t/"
  # A smaller quarantine and shorter allocation stacks than the defaults: the targets allocate
  # a great deal, and a freed block still stays poisoned for far longer than one input runs.
  # -reload=0: no other process adds to the corpus, and reading it again every second would
  # only run once more the inputs that this run has just added.
  # shellcheck disable=SC2046
  ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1:quarantine_size_mb=$(quarantine_for "$t"):malloc_context_size=10 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$bin" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2560 -print_final_stats=1 -reload=0 \
      -artifact_prefix="$findings/$t-" $(options_for "$t") "$work/$t" >"$logs/$t.log" 2>&1 &
  local pid=$!
  wait "$pid"
  local rc=$?
  # A target that ends well has removed its scratch folder (fuzz_support.h).
  if [ "$rc" = 0 ] && [ -e "$TMPDIR/quillon-fuzz-$pid" ]; then
    echo "run-fuzzers: $t left its scratch folder behind" >>"$logs/$t.log"
    rc=1
  fi
  echo "$rc" >"$logs/$t.rc"
}

# Targets that run with no other beside them: the compressed-log target maps and unmaps
# buffers of a few hundred kilobytes for every input, and each unmapping flushes the other
# processor's address cache too, which took a third off the rate of the target beside it.
runs_alone() {
  case "$1" in
    packed_log_fuzzer) return 0 ;;
    *) return 1 ;;
  esac
}

jobs=${FUZZ_JOBS:-2}
running=0
for t in "${targets[@]}"; do
  if runs_alone "$t"; then
    wait
    running=0
    run_one "$t"
    continue
  fi
  run_one "$t" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
done
wait

failed=0
printf '%-26s %14s %8s %8s  %s\n' target executions 'exec/s' corpus result
for t in "${targets[@]}"; do
  log=$logs/$t.log
  rc=$(cat "$logs/$t.rc" 2>/dev/null || echo 1)
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" 2>/dev/null | tail -1 | grep -o '[0-9]*$')
  rate=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" 2>/dev/null | tail -1 | grep -o '[0-9]*$')
  corpus=$(find "$work/$t" -type f 2>/dev/null | wc -l)
  result=ok
  if [ "$rc" != 0 ] || grep -qE 'ERROR: (libFuzzer|AddressSanitizer|LeakSanitizer)|runtime error:|fuzz check failed' "$log"; then
    result="FAILED (exit $rc, see $log)"
    failed=1
  fi
  printf '%-26s %14s %8s %8s  %s\n' "$t" "${execs:-?}" "${rate:-?}" "$corpus" "$result"
done
if [ "$failed" != 0 ]; then
  for t in "${targets[@]}"; do
    if [ "$(cat "$logs/$t.rc" 2>/dev/null || echo 1)" != 0 ]; then
      echo "---- $t ----"
      grep -m1 -B2 -A25 -E 'fuzz check failed|ERROR:|runtime error:|run-fuzzers:' "$logs/$t.log" | head -40
    fi
  done
  echo "run-fuzzers: findings are in $findings"
  exit 1
fi
echo "run-fuzzers: no findings"
