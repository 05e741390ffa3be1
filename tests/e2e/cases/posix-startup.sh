# Start-up cases of the POSIX build alone: the quoting of the desktop entry's Exec line, the
# signals, an installation folder past 260 characters and a read-only autostart folder (the
# cases both platforms share are in both-startup.sh).

case_path_with_reserved_characters_is_quoted() {
  local copy="$CASE/my apps \$HOME"
  new_copy "$copy"
  add_idle_job "$copy"
  start_scheduler "$copy"
  check "Exec holds the quoted, escaped path" \
    wait_for 30 entry_is "\"$CASE/my apps \\\\\$HOME/$SCHEDULER_EXE\""
  check "the entry is a valid desktop entry" desktop-file-validate "$(autostart_entry)"
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

# A folder path longer than 260 characters: the program knows its whole path, so the entry,
# the job folder and the store are where the program is.
case_installation_folder_longer_than_260_characters() {
  local copy="$CASE/$(printf 'x%.0s' {1..100})/$(printf 'y%.0s' {1..100})/$(printf 'z%.0s' {1..100})"
  require "the folder path is longer than 260 characters" test ${#copy} -gt 260 || return 1
  new_copy "$copy"
  add_counting_job "$copy" backup 1111111 14:30:00
  start_scheduler "$copy" "@$WEDNESDAY 14:29:58"
  check "the entry names the whole path" wait_for 30 entry_is "$copy/$SCHEDULER_EXE"
  check "and is a valid desktop entry" desktop-file-validate "$(autostart_entry)"
  require "the job in its job folder starts" wait_for 30 started_once "$copy" backup || return 1
  check "its start is recorded in the store beside it" \
    store_has_line "$copy" \
      "$(counting_command "$copy" backup)=$(store_time_text "$WEDNESDAY" 14:30:00)"
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
