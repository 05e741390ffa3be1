#!/usr/bin/env bash
# Resident memory of the idle native scheduler with 1,000 jobs listed, beside the cron daemon
# (Debian's `cron`) measured in the same run: VmRSS and VmHWM from /proc/<pid>/status, with
# the anonymous (heap, stacks) and file-backed (program and libraries) parts.
#   bench/memory.sh [build folder with harbovale-scheduler] [number of jobs]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="$(cd "${1:-$here/../build/native}" && pwd)"
jobs=${2:-1000}
[ -x "$build/harbovale-scheduler" ] || { echo "missing $build/harbovale-scheduler" >&2; exit 2; }
command -v cron >/dev/null || { echo "cron is not installed (scripts/install-deps.sh)" >&2; exit 2; }

work=$(mktemp -d /tmp/hv-memory.XXXXXX)
scheduler_pid="" cron_pid=""
finish() {
  [ -z "$scheduler_pid" ] || kill "$scheduler_pid" 2>/dev/null || true
  [ -z "$cron_pid" ] || kill "$cron_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

# Jobs scheduled on no day: listed on every tick, never started.
mkdir -p "$work/app/Backup Jobs" "$work/config" "$work/runtime"
cp "$build/harbovale-scheduler" "$work/app/"
head=""
for line in $(seq 1 22); do head+="source$line=/home/me/Documents/folder $line"$'\r\n'; done
for i in $(seq 1 "$jobs"); do
  printf '%sdo_schedule=1,days=0000000,time=12:%02d:00,cmd=/usr/bin/backup --job %d\r\n' \
    "$head" $((i % 60)) "$i" >"$work/app/Backup Jobs/job$i.hvj"
done

(cd "$work/app" && exec env XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
  ./harbovale-scheduler >/dev/null 2>"$work/scheduler.err" </dev/null) &
scheduler_pid=$!
cron -f >/dev/null 2>&1 </dev/null &
cron_pid=$!

# Let the scheduler reach its steady state: the first tick rebuilds, later ticks only check.
sleep 4
for pid in "$scheduler_pid" "$cron_pid"; do
  kill -0 "$pid" 2>/dev/null || { echo "process $pid ended early" >&2; cat "$work/scheduler.err" >&2; exit 1; }
done

field() { awk -v name="$2:" '$1 == name { print $2 }' "/proc/$1/status"; }
report() {
  printf '%-26s %8s %8s %8s %8s\n' "$1" "$(field "$2" VmRSS)" "$(field "$2" VmHWM)" \
    "$(field "$2" RssAnon)" "$(field "$2" RssFile)"
}
printf '%-26s %8s %8s %8s %8s   (kB)\n' process VmRSS VmHWM RssAnon RssFile
report "scheduler, $jobs jobs" "$scheduler_pid"
report "cron -f" "$cron_pid"

scheduler_rss=$(field "$scheduler_pid" VmRSS)
cron_rss=$(field "$cron_pid" VmRSS)
if ((scheduler_rss < cron_rss)); then
  echo "memory: the scheduler's resident memory is below cron's"
else
  echo "memory: the scheduler's resident memory is NOT below cron's"
fi
