# Start-up cases of the Windows program under Wine: autostart value, single instance, the
# registry error box, the last-run store and the hidden window.

case_run_value_written_on_every_start() {
  local copy="$CASE/app" expected
  new_copy "$copy"
  add_idle_job "$copy"
  expected=$(windows_path "$copy/$SCHEDULER_EXE")
  hv set-run-value "$RUN_VALUE_NAME" 'C:\stale\old.exe' >/dev/null
  start_scheduler "$copy"
  require "the Run value names the executable" wait_for 60 run_value_is "$expected" || return 1
  require "the hidden window exists" hidden_window_exists 30 || return 1
  check "no window of the scheduler is visible" no_visible_window
  check "it keeps running while a job is scheduled" scheduler_running "$copy"
  check "it ends with 0 when its main window is closed" stop_scheduler "$copy"
  check "exit code 0" equals "$(exit_code "$copy")" 0

  # The same value again is still written: a removed value comes back at the next start.
  hv delete-run-value "$RUN_VALUE_NAME" >/dev/null
  rm -f "$copy/exit_code"
  start_scheduler "$copy"
  check "the value is written again at the next start" wait_for 60 run_value_is "$expected"
}

case_path_with_space_is_quoted() {
  local copy="$CASE/my apps"
  new_copy "$copy"
  add_idle_job "$copy"
  start_scheduler "$copy"
  check "the Run value is the quoted path" \
    wait_for 60 run_value_is "\"$(windows_path "$copy/$SCHEDULER_EXE")\""
}

case_second_copy_exits_at_once_and_touches_nothing() {
  local first="$CASE/first" second="$CASE/second" store_before
  new_copy "$first"
  add_idle_job "$first"
  new_copy "$second"
  add_idle_job "$second"
  printf 'cmd /c x.bat=01/02/2026 10:00:00\r\n' >"$second/qelvarn.dat"
  store_before=$(fingerprint "$second/qelvarn.dat")
  start_scheduler "$first"
  require "the first copy is up" wait_for 60 run_value_is "$(windows_path "$first/$SCHEDULER_EXE")" || return 1
  hv delete-run-value "$RUN_VALUE_NAME" >/dev/null
  start_scheduler "$second"
  require "the second copy ends by itself" wait_exit "$second" 60 || return 1
  check "with exit code 0" equals "$(exit_code "$second")" 0
  check "the Run value was not written" run_value_absent
  check "its qelvarn.dat is untouched" equals "$(fingerprint "$second/qelvarn.dat")" "$store_before"
  check "the first copy still runs" scheduler_running "$first"
}

case_single_instance_mutex_held_by_another_program() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  require "the helper holds the mutex" hold_mutex HarbovaleScheduler || return 1
  start_scheduler "$copy"
  check "the scheduler ends by itself" wait_exit "$copy" 60
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "the Run value was not written" run_value_absent
  check "it created no qelvarn.dat" test ! -e "$copy/qelvarn.dat"
  release_mutex
}

case_missing_run_key_shows_one_box_then_exits_0() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_idle_job "$copy"
  require "the Run key is removed for this case" hv delete-run-key || return 1
  start_scheduler "$copy"
  require "an error box opens" wait_box 60 || return 1
  check "exactly one box" equals "$(box_count)" 1
  check "its text" equals "$(box_text)" "Failed to set data for 'Harbovale Scheduler'"
  check "the process waits for OK" scheduler_running "$copy"
  press_ok
  check "after OK it ends by itself" wait_exit "$copy" 30
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "no box is left" equals "$(box_count)" 0
}

case_existing_store_is_loaded_and_not_rewritten() {
  local copy="$CASE/app" before
  new_copy "$copy"
  add_idle_job "$copy"
  printf 'cmd /c a.bat=01/02/2026 10:00:00\r\ncmd /c b.bat=03/04/2026 23:59:00\r\n' >"$copy/qelvarn.dat"
  before=$(fingerprint "$copy/qelvarn.dat")
  start_scheduler "$copy"
  require "start-up is done" wait_for 60 run_value_is "$(windows_path "$copy/$SCHEDULER_EXE")" || return 1
  require "the hidden window exists" hidden_window_exists 30 || return 1
  check "no error box (the store loaded)" equals "$(box_count)" 0
  check "qelvarn.dat is untouched while it runs" equals "$(fingerprint "$copy/qelvarn.dat")" "$before"
  check "it ends with 0 when closed" stop_scheduler "$copy"
  check "qelvarn.dat is still untouched" equals "$(fingerprint "$copy/qelvarn.dat")" "$before"
}

case_no_job_folder_unregisters_and_quits() {
  local copy="$CASE/app"
  new_copy "$copy"
  start_scheduler "$copy"
  check "it ends by itself after its first tick" wait_exit "$copy" 60
  check "with exit code 0" equals "$(exit_code "$copy")" 0
  check "the Run value is gone" run_value_absent
  check "no qelvarn.dat was written" test ! -e "$copy/qelvarn.dat"
}

# A folder path longer than 260 characters (MAX_PATH): the program knows its whole path and
# registers it. (Wine's ANSI file functions stop at MAX_PATH, as Windows' do unless long
# paths are enabled, so the job folder cannot be listed there: the program finds no job,
# removes the value again and ends. A watcher sees the value in the meantime.)
case_installation_folder_longer_than_260_characters() {
  local copy="$CASE/$(printf 'x%.0s' {1..100})/$(printf 'y%.0s' {1..100})/$(printf 'z%.0s' {1..100})"
  local watcher
  require "the folder path is longer than 260 characters" test ${#copy} -gt 260 || return 1
  new_copy "$copy"
  add_idle_job "$copy"
  wine_env "$WINE" "$BUILD/hvtest.exe" wait-run-value "$RUN_VALUE_NAME" \
    "$(windows_path "$copy/$SCHEDULER_EXE")" 60000 >"$CASE/watcher.out" 2>&1 &
  watcher=$!
  start_scheduler "$copy"
  check "the Run value names the whole path" wait "$watcher"
  check "no error box" no_error_reported
}

# At log-on a standard user may only read the Run key (UAC, even for administrators): a
# value that is already exactly what would be written lets start-up go on; another value
# gives the same error box as ever.
case_read_only_run_key() {
  local copy="$CASE/app"
  new_copy "$copy"
  add_marker "$copy" 14:30:00
  hv set-run-value "$RUN_VALUE_NAME" 'C:\elsewhere\HarbovaleScheduler.exe' >/dev/null
  require "the Run key is read-only" hv run-key-read-only || return 1
  start_scheduler "$copy" "@$WEDNESDAY 14:29:57"
  require "holding another path: an error box opens" wait_box 60 || return 1
  check "its text" equals "$(box_text)" "Failed to set data for 'Harbovale Scheduler'"
  press_ok
  check "after OK it ends by itself" wait_exit "$copy" 30
  check "with exit code 0" equals "$(exit_code "$copy")" 0

  hv run-key-writable >/dev/null
  hv set-run-value "$RUN_VALUE_NAME" "$(windows_path "$copy/$SCHEDULER_EXE")" >/dev/null
  require "holding its own path, read-only again" hv run-key-read-only || return 1
  rm -f "$copy/exit_code"
  start_scheduler "$copy" "@$WEDNESDAY 14:29:57"
  check "it goes on: its ticks run" wait_marker "$copy" 60
  check "it still runs" scheduler_running "$copy"
  check "no error box" no_error_reported
}
