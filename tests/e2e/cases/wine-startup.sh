# Start-up cases of the Windows program under Wine alone: the quoting of the Run value, an
# installation folder past MAX_PATH and a read-only Run key (the cases both platforms share
# are in both-startup.sh).

case_path_with_space_is_quoted() {
  local copy="$CASE/my apps"
  new_copy "$copy"
  add_idle_job "$copy"
  start_scheduler "$copy"
  check "the Run value is the quoted path" \
    wait_for 60 run_value_is "\"$(windows_path "$copy/$SCHEDULER_EXE")\""
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
