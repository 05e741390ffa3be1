# The road of a job under Wine, with the clock set by faketime: discovery of job files,
# following the backup application's mutex, the once-a-day start, the last-run store and the
# error boxes of ticks (helpers in lib/jobs.sh).

case_store_line_follows_the_locale() {
  local app="$CASE/app" cmd
  CASE_LC_ALL=de_DE.UTF-8
  new_copy "$app"
  add_counting_job "$app" backup 1111100 14:30:00
  cmd=$(counting_command "$app" backup)
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "the job starts" wait_for 60 started_once "$app" backup || return 1
  check "its start is recorded in German form" \
    store_has_line "$app" "$cmd=$(store_time_text "$WEDNESDAY" 14:30:00)"
}

case_stored_run_decides() {
  local app="$CASE/app" done_today ran_yesterday
  new_copy "$app"
  add_counting_job "$app" today 1111111 14:30:00
  add_counting_job "$app" yesterday 1111111 14:30:00
  add_marker "$app" 14:30:04
  done_today=$(counting_command "$app" today)
  ran_yesterday=$(counting_command "$app" yesterday)
  printf '%s=%s\r\n%s=%s\r\n' "$done_today" "$(store_time_text "$WEDNESDAY" 14:30:00)" \
    "$ran_yesterday" "$(store_time_text "$(day_before "$WEDNESDAY")" 14:30:00)" >"$app/qelvarn.dat"
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "the job recorded for today does not start" equals "$(starts "$app" today)" 0
  check "the job recorded for yesterday starts once" equals "$(starts "$app" yesterday)" 1
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
    store_has_line "$app" "${cmd//=/|}=$(store_time_text "$WEDNESDAY" 14:30:00)"
  check "and no other line for it" equals "$(store_text "$app" | grep -c level)" 1
}

case_job_without_command_starts_silently() {
  local app="$CASE/app"
  new_copy "$app"
  add_job "$app" nocmd.hvj "do_schedule=1,days=1111111,time=14:30:00"
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "its start is recorded under the empty name" \
    store_has_line "$app" "=$(store_time_text "$WEDNESDAY" 14:30:00)"
  check "no error box" equals "$(box_count)" 0
}

# A failing job repeats its error on every tick: one box only, and the jobs listed before it
# still start while the box is open.
case_weekend_range_error_shows_one_box() {
  local app="$CASE/app"
  new_copy "$app"
  add_marker "$app" 14:30:04                        # listed first ("marker" < "weekdays")
  add_counting_job "$app" weekdays 11111 14:30:00   # five flags: no Saturday
  start_scheduler "$app" "@$SATURDAY 14:29:58"
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

