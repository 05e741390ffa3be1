# How an error reaches the person at a Linux desktop: one notification through the session
# bus while it is open, every error shown also one line on standard error, and without a bus
# or a notification server standard error alone, bounded.

# A job whose time cannot be read fails every tick with this text.
UNREADABLE_TIME_ERROR="'25:99:00' is not a valid date and time."
OTHER_TIME_ERROR="'26:00:00' is not a valid date and time."

# add_unreadable_time_job <folder> [time]
add_unreadable_time_job() {
  add_job "$1" unreadable.hvj "do_schedule=1,days=1111111,time=${2:-25:99:00},cmd=$IDLE_COMMAND"
}
# The job's time changes to another unreadable one, and the job list is rebuilt while the
# backup application runs.
change_to_other_unreadable_time() {
  add_unreadable_time_job "$1" 26:00:00
  backup_app_starts
}

# The call the notification server records for the text <body>, after its time stamp.
notify_call() {
  printf 'Notify "%s" 0 "dialog-error" "%s" "%s" [] {"urgency": 2} 0' "$TITLE" "$TITLE" "$1"
}
# notify_count <body>: how many times the server was asked to show it.
notify_count() { cut -d' ' -f2- "$CASE/notifications.log" 2>/dev/null | grep -cxF -- "$(notify_call "$1")"; }
notify_calls() { grep -c ' Notify ' "$CASE/notifications.log" 2>/dev/null; }
# error_count <folder> <text>: lines of the text on standard error.
error_count() { grep -cxF -- "$TITLE: $2" "$1/scheduler.err" 2>/dev/null; }
has_lines() { [ "$(wc -l <"$1/scheduler.err")" -ge "$2" ]; }

case_an_error_is_one_notification_until_the_person_closes_it() {
  local app="$CASE/app"
  require "a session bus" start_session_bus || return 1
  require "a notification server" start_notification_server || return 1
  new_copy "$app"
  add_unreadable_time_job "$app"
  start_scheduler "$app"

  require "the error is shown as a notification within three seconds" \
    wait_for 3 eval '[ "$(notify_count "$UNREADABLE_TIME_ERROR")" -ge 1 ]' || return 1
  check "and written once on standard error" equals "$(error_count "$app" "$UNREADABLE_TIME_ERROR")" 1
  check "no second notification while it is open (ten seconds)" \
    eval '! wait_for 10 eval "[ \"\$(notify_calls)\" -ge 2 ]"'
  check "exactly one call to the server, nothing else written" \
    equals "$(notify_calls)/$(wc -l <"$app/scheduler.err")" 1/1

  require "the person closes it" close_notification 1 || return 1
  check "the next failing tick shows it again" \
    wait_for 3 eval '[ "$(notify_count "$UNREADABLE_TIME_ERROR")" -eq 2 ]'
  check "and writes it again" wait_for 3 has_lines "$app" 2

  require "the notification server stops" stop_notification_server || return 1
  change_to_other_unreadable_time "$app"
  check "the next error goes to standard error" \
    wait_for 5 eval '[ "$(error_count "$app" "$OTHER_TIME_ERROR")" -eq 1 ]'
  check "the program keeps running" scheduler_running "$app"
  stop_scheduler "$app"
  check "and ends with 0 on SIGTERM" equals "$(exit_code "$app")" 0
}

case_without_a_bus_a_repeated_error_is_written_once() {
  local app="$CASE/app"
  new_copy "$app"
  add_unreadable_time_job "$app"
  start_scheduler "$app"
  require "the error is written within three seconds" \
    wait_for 3 eval '[ "$(error_count "$app" "$UNREADABLE_TIME_ERROR")" -eq 1 ]' || return 1
  check "the same error on every tick is not written again (ten seconds)" \
    eval '! wait_for 10 has_lines "$app" 2'
  change_to_other_unreadable_time "$app"
  check "a different error is written when it comes" \
    wait_for 5 eval '[ "$(error_count "$app" "$OTHER_TIME_ERROR")" -eq 1 ]'
  check "and only once, the first never again" \
    eval '! wait_for 3 has_lines "$app" 3'
  check "the program keeps running" scheduler_running "$app"
}

