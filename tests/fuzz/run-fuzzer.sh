#!/usr/bin/env bash
# run-fuzzer.sh FUZZER SEEDS SCRATCH: runs a libFuzzer target for $FUZZ_SECONDS (60 by
# default) on a copy of its seed corpus in SCRATCH, so the checked-in corpus does not grow.
# The log and any input that fails stay in SCRATCH; on a failure the end of the log is shown.
set -euo pipefail
fuzzer=$1
seeds=$2
scratch=$3
seconds=${FUZZ_SECONDS:-60}
name=$(basename "$fuzzer")

rm -rf "$scratch"
mkdir -p "$scratch/corpus"
cp "$seeds"/* "$scratch/corpus/"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "$0")/.." && pwd)/lsan.supp"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

# Each run of an input has deadlines of its own well inside the timeout.
status=0
"$fuzzer" "$scratch/corpus" -max_total_time="$seconds" -timeout=30 -rss_limit_mb=3072 \
  -artifact_prefix="$scratch/" -print_final_stats=1 >"$scratch/fuzz.log" 2>&1 || status=$?

runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$scratch/fuzz.log")
coverage=$(grep -o 'cov: [0-9]*' "$scratch/fuzz.log" | tail -1 || true)
if [ "$status" -ne 0 ]; then
  tail -n 80 "$scratch/fuzz.log"
  echo "$name: FAILED after ${runs:-?} runs (exit $status); log and input in $scratch"
  exit 1
fi
echo "$name: ${runs:-?} runs in ${seconds} s, ${coverage:-cov: ?}, corpus $(ls "$scratch/corpus" | wc -l) files"
