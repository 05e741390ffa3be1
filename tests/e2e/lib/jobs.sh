# Jobs for the end-to-end cases of both platforms. Each platform's library defines
# counting_command <folder> <name>: a command line that appends a line "started" to
# <folder>/<name>.txt each time it runs.
#
# The fake clock (faketime) runs at real speed from the moment given. "Marker" jobs, due a
# few seconds after the moment under test, show that the scheduler's clock has passed that
# moment: a check that something did NOT happen waits for a marker, never for a fixed time.

WEDNESDAY="2026-12-09"  # the day of most cases

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
