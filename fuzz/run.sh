#!/usr/bin/env bash
# Replays every committed corpus (seeds and the inputs of past findings) and fuzzes each
# target for a fixed time. Usage: fuzz/run.sh <fuzz build dir> <seconds per target>
# Exits non-zero on the first finding; the reproducer is kept under $RVN_FUZZ_ARTIFACTS
# (default: build dir/fuzz-artifacts).
set -euo pipefail
build=${1:?fuzz build dir}
seconds=${2:-60}
src=$(cd "$(dirname "$0")" && pwd)
artifacts=${RVN_FUZZ_ARTIFACTS:-$build/fuzz-artifacts}
mkdir -p "$artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
status=0
for bin in "$build"/fuzz/*_fuzz; do
  name=$(basename "$bin" _fuzz)
  work=$(mktemp -d)
  seeds="$src/corpus/$name"
  mkdir -p "$seeds"
  log="$artifacts/$name.log"
  echo "== $name: ${seconds}s"
  # New inputs go to the scratch directory; the committed corpus is only read.
  if ! "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$name-" "$work" "$seeds" >"$log" 2>&1; then
    echo "FINDING in $name (see $log):"
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 || true
    status=1
  fi
  grep -E 'stat::number_of_executed_units|cov:' "$log" | tail -2 | sed 's/^/   /' || true
  rm -rf "$work"
  [ $status -eq 0 ] || break
done
exit $status
