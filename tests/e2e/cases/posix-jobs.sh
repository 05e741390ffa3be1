# The road of a job on POSIX, with the clock set by faketime (helpers in lib/jobs.sh). The
# C locale gives the default date-time text: "12/9/26 2:30:00 pm".

error_lines() { cat "$1/scheduler.err" 2>/dev/null | grep -c "^Harbovale Scheduler: $2\$"; }
has_error_line() { [ "$(error_lines "$1" "$2")" -ge 1 ]; }

case_road_of_one_job() {
  local app="$CASE/app" cmd
  new_copy "$app"
  add_counting_job "$app" backup 0010000 14:30:00  # Wednesdays
  cmd=$(counting_command "$app" backup)
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "the job starts" wait_for 30 started_once "$app" backup || return 1
  check "its start is recorded" store_has_line "$app" "$cmd=12/9/26 2:30:00 pm"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "it started once" equals "$(starts "$app" backup)" 1
  check "no error was reported" equals "$(cat "$app/scheduler.err")" ""
}

case_restart_within_the_window_starts_nothing_twice() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" backup 1111111 14:30:00
  start_scheduler "$app" "@$WEDNESDAY 14:29:59"
  require "the job starts" wait_for 30 started_once "$app" backup || return 1
  require "the scheduler ends on SIGTERM" stop_scheduler "$app" || return 1
  rm -f "$app/exit_code"
  add_marker "$app" 14:30:03
  start_scheduler "$app" "@$WEDNESDAY 14:29:59"
  require "the clock passes 14:30:03" wait_marker "$app" || return 1
  check "the job started only before the restart" equals "$(starts "$app" backup)" 1
}

case_tick_errors_are_reported_on_standard_error() {
  local short="$CASE/short" weekend="$CASE/weekend"
  new_copy "$short"
  add_idle_job "$short"
  { for i in $(seq 1 22); do printf 'line %d\r\n' "$i"; done; } >"$short/Backup Jobs/short.hvj"
  start_scheduler "$short" "@2026-12-12 14:29:59"
  check "a short job file" wait_for 30 has_error_line "$short" "List index out of bounds (22)"
  stop_scheduler "$short"

  new_copy "$weekend"
  add_counting_job "$weekend" weekdays 11111 14:30:00  # five flags: no Saturday
  start_scheduler "$weekend" "@2026-12-12 14:29:59"
  check "a missing weekend flag, on every tick" \
    wait_for 30 eval '[ "$(error_lines "$weekend" "Range check error.")" -ge 2 ]'
}

case_follows_the_backup_application() {
  local app="$CASE/app" lock
  lock="$(runtime_dir)/HarbovaleMutex_8m01349r464.lock"
  new_copy "$app"
  add_idle_job "$app"
  add_counting_job "$app" late-marker 1111111 14:30:20
  add_counting_job "$app" end-marker 1111111 14:30:24
  require "the backup application runs" hold_lock "$lock" || return 1
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "start-up is done" wait_for 30 test -s "$(autostart_entry)" || return 1
  add_counting_job "$app" while-running 1111111 14:30:00
  require "a job added while it runs is picked up" wait_for 30 started_once "$app" while-running ||
    return 1
  release_lock
  add_counting_job "$app" after-release 1111111 14:30:00
  require "a job added right after it ends is picked up" \
    wait_for 30 started_once "$app" after-release || return 1
  # By 14:30:20 more than ten ticks have passed without the lock: the folder is no longer
  # read, so emptying it neither drops the listed jobs nor ends the program.
  require "the clock passes 14:30:20" wait_for 30 started_once "$app" late-marker || return 1
  rm -f "$app/Backup Jobs/"*.hvj
  check "the listed jobs still start" wait_for 30 started_once "$app" end-marker
  check "the scheduler keeps running" scheduler_running "$app"
  check "the autostart entry stays" test -s "$(autostart_entry)"
}
