# Errors of ticks on POSIX: each failing tick reports one line on standard error.

error_lines() { cat "$1/scheduler.err" 2>/dev/null | grep -c "^Harbovale Scheduler: $2\$"; }
has_error_line() { [ "$(error_lines "$1" "$2")" -ge 1 ]; }

case_tick_errors_are_reported_on_standard_error() {
  local short="$CASE/short" weekend="$CASE/weekend"
  new_copy "$short"
  add_idle_job "$short"
  { for i in $(seq 1 22); do printf 'line %d\r\n' "$i"; done; } >"$short/Backup Jobs/short.hvj"
  start_scheduler "$short" "@$SATURDAY 14:29:59"
  check "a short job file" wait_for 30 has_error_line "$short" "List index out of bounds (22)"
  stop_scheduler "$short"

  new_copy "$weekend"
  add_counting_job "$weekend" weekdays 11111 14:30:00  # five flags: no Saturday
  start_scheduler "$weekend" "@$SATURDAY 14:29:59"
  # It fails on every tick and is written once: posix-notify.sh holds the cases of that bound.
  check "a missing weekend flag" wait_for 30 has_error_line "$weekend" "Range check error."
}


# A job's command runs as the user: a job file, or a job folder, that other users may write
# is refused like an unreadable job file, with a line naming the file and the reason.
case_job_files_that_others_may_write_are_refused() {
  local file="$CASE/file" folder="$CASE/folder"
  new_copy "$file"
  add_counting_job "$file" backup 1111111 14:30:00
  chmod o+w "$file/Backup Jobs/backup.hvj"
  start_scheduler "$file" "@$WEDNESDAY 14:29:59"
  check "a job file that others may write" wait_for 30 grep -qxF \
    "Harbovale Scheduler: Unsafe job file $file/Backup Jobs/backup.hvj: other users may write it." \
    "$file/scheduler.err"
  stop_scheduler "$file"

  new_copy "$folder"
  add_counting_job "$folder" backup 1111111 14:30:00
  chmod 0777 "$folder/Backup Jobs"
  start_scheduler "$folder" "@$WEDNESDAY 14:29:59"
  check "a job folder that others may write" wait_for 30 grep -qxF \
    "Harbovale Scheduler: Unsafe job file $folder/Backup Jobs/backup.hvj: other users may write its folder." \
    "$folder/scheduler.err"
}
