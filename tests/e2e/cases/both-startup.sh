# Start-up on either platform: the log-on registration, the single instance, the error report
# of a refused registration, the last-run store, and the end when there are no jobs. Each
# platform's library says how the registration is seen, removed and refused, how another
# program holds the single-instance mutex, what there is to see of the hidden main window,
# and how an error reaches the user (a box under Wine, a line on standard error on POSIX).

case_registration_written_on_every_start() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  register_stale
  start_scheduler "$copy"
  require "the registration names the executable" wait_for 60 registered "$copy" || return 1
  check_window_stays_hidden "$copy" || return 1
  check "it keeps running while a job is scheduled" scheduler_running "$copy"
  check "it ends with 0 when stopped" stop_scheduler "$copy"
  check "exit code 0" equals "$(exit_code "$copy")" 0
  check "no error reported" no_error_reported "$copy"

  # The same registration is written again: a removed one comes back at the next start.
  unregister
  rm -f "$copy/exit_code"
  start_scheduler "$copy"
  check "the registration is written again at the next start" wait_for 60 registered "$copy"
}

case_second_copy_exits_at_once_and_touches_nothing() {
  local first="$CASE/first" second="$CASE/second" store_before
  new_copy "$first"
  add_idle_job "$first"
  new_copy "$second"
  add_idle_job "$second"
  printf '%s x=01/02/2026 10:00:00\r\n' "$IDLE_COMMAND" >"$second/qelvarn.dat"
  store_before=$(fingerprint "$second/qelvarn.dat")
  start_scheduler "$first"
  require "the first copy is up" wait_for 60 registered "$first" || return 1
  unregister
  start_scheduler "$second"
  require "the second copy ends by itself" wait_exit "$second" 60 || return 1
  check "with exit code 0" equals "$(exit_code "$second")" 0
  check "the registration was not written" not_registered
  check "its qelvarn.dat is untouched" equals "$(fingerprint "$second/qelvarn.dat")" "$store_before"
  check "the first copy still runs" scheduler_running "$first"
}

case_single_instance_held_by_another_program() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  require "another program holds the single-instance mutex" hold_instance_mutex || return 1
  start_scheduler "$copy"
  check "the scheduler ends by itself" wait_exit "$copy" 60
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "the registration was not written" not_registered
  check "it created no qelvarn.dat" test ! -e "$copy/qelvarn.dat"
  release_instance_mutex
}

case_refused_registration_reports_one_error_then_exits_0() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  require "the registration is refused for this case" refuse_registration || return 1
  start_scheduler "$copy"
  check_one_error_then_exit "$copy" "Failed to set data for 'Harbovale Scheduler'" || return 1
  check "with exit code 0" equals "$(exit_code "$copy")" 0
}

case_existing_store_is_loaded_and_not_rewritten() {
  local copy="$CASE/app" before
  new_copy "$copy"
  add_idle_job "$copy"
  printf '%s a=01/02/2026 10:00:00\r\n%s b=03/04/2026 23:59:00\r\n' "$IDLE_COMMAND" \
    "$IDLE_COMMAND" >"$copy/qelvarn.dat"
  before=$(fingerprint "$copy/qelvarn.dat")
  start_scheduler "$copy"
  require "start-up is done" wait_for 60 registered "$copy" || return 1
  check_window_stays_hidden "$copy" || return 1
  check "no error reported while it runs (the store loaded)" no_error_reported "$copy"
  check "qelvarn.dat is untouched while it runs" equals "$(fingerprint "$copy/qelvarn.dat")" "$before"
  check "it ends with 0 when stopped" stop_scheduler "$copy"
  check "no error reported by the end" no_error_reported "$copy"
  check "qelvarn.dat is still untouched" equals "$(fingerprint "$copy/qelvarn.dat")" "$before"
}

case_no_job_folder_unregisters_and_quits() {
  local copy="$CASE/app"
  new_copy "$copy"
  start_scheduler "$copy"
  check "it ends by itself after its first tick" wait_exit "$copy" 60
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "the registration is gone" not_registered
  check "no qelvarn.dat was written" test ! -e "$copy/qelvarn.dat"
}
