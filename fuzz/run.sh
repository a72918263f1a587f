#!/usr/bin/env bash
# Replays every committed corpus (seeds and the inputs of past findings) and fuzzes each
# target for a fixed time, RVN_FUZZ_JOBS targets at a time (default 2).
# Usage: fuzz/run.sh <fuzz build dir> <seconds per target> [target ...]
# Exits non-zero when any target finds something; the reproducer is kept under
# $RVN_FUZZ_ARTIFACTS (default: build dir/fuzz-artifacts), with the target's log beside it.
set -euo pipefail
build=${1:?fuzz build dir}
seconds=${2:-60}
shift 2 || shift $#
src=$(cd "$(dirname "$0")" && pwd)
artifacts=${RVN_FUZZ_ARTIFACTS:-$build/fuzz-artifacts}
jobs=${RVN_FUZZ_JOBS:-2}
mkdir -p "$artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for bin in "$build"/fuzz/*_fuzz; do names+=("$(basename "$bin" _fuzz)"); done
fi

# One target: its corpus replayed, then fuzzed; new inputs go to a scratch directory, the
# committed corpus is only read. The exit status is the target's.
fuzz_one() {
  local name=$1 work seeds log
  work=$(mktemp -d)
  seeds="$src/corpus/$name"
  mkdir -p "$seeds"
  log="$artifacts/$name.log"
  local rc=0
  "$build/fuzz/${name}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$artifacts/$name-" "$work" "$seeds" >"$log" 2>&1 || rc=$?
  rm -rf "$work"
  return $rc
}

report() {
  local name=$1 rc=$2 log="$artifacts/$1.log"
  if [ "$rc" -ne 0 ]; then
    echo "== $name: FINDING (see $log)"
    grep -E 'ERROR|SUMMARY|invariant failed|Test unit written' "$log" | head -5 || true
  else
    echo "== $name: ${seconds}s, nothing found"
  fi
  grep -E 'stat::number_of_executed_units|cov:' "$log" | tail -2 | sed 's/^/   /' || true
}

status=0
declare -A pids=()
for name in "${names[@]}"; do
  while [ ${#pids[@]} -ge "$jobs" ]; do
    # Wait for any one target, then report it.
    wait -n || true
    for n in "${!pids[@]}"; do
      if ! kill -0 "${pids[$n]}" 2>/dev/null; then
        rc=0
        wait "${pids[$n]}" || rc=$?
        report "$n" "$rc"
        [ "$rc" -eq 0 ] || status=1
        unset "pids[$n]"
      fi
    done
  done
  fuzz_one "$name" &
  pids[$name]=$!
done
for n in "${!pids[@]}"; do
  rc=0
  wait "${pids[$n]}" || rc=$?
  report "$n" "$rc"
  [ "$rc" -eq 0 ] || status=1
done
exit $status
