# Faults common to both platforms: a job folder far larger than usual.

# 10,000 job files while the backup application runs, so every tick reads all of them: the
# ticks still come, and the one due job among them starts once.
case_ten_thousand_job_files() {
  local app="$CASE/app" body="" i
  new_copy "$app"
  mkdir -p "$app/Backup Jobs"
  for i in $(seq 1 22); do body+="line $i"$'\r\n'; done
  for i in $(seq 1 9998); do
    printf '%sdo_schedule=1,days=0000000,time=12:00,cmd=%s %d\r\n' "$body" "$IDLE_COMMAND" "$i" \
      >"$app/Backup Jobs/idle$i.hvj"
  done
  add_counting_job "$app" backup 1111111 14:30:00
  add_marker "$app" 14:30:05
  require "the backup application runs" backup_app_starts || return 1
  start_scheduler "$app" "@$WEDNESDAY 14:29:57"
  require "the due job starts" wait_for 120 started_once "$app" backup || return 1
  require "the clock passes 14:30:05 (ticks go on)" wait_marker "$app" 120 || return 1
  check "the due job started once" equals "$(starts "$app" backup)" 1
  check "the scheduler keeps running" scheduler_running "$app"
  check "no error" no_error_reported "$app"
  backup_app_stops
}
