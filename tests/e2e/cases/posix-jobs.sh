# Errors of ticks on POSIX: each failing tick reports one line on standard error.

error_lines() { cat "$1/scheduler.err" 2>/dev/null | grep -c "^Harbovale Scheduler: $2\$"; }
has_error_line() { [ "$(error_lines "$1" "$2")" -ge 1 ]; }

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