# Notification servers that read markup in the body get "&", "<" and ">" escaped, so that a
# path holding them shows as it is ("<" and ">" are refused in job paths before that);
# standard error keeps the plain text.
case_a_path_with_markup_characters_shows_as_it_is() {
  local app="$CASE/R&D app"
  require "a session bus" start_session_bus || return 1
  require "a notification server that reads markup" start_notification_server || return 1
  new_copy "$app"
  add_counting_job "$app" backup 1111111 14:30:00
  chmod o+w "$app/Backup Jobs/backup.hvj"
  start_scheduler "$app"
  local text="Unsafe job file $app/Backup Jobs/backup.hvj: other users may write it."
  local escaped="Unsafe job file $CASE/R&amp;D app/Backup Jobs/backup.hvj: other users may write it."
  check "the body is escaped" wait_for 5 eval '[ "$(notify_count "$escaped")" -eq 1 ]'
  check "standard error has the plain text" wait_for 3 eval '[ "$(error_count "$app" "$text")" -eq 1 ]'

  require "the server stops" stop_notification_server || return 1
  require "one that shows the body as plain text starts" \
    start_notification_server '{"capabilities": "body"}' || return 1
  backup_app_starts  # the job folder is read again on every tick
  check "that one gets the plain text" wait_for 5 eval '[ "$(notify_count "$text")" -eq 1 ]'
}

# An error at start-up ends the program right after its box is shown: the notification
# still reaches the server.
case_an_error_at_start_up_is_notified_before_the_program_ends() {
  local app="$CASE/app"
  require "a session bus" start_session_bus || return 1
  require "a notification server" start_notification_server || return 1
  new_copy "$app"
  add_idle_job "$app"
  require "the registration is refused for this case" refuse_registration || return 1
  start_scheduler "$app"
  check "it ends by itself" wait_exit "$app" 30
  check "with exit code 0" equals "$(exit_code "$app")" 0
  check "the error was notified" \
    equals "$(notify_count "Failed to set data for 'Harbovale Scheduler'")" 1
  check "and written once" equals "$(cat "$app/scheduler.err")" \
    "$TITLE: Failed to set data for 'Harbovale Scheduler'"
}

# Standard error on a pipe whose reader has gone (a pipeline that ended, a session log that
# restarted): every line written there fails, and the program goes on as if nobody had seen
# it. Each error's line is written before its notification is sent, so a notification shows
# that its line was tried and the program outlived it.
case_standard_error_that_nobody_reads_ends_nothing() {
  local app="$CASE/app"
  require "a session bus" start_session_bus || return 1
  require "a notification server" start_notification_server || return 1
  new_copy "$app"
  add_unreadable_time_job "$app"
  add_counting_job "$app" later 1111111 14:30:00
  CASE_STDERR_READER_GONE=1
  start_scheduler "$app" "@$WEDNESDAY 14:29:50"

  require "the error is notified, its line tried first" \
    wait_for 30 eval '[ "$(notify_count "$UNREADABLE_TIME_ERROR")" -ge 1 ]' || return 1
  check "the program keeps running" scheduler_running "$app"
  require "the person closes it" close_notification 1 || return 1
  check "the next failing tick notifies it again, its line tried again" \
    wait_for 10 eval '[ "$(notify_count "$UNREADABLE_TIME_ERROR")" -eq 2 ]'
  check "the program keeps running" scheduler_running "$app"

  # The job file mended and read again: whatever its place in the listing, the job due at
  # 14:30 starts (it is still inside its five minutes).
  add_job "$app" unreadable.hvj "do_schedule=1,days=1111111,time=12:00:00,cmd=$IDLE_COMMAND"
  backup_app_starts
  check "a job due after the errors still starts" wait_for 30 started_once "$app" later
  check "nothing went to the file the harness gave it" no_error_reported "$app"
  stop_scheduler "$app"
  check "and SIGTERM ends it with 0" equals "$(exit_code "$app")" 0
}

# A session bus that takes the connection and then answers nothing (its daemon hangs): a
# program that ends after an error at start-up waits for it a moment only, and a SIGTERM
# that comes meanwhile lets it end as it was ending, with code 0.
case_a_bus_that_does_not_answer_holds_the_end_a_moment_only() {
  local app="$CASE/app" again="$CASE/again"
  require "a session bus" start_session_bus || return 1
  require "that stops answering" pause_session_bus || return 1
  require "the registration is refused for this case" refuse_registration || return 1
  new_copy "$app"
  add_idle_job "$app"
  start_scheduler "$app"
  check "it ends by itself within ten seconds" wait_exit "$app" 10
  check "with exit code 0" equals "$(exit_code "$app")" 0
  check "the error written once" equals "$(cat "$app/scheduler.err")" \
    "$TITLE: Failed to set data for 'Harbovale Scheduler'"

  new_copy "$again"
  add_idle_job "$again"
  start_scheduler "$again"
  check "the error is written (the program is ending)" wait_for 30 test -s "$again/scheduler.err"
  signal_scheduler "$again" TERM
  check "SIGTERM then: it ends within ten seconds" wait_exit "$again" 10
  check "with exit code 0, not killed half-way" equals "$(exit_code "$again")" 0
}
