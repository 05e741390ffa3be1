#!/usr/bin/env bash
# Runs every benchmark of the native build and prints the tables of BENCHMARKS.md, in markdown,
# with the date, the commit and the machine: the idle tick, date-time text against the C
# library, the work over the job folder against its floor (Google Benchmark, harbovale_bench,
# each benchmark repeated and the repetitions interleaved at random), then the resident memory
# of the idle scheduler beside cron's (bench/memory.sh, three runs: the figures of one run vary
# by about 0.1 MB with what the page cache holds). The tables go to standard output, progress
# to standard error.
#   bench/run.sh [extra Google Benchmark options, e.g. --benchmark_filter=Rebuild]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${BENCH_REPETITIONS:-5}
memory_runs=${BENCH_MEMORY_RUNS:-3}

cmake --preset native >/dev/null
cmake --build build/native --target harbovale_bench scheduler >/dev/null

work=$(mktemp -d /tmp/hv-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

echo "== benchmarks ($repetitions repetitions each)" >&2
build/native/harbovale_bench --benchmark_repetitions="$repetitions" \
  --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true \
  --benchmark_out="$work/bench.json" --benchmark_out_format=json "$@" >&2

memory=()
for run in $(seq 1 "$memory_runs"); do
  echo "== resident memory, run $run of $memory_runs" >&2
  bash bench/memory.sh build/native 1000 >"$work/memory.$run"
  cat "$work/memory.$run" >&2
  memory+=("$work/memory.$run")
done

commit=$(git rev-parse --short HEAD)
git diff --quiet HEAD 2>/dev/null || commit+=" with changes not committed"
python3 bench/tables.py "$work/bench.json" "$commit" "${memory[@]}"
