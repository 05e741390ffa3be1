# Faults around the POSIX build: a full file system under the store, kills in the middle of
# saves, and job folders and stores far from the usual (sizes, bytes, a file in place of the
# folder).

# error_line_count <file> <line>: how many times that exact line stands in the file.
error_line_count() { grep -cxF -- "$2" "$1" 2>/dev/null; }

# The store lives beside the executable, so the program is copied into a small tmpfs of the
# case's own; its job commands count their starts outside it, and its standard error goes
# outside too (a full file system would swallow the error lines). The saves meet no free
# inode first ("Cannot create file"), then no free block ("Stream write error"), then room.
case_store_on_a_full_file_system() {
  local app="$CASE/app" err="$CASE/scheduler.err" before i
  require "a tmpfs is mounted for the case" mount_tmpfs "$app" size=8m,nr_inodes=64 || return 1
  new_copy "$app"
  add_job "$app" a.hvj "do_schedule=1,days=1111111,time=14:30:00,cmd=$(counting_command "$CASE" a)"
  add_job "$app" b.hvj "do_schedule=1,days=1111111,time=14:30:03,cmd=$(counting_command "$CASE" b)"
  add_job "$app" c.hvj "do_schedule=1,days=1111111,time=14:30:06,cmd=$(counting_command "$CASE" c)"
  printf 'old.sh=%s\r\nno equals sign\r\n' \
    "$(store_time_text "$(day_before "$WEDNESDAY")" 14:30:00)" >"$app/qelvarn.dat"
  cp "$app/qelvarn.dat" "$CASE/old-store"
  SCHEDULER_LOGS="$CASE"
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "start-up is done" wait_for 30 entry_is "$app/$SCHEDULER_EXE" || return 1

  # Every block, then every inode.
  dd if=/dev/zero of="$app/filler" bs=64k 2>/dev/null
  i=0
  while : 2>/dev/null >"$app/inode.$i"; do i=$((i + 1)); done
  before=$(fingerprint "$app/qelvarn.dat")

  local cannot_create="Harbovale Scheduler: Cannot create file $app/qelvarn.dat."
  require "no inode: the save reports that it cannot create the file" \
    wait_for 30 eval '[ "$(error_line_count "$err" "$cannot_create")" -ge 1 ]' || return 1
  check "qelvarn.dat is untouched" equals "$(fingerprint "$app/qelvarn.dat")" "$before"

  rm "$app/inode.0"
  require "no block: the save reports a short write" \
    wait_for 30 eval '[ "$(error_line_count "$err" "Harbovale Scheduler: Stream write error.")" -ge 1 ]' ||
    return 1
  check "qelvarn.dat is still whole and untouched" equals "$(fingerprint "$app/qelvarn.dat")" "$before"
  check "no qelvarn.dat.tmp is left" test ! -e "$app/qelvarn.dat.tmp"

  rm "$app/filler"
  require "with room again the next due job is saved and starts" wait_for 30 started_once "$CASE" c ||
    return 1
  check "the jobs whose saves failed did not start" equals "$(starts "$CASE" a)$(starts "$CASE" b)" 00
  check "one error line per failed save, nothing else" equals "$(wc -l <"$err")" 2
  check "the store keeps its old lines first" cmp -s -n "$(stat -c %s "$CASE/old-store")" \
    "$app/qelvarn.dat" "$CASE/old-store"
  local job
  for job in a:0 b:3 c:6; do
    check "it holds the start of ${job%:*} (kept in memory through the failures)" \
      store_has_line "$app" \
        "$(counting_command "$CASE" "${job%:*}")=$(store_time_text "$WEDNESDAY" "14:30:0${job#*:}")"
  done
  check "no qelvarn.dat.tmp is left" test ! -e "$app/qelvarn.dat.tmp"
}

# store_is_old_or_whole_new <store> <old store> <new line pattern>: prints "old", or the number
# of new lines when the file is the old one followed by whole, distinct new lines.
store_is_old_or_whole_new() {
  local store=$1 old=$2 pattern=$3 size
  [ -s "$store" ] || return 1
  cmp -s "$store" "$old" && { echo old; return 0; }
  size=$(stat -c %s "$old")
  cmp -s -n "$size" "$store" "$old" || return 1
  [ "$(tail -c 2 "$store" | od -An -tx1 | tr -d ' ')" == 0d0a ] || return 1
  tail -c +$((size + 1)) "$store" | LC_ALL=C awk -v pattern="^$pattern\r\$" '
    $0 !~ pattern { bad = 1 }
    { name = $0; sub(/=.*/, "", name); if (seen[name]++) bad = 1 }
    END { if (bad) exit 1; print NR }'
}

# Many due jobs make a run of saves about a third of a second long; each copy is killed at a
# random moment around it and its store must then be the old file or a whole new one.
case_kill_during_saves_leaves_old_or_new_store() {
  local jobs=200 copies=4 rounds=6 round copy folder i job_text old_lines="" yesterday today
  local -a pids=()
  local landed_old=0 landed_partial=0 landed_all=0 leftovers=0 outcome
  CASE_LC_ALL=C.UTF-8
  yesterday=$(store_time_text "$(day_before "$WEDNESDAY")" 14:30:00)
  today=$(store_time_text "$WEDNESDAY" 14:30:00)
  for i in $(seq 1 22); do job_text+="line $i"$'\r\n'; done
  for i in $(seq 1 300); do
    old_lines+="old command number $i, padded to make the store a little larger=$yesterday"$'\r\n'
  done
  for copy in $(seq 1 $copies); do
    folder="$CASE/copy$copy"
    new_copy "$folder"
    mkdir -p "$folder/Backup Jobs" "$folder/config" "$folder/runtime"
    for i in $(seq 1 $jobs); do
      printf '%sdo_schedule=1,days=1111111,time=14:30:00,cmd=true job%d\r\n' "$job_text" "$i" \
        >"$folder/Backup Jobs/job$i.hvj"
    done
    printf '%s' "$old_lines" >"$CASE/old-store"
  done
  for round in $(seq 1 $rounds); do
    pids=()
    for copy in $(seq 1 $copies); do
      folder="$CASE/copy$copy"
      cp "$CASE/old-store" "$folder/qelvarn.dat"
      rm -f "$folder/qelvarn.dat.tmp"
      # The first tick, a second after the start, finds every job due.
      (cd "$folder" && exec env LD_PRELOAD="$LIBFAKETIME" FAKETIME="@$WEDNESDAY 14:29:59" \
        LC_ALL="$CASE_LC_ALL" XDG_CONFIG_HOME="$folder/config" XDG_RUNTIME_DIR="$folder/runtime" \
        ./"$SCHEDULER_EXE" >/dev/null 2>>"$folder/scheduler.err" </dev/null) &
      pids+=($!)
    done
    local -a killers=()
    for copy in $(seq 1 $copies); do
      local delay=$((900 + RANDOM % 700))  # milliseconds
      (sleep "$((delay / 1000)).$(printf %03d $((delay % 1000)))" && kill -9 "${pids[copy - 1]}") &
      killers+=($!)
    done
    wait "${killers[@]}" "${pids[@]}" 2>/dev/null
    for copy in $(seq 1 $copies); do
      folder="$CASE/copy$copy"
      [ -e "$folder/qelvarn.dat.tmp" ] && leftovers=$((leftovers + 1))
      if ! outcome=$(store_is_old_or_whole_new "$folder/qelvarn.dat" "$CASE/old-store" \
        "true job[0-9]+=$today"); then
        check "round $round, copy $copy: the store is the old or a whole new file" false
        cp "$folder/qelvarn.dat" "$CASE/bad-store.$round.$copy" 2>/dev/null
        continue
      fi
      case $outcome in
        old) landed_old=$((landed_old + 1)) ;;
        "$jobs") landed_all=$((landed_all + 1)) ;;
        *) landed_partial=$((landed_partial + 1)) ;;
      esac
    done
  done
  log "    kills: $landed_old before the first save, $landed_partial between saves," \
    "$landed_all after the last; $leftovers inside a save (qelvarn.dat.tmp left)"
  check "every store was the old or a whole new file" equals "$CASE_FAILED" 0
  check "kills landed among the saves" [ $((landed_partial + leftovers)) -ge 1 ]
  check "no error line" eval '! cat "$CASE"/copy*/scheduler.err | grep -q .'
}

