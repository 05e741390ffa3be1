#!/usr/bin/env bash
# Builds the scheduler for this machine and shows it at work: a copy of the program in
# demo/ beside a "Backup Jobs" folder holding one job due at the start of the next minute.
# The scheduler picks the job up, starts its command once, records the start in its
# last-run store "qelvarn.dat", and is then stopped.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native --target scheduler -j "$(nproc)" >/dev/null

demo=$root/demo
rm -rf "$demo"
mkdir -p "$demo/Backup Jobs" "$demo/config" "$demo/run"
cp build/native/harbovale-scheduler "$demo/"

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

# Autostart entry and locks go to the demo folder, not to your desktop session.
XDG_CONFIG_HOME="$demo/config" XDG_RUNTIME_DIR="$demo/run" "$demo/harbovale-scheduler" &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT

deadline=$((SECONDS + 150))
until [ -s "$demo/started.log" ] || [ $SECONDS -ge $deadline ]; do sleep 1; done
kill -TERM $pid 2>/dev/null || true
wait $pid 2>/dev/null || true
trap - EXIT

if [ -s "$demo/started.log" ]; then
  echo
  echo "The job ran:                $(cat "$demo/started.log")"
  echo "Last-run store qelvarn.dat: $(cat "$demo/qelvarn.dat" | tr -d '\r')"
  echo "Autostart entry written:    $demo/config/autostart/harbovale-scheduler.desktop"
else
  echo "The job did not run within the deadline." >&2
  exit 1
fi
