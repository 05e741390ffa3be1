# The road of a job on either platform, with the clock set by faketime (helpers in
# lib/jobs.sh; each platform's library says how the backup application is played and how
# its log-on registration is seen).

case_road_of_one_job() {
  local app="$CASE/app" cmd
  new_copy "$app"
  add_counting_job "$app" backup 0010000 14:30:00  # Wednesdays
  cmd=$(counting_command "$app" backup)
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "the job starts" wait_for 60 started_once "$app" backup || return 1
  check "its start is recorded" \
    store_has_line "$app" "$cmd=$(store_time_text "$WEDNESDAY" 14:30:00)"
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "it started once" equals "$(starts "$app" backup)" 1
}

case_restart_within_the_window_starts_nothing_twice() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" backup 1111111 14:30:00
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "the job starts" wait_for 60 started_once "$app" backup || return 1
  require "the scheduler ends with 0 when stopped" stop_scheduler "$app" || return 1
  rm -f "$app/exit_code"
  add_marker "$app" 14:30:04
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"  # the same moments again
  require "the clock passes 14:30:04" wait_marker "$app" || return 1
  check "the job started only before the restart" equals "$(starts "$app" backup)" 1
}

# While the backup application runs every tick reads the job folder; for ten ticks after it
# stops too; after that the list stays as it was.
case_follows_the_backup_application() {
  local app="$CASE/app"
  new_copy "$app"
  add_idle_job "$app"
  add_counting_job "$app" late-marker 1111111 14:30:25
  add_counting_job "$app" end-marker 1111111 14:30:30
  require "the backup application runs" backup_app_starts || return 1
  start_scheduler "$app" "@$WEDNESDAY 14:29:55"
  require "start-up is done" wait_for 60 registered "$app" || return 1
  add_counting_job "$app" while-running 1111111 14:30:00
  require "a job added while it runs is picked up" wait_for 60 started_once "$app" while-running ||
    return 1
  backup_app_stops
  add_counting_job "$app" after-release 1111111 14:30:00
  require "a job added right after it stops is picked up" \
    wait_for 30 started_once "$app" after-release || return 1
  # By 14:30:25 more than ten ticks have passed without it: the folder is no longer read,
  # so emptying it neither drops the listed jobs nor ends the program.
  require "the clock passes 14:30:25" wait_for 60 started_once "$app" late-marker || return 1
  rm -f "$app/Backup Jobs/"*.hvj
  check "the listed jobs still start" wait_for 60 started_once "$app" end-marker
  check "the scheduler keeps running" scheduler_running "$app"
  check "it stays registered" registered "$app"
}