# twenty_two_lines: the lines before the schedule line of a job file.
twenty_two_lines() { local i; for i in $(seq 1 22); do printf 'line %d\r\n' "$i"; done; }

# A 10 MB job file: a 5 MB first line, and a 5 MB item in its schedule line. It is read,
# listed and started like any other.
case_ten_megabyte_job_file() {
  local app="$CASE/app" cmd
  new_copy "$app"
  mkdir -p "$app/Backup Jobs"
  cmd=$(counting_command "$app" big)
  {
    head -c 5000000 /dev/zero | tr '\0' x
    printf '\r\n'
    twenty_two_lines | tail -n +2
    printf 'do_schedule=1,days=1111111,time=14:30:00,cmd=%s,note=' "$cmd"
    head -c 5000000 /dev/zero | tr '\0' y
    printf '\r\n'
  } >"$app/Backup Jobs/big.hvj"
  start_scheduler "$app" "@$WEDNESDAY 14:29:59"
  check "the job starts" wait_for 30 started_once "$app" big
  check "no error line" no_error_reported "$app"
}

# Random bytes in a job file: reading never fails on content, so what comes is one of the
# errors of reading the schedule line (almost always too few lines: a NUL ends the text
# early), once per rebuild, and the program goes on.
case_job_file_of_random_bytes() {
  local app="$CASE/app" line allowed='^Harbovale Scheduler: (List index out of bounds \(22\)|Tokens, \{\.\.\.\} do not match\.|The character . is not allowed\.)$'
  new_copy "$app"
  add_idle_job "$app"
  head -c 65536 /dev/urandom >"$app/Backup Jobs/random.hvj"
  cp "$app/Backup Jobs/random.hvj" "$CASE/random.hvj"  # kept for a failed run
  require "the backup application runs" backup_app_starts || return 1
  start_scheduler "$app"
  require "start-up is done" wait_for 30 entry_is "$app/$SCHEDULER_EXE" || return 1
  # Every tick rebuilds: three error lines, or ten seconds of ticks without one.
  wait_for 10 eval '[ "$(wc -l <"$app/scheduler.err")" -ge 3 ]'
  line=$(head -n1 "$app/scheduler.err")
  log "    first error line: '${line:-none}'"
  check "every error line is one that reading a schedule line gives" \
    eval '! grep -qvE "$allowed" "$app/scheduler.err"'
  check "the scheduler keeps running" scheduler_running "$app"
  backup_app_stops
  check "and ends on SIGTERM with 0" stop_scheduler "$app"
}

