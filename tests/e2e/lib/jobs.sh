# Jobs for the end-to-end cases of both platforms. Each platform's library defines
# counting_command <folder> <name>: a command line that appends a line "started" to
# <folder>/<name>.txt each time it runs.
#
# The fake clock (faketime) runs at real speed from the moment given. "Marker" jobs, due a
# few seconds after the moment under test, show that the scheduler's clock has passed that
# moment: a check that something did NOT happen waits for a marker, never for a fixed time.

WEDNESDAY="2026-12-09"  # the day of most cases
SATURDAY="2026-12-12"   # its week's Saturday

# day_before <date>: the day before, as YYYY-MM-DD.
day_before() { date -u -d "$1 -1 day" +%F; }

# store_time_text <date> <time>: the text that the store holds for that moment, as the program
# writes it under the case's locale (store_time_format comes from the platform's library).
# At midnight the time is left out.
store_time_text() {
  local format
  format=$(store_time_format) || return 1
  [ "$2" != 00:00:00 ] || format=${format%% *}
  date -u -d "$1 $2" "+$format"
}

# new_copy <folder>: a folder with its own copy of the scheduler.
new_copy() {
  mkdir -p "$1"
  cp "$BUILD/$SCHEDULER_EXE" "$1/"
}

# add_job <folder> <file name> <schedule line>: a job file whose 23rd line is the schedule.
add_job() {
  mkdir -p "$1/Backup Jobs"
  { for i in $(seq 1 22); do printf 'line %d\r\n' "$i"; done; printf '%s\r\n' "$3"; } \
    >"$1/Backup Jobs/$2"
}

# A scheduled job that is never due (no day flagged): keeps the scheduler running.
add_idle_job() { add_job "$1" idle.hvj "do_schedule=1,days=0000000,time=12:00,cmd=$IDLE_COMMAND"; }

starts() { [ -f "$1/$2.txt" ] && grep -c started "$1/$2.txt" || echo 0; }
started_once() { [ "$(starts "$1" "$2")" == 1 ]; }
store_text() { tr -d '\r' <"$1/qelvarn.dat" 2>/dev/null; }
store_has_line() { store_text "$1" | grep -qxF -- "$2"; }

# add_counting_job <folder> <name> <days> <time> [extra items]: a job whose command counts
# its starts in <name>.txt.
add_counting_job() {
  local cmd
  cmd=$(counting_command "$1" "$2")
  add_job "$1" "$2.hvj" "do_schedule=1,days=$3,time=$4,cmd=$cmd${5:-}"
}

# add_marker <folder> <time>: a job due every day at <time>; wait_marker waits for its start.
add_marker() { add_counting_job "$1" marker 1111111 "$2"; }
wait_marker() { wait_for "${2:-60}" started_once "$1" marker; }
