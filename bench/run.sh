#!/usr/bin/env bash
# Runs every benchmark of the native build: the idle tick, date-time text against the C
# library, the rebuild against its floor (Google Benchmark, harbovale_bench), then the
# resident memory of the idle scheduler beside cron's (bench/memory.sh, three runs: the
# figures of one run vary by about 0.1 MB with what the page cache holds).
#   bench/run.sh [extra Google Benchmark options]
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build build/native --target harbovale_bench scheduler >/dev/null

echo "== $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)"
build/native/harbovale_bench "$@"

echo
echo "== Resident memory, idle, 1,000 jobs listed"
for run in 1 2 3; do bash bench/memory.sh build/native 1000 | if ((run == 1)); then cat; else tail -n +2; fi; done