# The job folder replaced by a file while the program runs: the next rebuild finds no folder,
# hence no job: the program unregisters and ends, without an error.
case_job_folder_replaced_by_a_file() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" backup 1111111 14:30:00
  require "the backup application runs" backup_app_starts || return 1
  start_scheduler "$app" "@$WEDNESDAY 14:29:59"
  require "the job folder was read: its job starts" wait_for 30 started_once "$app" backup ||
    return 1
  rm -r "$app/Backup Jobs"
  echo "not a folder" >"$app/Backup Jobs"
  check "it ends by itself" wait_exit "$app" 30
  check "with exit code 0" equals "$(exit_code "$app")" 0
  check "the autostart entry is gone" test ! -e "$(autostart_entry)"
  check "no error line" no_error_reported "$app"
}

# A store with a line of 1 MB: loaded, searched and written back unchanged beside the new
# line of a due job.
case_store_with_a_one_megabyte_line() {
  local app="$CASE/app" cmd yesterday
  new_copy "$app"
  add_counting_job "$app" backup 1111111 14:30:00
  cmd=$(counting_command "$app" backup)
  yesterday=$(store_time_text "$(day_before "$WEDNESDAY")" 14:30:00)
  {
    head -c 1048576 /dev/zero | tr '\0' z
    printf '=%s\r\n%s=%s\r\n' "$yesterday" "$cmd" "$yesterday"
  } >"$app/qelvarn.dat"
  head -n1 "$app/qelvarn.dat" >"$CASE/long-line"
  start_scheduler "$app" "@$WEDNESDAY 14:29:59"
  require "the job starts" wait_for 30 started_once "$app" backup || return 1
  check "the long line is written back unchanged" cmp -s <(head -n1 "$app/qelvarn.dat") "$CASE/long-line"
  check "the job's line holds today's start" \
    equals "$(store_text "$app" | tail -n +2)" "$cmd=$(store_time_text "$WEDNESDAY" 14:30:00)"
  check "no error line" no_error_reported "$app"
}

