# A folder whose name the system's code page cannot write ("日本" under code page 1252): the
# program runs from the folder's short name, or, where the volume keeps none, says so in a
# box. The cases run under LC_ALL=C.UTF-8, which Wine takes as en-US (code page 1252) with
# file names in UTF-8 on the Unix side; en_US.UTF-8 gives the same code page, but where that
# locale is not installed Wine cannot name the folder on the Unix side at all.

CODEPAGE_FOLDER="日本 Backup"

# ansi_code_page: the system's ANSI code page, as the registry holds it.
ansi_code_page() {
  wine_env "$WINE" reg query 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' /v ACP 2>/dev/null |
    tr -d '\r' | awk '$1 == "ACP" { print $3 }'
}

# The job counts its starts in a folder of plain ASCII: the job file's command is ANSI text.
add_counting_job_elsewhere() {
  local counter="$CASE/counter"
  mkdir -p "$counter"
  add_job "$1" "$2.hvj" "do_schedule=1,days=1111111,time=$3,cmd=$(counting_command "$counter" "$2")"
}

# reaches <windows path> <file>: Wine resolves the path to that very file.
reaches() {
  local unix
  unix=$(wine_env "$WINE" winepath -u "$1" 2>/dev/null | tr -d '\r')
  [ -n "$unix" ] && [ "$unix" -ef "$2" ]
}

case_folder_the_code_page_cannot_name_runs_by_its_short_name() {
  local app="$CASE/$CODEPAGE_FOLDER" value
  CASE_LC_ALL=C.UTF-8
  require "the code page is 1252" equals "$(ansi_code_page)" 1252 || return 1
  new_copy "$app"
  add_counting_job_elsewhere "$app" due 14:30:00
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  check "the due job starts" wait_for 60 started_once "$CASE/counter" due
  check "the scheduler keeps running" scheduler_running "$app"
  value=$(read_run_value)
  value=${value#REG_SZ:}
  check "the program is registered" test -n "$value"
  check "the Run value is plain ASCII" eval '! LC_ALL=C grep -q "[^ -~]" <<<"$value"'
  check "the Run value holds no '?'" eval '[[ "$value" != *"?"* ]]'
  check "the Run value reaches the program" reaches "$value" "$app/$SCHEDULER_EXE"
  check "no error box" no_error_reported
  add_lister "$app"
  check "the companion lister beside it lists the job" eval 'lister "$app" "" | grep -q due.hvj'
}

case_folder_the_code_page_cannot_name_without_short_names_says_so() {
  local app="$CASE/$CODEPAGE_FOLDER" shown
  CASE_LC_ALL=C.UTF-8
  require "the code page is 1252" equals "$(ansi_code_page)" 1252 || return 1
  mkdir -p "$app"
  cp "$BUILD/HarbovaleSchedulerNoShortNames.exe" "$app/$SCHEDULER_EXE"
  add_counting_job_elsewhere "$app" due 14:30:00
  start_scheduler "$app" "@$WEDNESDAY 14:29:58"
  # The box shows the path as the code page writes it: '?' for each character it cannot.
  shown="$(windows_path "$CASE")\\?? Backup\\$SCHEDULER_EXE"
  require "an error box opens" wait_box 60 || return 1
  check "a screenshot shows it" screenshot code-page-error-box
  check_one_error_then_exit "$app" "Cannot name the program's folder in the system's code page \
(1252), and it has no short name: $shown. Install the program in a folder whose name that code \
page can write."
  check "the exit code is 0" equals "$(exit_code "$app")" 0
  check "nothing was registered" not_registered
  check "the job never started" equals "$(starts "$CASE/counter" due)" 0
}
