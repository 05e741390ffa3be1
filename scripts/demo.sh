#!/usr/bin/env bash
# Builds the scheduler for this machine and shows it at work: a copy of the program in
# demo/ beside a "Backup Jobs" folder holding one job due at the start of the next minute,
# with its companion harbovale-jobs beside it. The companion shows the job scheduled, the
# scheduler starts its command once and records the start in its last-run store
# "qelvarn.dat", the companion shows it started, and the scheduler is stopped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
cmake --preset native >/dev/null
# Quiet unless it fails.
log=$(cmake --build --preset native --target scheduler lister -j "$(nproc)" 2>&1) ||
  { echo "$log" >&2; exit 1; }

demo=$root/demo
rm -rf "$demo"
mkdir -p "$demo/Backup Jobs" "$demo/config" "$demo/run"
cp build/native/harbovale-scheduler build/native/harbovale-jobs "$demo/"
# Autostart entry, lock and per-user state go to the demo folder, not to your desktop session; the
# companion looks there too, so it sees the demo's scheduler.
export XDG_CONFIG_HOME=$demo/config XDG_RUNTIME_DIR=$demo/run XDG_STATE_HOME=$demo/state

# The job runs at the start of the next minute (or the one after, if that is too close).
due=$(date -d "+$(( 10#$(date +%S) > 50 ? 2 : 1 )) minute" +%H:%M:00)
# Schedule values cannot hold '>' or '|' (they read back as '}' and ','): the redirection
# lives in a script of its own.
printf '#!/bin/sh\necho "demo backup started at $(date +%%T)" >> "%s/started.log"\n' "$demo" >"$demo/backup.sh"
{
  for i in $(seq 1 22); do echo "line $i of the backup application's own settings"; done
  echo "do_schedule=1,days=1111111,time=$due,cmd=sh $demo/backup.sh"
} | sed 's/$/\r/' >"$demo/Backup Jobs/demo.hvj"

echo "Job file:   $demo/Backup Jobs/demo.hvj (its 23rd line is the schedule)"
tail -n 1 "$demo/Backup Jobs/demo.hvj"
echo "Starting the scheduler at $(date +%T); the job is due at $due."

"$demo/harbovale-scheduler" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

# Prints the command as you would type it, then runs it: the companion exits 0 when every
# listed job is fine.
jobs_table() {
  echo
  echo "\$ cd $demo && ./harbovale-jobs"
  (cd "$demo" && ./harbovale-jobs) || { echo "harbovale-jobs exited with $?." >&2; exit 1; }
}

# Waits until the file has content, for at most the given number of seconds.
wait_for() {
  local deadline=$((SECONDS + $2))
  until [ -s "$1" ] || [ $SECONDS -ge $deadline ]; do sleep 0.2; done
  [ -s "$1" ]
}

# The scheduler holds its lock before it writes the autostart entry: then it runs.
autostart=$demo/config/autostart/harbovale-scheduler.desktop
wait_for "$autostart" 10 || { echo "The scheduler did not start." >&2; exit 1; }
jobs_table

if ! wait_for "$demo/started.log" 150; then
  echo "The job did not run within the deadline." >&2
  exit 1
fi
echo
echo "The job ran:                $(cat "$demo/started.log")"
jobs_table

kill -TERM $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
trap - EXIT

echo
echo "Last-run store qelvarn.dat: $(tr -d '\r' <"$demo/qelvarn.dat")"
echo "Autostart entry written:    $autostart"
