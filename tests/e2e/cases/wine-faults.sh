# Faults under Wine: a job file that another process holds open for writing.

# While the backup application runs every tick rebuilds: each one fails on the held file
# (one box at a time), and the first one after the release lists the job.
case_job_file_open_for_writing_elsewhere() {
  local app="$CASE/app" held
  new_copy "$app"
  add_counting_job "$app" held 1111111 14:30:00
  held="$app/Backup Jobs/held.hvj"
  require "the backup application runs" backup_app_starts || return 1
  require "another process has the job file open for writing" hold_open_for_write "$held" ||
    return 1
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  require "an error box opens" wait_box 60 || return 1
  check "its text names the file, with a full stop" equals "$(box_text)" \
    "Cannot open file $(windows_path "$held")."
  check "the scheduler keeps running (no rebuild came to its end)" scheduler_running "$app"
  check "the job has not started" equals "$(starts "$app" held)" 0
  release_file
  check "once released the job is listed and starts, the box still open" \
    wait_for 60 started_once "$app" held
  check "the failing ticks meanwhile opened no second box" equals "$(box_count)" 1
  press_ok
  check "no box is left" wait_for 10 eval '[ "$(box_count)" == 0 ]'
  backup_app_stops
}