# peak_memory_kb <pid>: the highest resident memory of a running process so far, in kB.
peak_memory_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }

# A named pipe with the job extension held the scheduler and the companion in open for good:
# both now refuse it at once as no regular file, and the scheduler goes on ticking.
case_a_named_pipe_in_the_job_folder_is_refused_at_once() {
  local app="$CASE/app" pipe
  new_copy "$app"
  add_lister "$app"
  add_idle_job "$app"
  pipe="$app/Backup Jobs/x.hvj"
  mkfifo "$pipe"
  local message="Unsafe job file $pipe: it is not a regular file"
  start_scheduler "$app"
  check "the scheduler reports it" wait_for 30 grep -qsxF "Harbovale Scheduler: $message." \
    "$app/scheduler.err"
  check "and keeps running" scheduler_running "$app"
  timeout 20 env LC_ALL="$E2E_LC_ALL" XDG_CONFIG_HOME="$(config_dir)" \
    XDG_RUNTIME_DIR="$(runtime_dir)" "$app/$LISTER_EXE" --output=json >"$CASE/out.json" \
    2>/dev/null </dev/null
  check "the companion ends at once, reporting an error" equals "$?" 1
  check "and shows it" equals \
    "$(jq -r '.files[] | select(.file == "x.hvj") | .error.text' "$CASE/out.json")" "$message."
}

# A job file of 300 MB without a line break: read in a fixed buffer, it costs neither the
# scheduler nor the companion memory, and gives the error it always gave. The copy lives in a
# tmpfs of the case's own: 300 MB waiting to be written to the disk would hold up every flush
# to it (the saves' fsync) for as long as the writing takes.
case_a_300_megabyte_job_file_keeps_memory_flat() {
  local app="$CASE/app" pid peak
  require "a tmpfs is mounted for the case" mount_tmpfs "$app" size=400m || return 1
  new_copy "$app"
  add_lister "$app"
  add_idle_job "$app"
  head -c 300M /dev/zero | tr '\0' x >"$app/Backup Jobs/big.hvj"
  start_scheduler "$app"
  require "the scheduler reports the missing 23rd line" wait_for 60 grep -qsxF \
    "Harbovale Scheduler: List index out of bounds (22)" "$app/scheduler.err" || return 1
  pid=$(cat "$app/scheduler.pid")
  peak=$(peak_memory_kb "$pid")
  check "the scheduler's peak stays under 32 MB (was $peak kB)" test "$peak" -lt 32768
  # The companion ends at once: its peak is that of the finished child as the system keeps it
  # (python3 starts it, so the figure counts what the child held before it became the companion).
  env LC_ALL="$E2E_LC_ALL" XDG_CONFIG_HOME="$(config_dir)" XDG_RUNTIME_DIR="$(runtime_dir)" \
    /usr/bin/python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=open(sys.argv[1] + ".json", "w"), stderr=subprocess.DEVNULL)
print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)' "$app/$LISTER_EXE" --output=json \
    >"$CASE/lister.peak" </dev/null
  mv "$app/$LISTER_EXE.json" "$CASE/out.json"
  check "the companion shows the same error" equals \
    "$(jq -r '.files[] | select(.file == "big.hvj") | .error.text' "$CASE/out.json")" \
    "List index out of bounds (22)"
  peak=$(tail -n 1 "$CASE/lister.peak")
  check "the companion's peak stays under 32 MB (was $peak kB)" test "$peak" -lt 32768
}
