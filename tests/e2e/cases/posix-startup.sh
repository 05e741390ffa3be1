# Start-up cases of the POSIX build: the autostart entry, the single-instance lock, the error
# line on standard error, the last-run store, and the signals.

case_autostart_entry_written_on_every_start() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  mkdir -p "$(dirname "$(autostart_entry)")"
  echo stale >"$(autostart_entry)"
  start_scheduler "$copy"
  require "the entry starts the executable" wait_for 30 entry_is "$copy/$SCHEDULER_EXE" || return 1
  check "it keeps running while a job is scheduled" scheduler_running "$copy"
  check "SIGTERM ends it" stop_scheduler "$copy"
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "nothing on standard error" test ! -s "$copy/scheduler.err"

  rm "$(autostart_entry)" "$copy/exit_code"
  start_scheduler "$copy"
  check "the entry is written again at the next start" wait_for 30 entry_is "$copy/$SCHEDULER_EXE"
}

case_path_with_reserved_characters_is_quoted() {
  local copy="$CASE/my apps \$HOME"
  new_copy "$copy"
  add_idle_job "$copy"
  start_scheduler "$copy"
  check "Exec holds the quoted, escaped path" \
    wait_for 30 entry_is "\"$CASE/my apps \\\\\$HOME/$SCHEDULER_EXE\""
}

case_second_copy_exits_at_once_and_touches_nothing() {
  local first="$CASE/first" second="$CASE/second" store_before
  new_copy "$first"
  add_idle_job "$first"
  new_copy "$second"
  add_idle_job "$second"
  printf 'true=01/02/2026 10:00:00\r\n' >"$second/qelvarn.dat"
  store_before=$(fingerprint "$second/qelvarn.dat")
  start_scheduler "$first"
  require "the first copy is up" wait_for 30 entry_is "$first/$SCHEDULER_EXE" || return 1
  rm "$(autostart_entry)"
  start_scheduler "$second"
  require "the second copy ends by itself" wait_exit "$second" 30 || return 1
  check "with exit code 0" equals "$(exit_code "$second")" 0
  check "the autostart entry was not written" test ! -e "$(autostart_entry)"
  check "its qelvarn.dat is untouched" equals "$(fingerprint "$second/qelvarn.dat")" "$store_before"
  check "the first copy still runs" scheduler_running "$first"
}

case_single_instance_lock_held_by_another_program() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  require "another process holds the lock" hold_lock "$(runtime_dir)/HarbovaleScheduler.lock" || return 1
  start_scheduler "$copy"
  check "the scheduler ends by itself" wait_exit "$copy" 30
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "the autostart entry was not written" test ! -e "$(autostart_entry)"
}

case_unwritable_autostart_reports_one_error_line_and_exits_0() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  mkdir -p "$(config_dir)"
  echo "not a folder" >"$(config_dir)/autostart"  # even root cannot write into a file
  start_scheduler "$copy"
  check "it ends by itself" wait_exit "$copy" 30
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "one error line on standard error" equals "$(cat "$copy/scheduler.err")" \
    "Harbovale Scheduler: Failed to set data for 'Harbovale Scheduler'"
}

case_existing_store_is_loaded_and_not_rewritten() {
  local copy="$CASE/app" before
  new_copy "$copy"
  add_idle_job "$copy"
  printf 'a.sh=01/02/2026 10:00:00\r\nb.sh=03/04/2026 23:59:00\r\n' >"$copy/qelvarn.dat"
  before=$(fingerprint "$copy/qelvarn.dat")
  start_scheduler "$copy"
  require "start-up is done" wait_for 30 entry_is "$copy/$SCHEDULER_EXE" || return 1
  check "qelvarn.dat is untouched while it runs" equals "$(fingerprint "$copy/qelvarn.dat")" "$before"
  check "SIGTERM ends it with 0" stop_scheduler "$copy"
  check "no error line" test ! -s "$copy/scheduler.err"
  check "qelvarn.dat is still untouched" equals "$(fingerprint "$copy/qelvarn.dat")" "$before"
}

case_signals_hangup_goes_on_interrupt_ends_with_0() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  start_scheduler "$copy"
  require "start-up is done" wait_for 30 entry_is "$copy/$SCHEDULER_EXE" || return 1
  # Had SIGHUP ended the program, its exit status would tell (129), not 0.
  signal_scheduler "$copy" HUP
  signal_scheduler "$copy" INT
  check "SIGINT ends it" wait_exit "$copy" 20
  check "with exit code 0 (SIGHUP did not end it)" equals "$(exit_code "$copy")" 0
}

case_no_job_folder_unregisters_and_quits() {
  local copy="$CASE/app"
  new_copy "$copy"
  start_scheduler "$copy"
  check "it ends by itself after its first tick" wait_exit "$copy" 30
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "the autostart entry is gone" test ! -e "$(autostart_entry)"
  check "no qelvarn.dat was written" test ! -e "$copy/qelvarn.dat"
}

# A folder path longer than 260 characters: the program knows its whole path, so the entry,
# the job folder and the store are where the program is.
case_installation_folder_longer_than_260_characters() {
  local copy="$CASE/$(printf 'x%.0s' {1..100})/$(printf 'y%.0s' {1..100})/$(printf 'z%.0s' {1..100})"
  require "the folder path is longer than 260 characters" test ${#copy} -gt 260 || return 1
  new_copy "$copy"
  add_counting_job "$copy" backup 1111111 14:30:00
  start_scheduler "$copy" "@$WEDNESDAY 14:29:58"
  check "the entry names the whole path" wait_for 30 entry_is "$copy/$SCHEDULER_EXE"
  require "the job in its job folder starts" wait_for 30 started_once "$copy" backup || return 1
  check "its start is recorded in the store beside it" \
    store_has_line "$copy" "$(counting_command "$copy" backup)=$WEDNESDAY_1430_TEXT"
}

# As at log-on on Windows, where the Run key may not be written: an entry that cannot be
# written (a read-only file system here, which refuses even root) is no error when it
# already is the entry that would be written, and the same error as ever otherwise.
case_read_only_autostart_folder() {
  local copy="$CASE/app" folder
  folder="$(dirname "$(autostart_entry)")"
  new_copy "$copy"
  add_marker "$copy" 14:30:00
  require "a small file system for the autostart folder" mount_tmpfs "$folder" size=64k || return 1
  expected_entry "/opt/elsewhere/$SCHEDULER_EXE" >"$(autostart_entry)"
  require "made read-only" mount -o remount,ro "$folder" || return 1
  start_scheduler "$copy" "@$WEDNESDAY 14:29:58"
  check "holding another entry: it ends by itself" wait_exit "$copy" 30
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "and one error line" equals "$(cat "$copy/scheduler.err")" \
    "Harbovale Scheduler: Failed to set data for 'Harbovale Scheduler'"

  mount -o remount,rw "$folder" && expected_entry "$copy/$SCHEDULER_EXE" >"$(autostart_entry)" &&
    require "holding its own entry, read-only again" mount -o remount,ro "$folder" || return 1
  rm -f "$copy/exit_code"
  start_scheduler "$copy" "@$WEDNESDAY 14:29:58"
  check "it goes on: its ticks run" wait_marker "$copy" 30
  check "it still runs" scheduler_running "$copy"
  check "no error line" test ! -s "$copy/scheduler.err"
}
