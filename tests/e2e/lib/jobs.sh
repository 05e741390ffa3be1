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

# The jobs of a program folder seen through the user's copy of it, their commands counting
# their starts in <counts>: "plain" in the folder only, "both" in the folder and (with another
# command) in the copy, "copied" in the copy only, all due at 14:30; a marker due at 14:31:05.
# add_copy_jobs <folder> <its user copy> <counts>
add_copy_jobs() {
  local app=$1 copy=$2 counts=$3
  mkdir -p "$counts"
  count_job() { add_job "$1" "$2.hvj" "do_schedule=1,days=1111111,time=$3,cmd=$(counting_command "$counts" "$4")"; }
  count_job "$app" plain 14:30:00 plain
  count_job "$app" both 14:30:00 both-real
  count_job "$copy" both 14:30:00 both-copy
  count_job "$copy" copied 14:30:00 copied
  count_job "$app" marker 14:31:05 marker
}

# check_copy_starts <folder> <its user copy> <counts>: after a start at 14:29:5x on Wednesday,
# the jobs start as the user sees the folder, and the copy holds the store, the folder none.
check_copy_starts() {
  local app=$1 copy=$2 counts=$3 at
  require "the job of the folder starts" wait_for 90 started_once "$counts" plain || return 1
  check "the job only the copy holds starts" wait_for 20 started_once "$counts" copied
  check "the job in both starts as the copy has it" wait_for 20 started_once "$counts" both-copy
  check "the folder's own version of it never starts" equals "$(starts "$counts" both-real)" 0
  at=$(store_time_text "$WEDNESDAY" 14:30:00)
  check "the store in the user's copy records the start" \
    store_has_line "$copy" "$(counting_command "$counts" plain)=$at"
  check "the copy's store records the copy's job" \
    store_has_line "$copy" "$(counting_command "$counts" copied)=$at"
  check "the program folder holds no store" test ! -e "$app/qelvarn.dat"
}
