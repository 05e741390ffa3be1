# The road of a job under Wine, with the clock set by faketime: discovery of job files,
# following the backup application's mutex, the once-a-day start, the last-run store and the
# error boxes of ticks (helpers in lib/jobs.sh).

case_road_of_one_job() {
  local app="$CASE/app" cmd
  new_copy "$app"
  add_counting_job "$app" backup 0010000 14:30:00  # Wednesdays
  cmd=$(counting_command "$app" backup)
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "the job starts" wait_for 60 started_once "$app" backup || return 1
  check "its start is recorded in US form" store_has_line "$app" "$cmd=12/9/2026 2:30:00 PM"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "it started once" equals "$(starts "$app" backup)" 1
  check "no error box" equals "$(box_count)" 0
}

case_store_line_follows_the_locale() {
  local app="$CASE/app" cmd
  CASE_LC_ALL=de_DE.UTF-8
  new_copy "$app"
  add_counting_job "$app" backup 1111100 14:30:00
  cmd=$(counting_command "$app" backup)
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "the job starts" wait_for 60 started_once "$app" backup || return 1
  check "its start is recorded in German form" store_has_line "$app" "$cmd=9.12.2026 14:30:00"
}

case_stored_run_decides() {
  local app="$CASE/app" done_today ran_yesterday
  new_copy "$app"
  add_counting_job "$app" today 1111111 14:30:00
  add_counting_job "$app" yesterday 1111111 14:30:00
  add_marker "$app" 14:30:04
  done_today=$(counting_command "$app" today)
  ran_yesterday=$(counting_command "$app" yesterday)
  printf '%s=12/9/2026 2:30:00 PM\r\n%s=12/8/2026 2:30:00 PM\r\n' "$done_today" "$ran_yesterday" \
    >"$app/qelvarn.dat"
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "the job recorded for today does not start" equals "$(starts "$app" today)" 0
  check "the job recorded for yesterday starts once" equals "$(starts "$app" yesterday)" 1
}

case_restart_within_the_window_starts_nothing_twice() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" backup 1111111 14:30:00
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "the job starts" wait_for 60 started_once "$app" backup || return 1
  require "the scheduler ends when closed" stop_scheduler "$app" || return 1
  rm -f "$app/exit_code"
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"  # the same moments again
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "the job started only before the restart" equals "$(starts "$app" backup)" 1
}

case_no_start_after_midnight() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" night 1111111 23:58:00
  add_marker "$app" 00:00:05
  start_scheduler "$app" "@2026-12-10 00:00:00"
  require "the clock passes 00:00:05" wait_marker "$app" || return 1
  check "yesterday's 23:58 job does not start" equals "$(starts "$app" night)" 0
}

case_command_with_equals_starts_once() {
  local app="$CASE/app" cmd
  new_copy "$app"
  cmd="$(counting_command "$app" backup) level=full"
  add_job "$app" backup.hvj "do_schedule=1,days=1111111,time=14:30:00,cmd=$cmd"
  add_marker "$app" 14:30:05
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "the clock passes 14:30:05" wait_marker "$app" || return 1
  check "it started once" equals "$(starts "$app" backup)" 1
  check "one store line, '=' kept as '|'" \
    store_has_line "$app" "${cmd//=/|}=12/9/2026 2:30:00 PM"
  check "and no other line for it" equals "$(store_text "$app" | grep -c level)" 1
}

case_job_without_command_starts_silently() {
  local app="$CASE/app"
  new_copy "$app"
  add_job "$app" nocmd.hvj "do_schedule=1,days=1111111,time=14:30:00"
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "its start is recorded under the empty name" store_has_line "$app" "=12/9/2026 2:30:00 PM"
  check "no error box" equals "$(box_count)" 0
}

# A failing job repeats its error on every tick: one box only, and the jobs listed before it
# still start while the box is open.
case_weekend_range_error_shows_one_box() {
  local app="$CASE/app"
  new_copy "$app"
  add_marker "$app" 14:30:04                        # listed first ("marker" < "weekdays")
  add_counting_job "$app" weekdays 11111 14:30:00   # five flags: no Saturday
  start_scheduler "$app" "@2026-12-12 14:29:58"
  require "an error box opens" wait_box 60 || return 1
  check "its text" equals "$(box_text)" "Range check error."
  require "ticks go on while it is open" wait_marker "$app" || return 1
  check "still exactly one box" equals "$(box_count)" 1
  press_ok
  check "the next tick fails again" wait_box 30
}

case_month_text_too_short_for_the_31st() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" monthly 111111111111111111111111111111 10:00:00
  start_scheduler "$app" "@2026-12-31 09:59:58"
  require "an error box opens" wait_box 60 || return 1
  check "its text" equals "$(box_text)" "Range check error."
}

case_unreadable_time_shows_the_conversion_error() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" backup 1111111 "half past two"
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "an error box opens" wait_box 60 || return 1
  check "its text" equals "$(box_text)" "'half past two' is not a valid date and time."
}

case_short_job_file_shows_index_error() {
  local app="$CASE/app"
  new_copy "$app"
  add_idle_job "$app"
  { for i in $(seq 1 22); do printf 'line %d\r\n' "$i"; done; } >"$app/Backup Jobs/short.hvj"
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "an error box opens" wait_box 60 || return 1
  check "its text, without a full stop" equals "$(box_text)" "List index out of bounds (22)"
}

case_upper_case_extension_is_not_a_job() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" upper 1111111 14:30:00
  mv "$app/Backup Jobs/upper.hvj" "$app/Backup Jobs/Upper.HVJ"
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "the .HVJ file was not read" equals "$(starts "$app" upper)" 0
}

# While the backup application holds its mutex every tick reads the job folder; for ten ticks
# after it lets go too; after that the list stays as it was.
case_follows_the_backup_application() {
  local app="$CASE/app"
  new_copy "$app"
  add_idle_job "$app"
  add_counting_job "$app" late-marker 1111111 14:30:25
  add_counting_job "$app" end-marker 1111111 14:30:30
  require "the backup application runs" hold_mutex HarbovaleMutex_8m01349r464 || return 1
  start_scheduler "$app" "@$WEDNESDAY 14:29:55"
  require "start-up is done" wait_for 60 run_value_is "$(windows_path "$app/$SCHEDULER_EXE")" || return 1
  add_counting_job "$app" while-running 1111111 14:30:00
  require "a job added while it runs is picked up" wait_for 60 started_once "$app" while-running ||
    return 1
  release_mutex
  add_counting_job "$app" after-release 1111111 14:30:00
  require "a job added right after it ends is picked up" \
    wait_for 30 started_once "$app" after-release || return 1
  # By 14:30:25 more than ten ticks have passed without the mutex: the folder is no longer
  # read, so emptying it neither drops the listed jobs nor ends the program.
  require "the clock passes 14:30:25" wait_for 60 started_once "$app" late-marker || return 1
  rm -f "$app/Backup Jobs/"*.hvj
  check "the listed jobs still start" wait_for 60 started_once "$app" end-marker
  check "the scheduler keeps running" scheduler_running "$app"
  check "the Run value stays" run_value_is "$(windows_path "$app/$SCHEDULER_EXE")"
}
