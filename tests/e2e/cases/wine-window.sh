# The lister's window under Wine, read from outside its process as an accessibility tool
# reads it (hvtest: the list view's cells, the status bar's parts, the details' text, where
# each control lies) and driven as a person drives it (header clicks, keys, the menus by their
# letters). It is opened both ways a person opens it: with --window, and by starting the
# program on its own (`start`, as Explorer does). The checks are what is read back; the
# screenshots (ImageMagick's import) are pictures for people to look at, no proof of anything.

WINDOW_CAPTION="Harbovale Jobs"
# The screenshots are kept here after the run; the README shows harbovale-jobs-window.png.
SCREENSHOTS="$BUILD/e2e-screenshots"

# open_window <folder> <command...>: runs the command in the folder, in the background, until
# the lister's window is up (60 s at most); wait_window_exit collects its exit code. Wine now
# and then fails to start a process at all (it ends at once, printing nothing): a program
# that ended printing nothing and showing no window runs once more.
open_window() {
  local folder=$1
  shift
  for _ in 1 2; do
    (cd "$folder" && exec env LC_ALL="${CASE_LC_ALL:-$E2E_LC_ALL}" "$@" \
      >"$folder/window.out" 2>"$folder/window.err" </dev/null) &
    echo $! >"$folder/window.pid"
    wait_for 60 window_up_or_gone "$folder" || break
    window_up "$folder" && return 0
    [ -s "$folder/window.out" ] || [ -s "$folder/window.err" ] && break
    log "    (the window's program ended, printing nothing: started once more)"
  done
  window_not_up "$folder"
  return 1
}
# lister_window <folder> <faketime moment or ""> [options...]: the folder's lister with
# --window, as open_window runs it.
lister_window() {
  local folder=$1 moment=$2
  shift 2
  local -a command=("$WINE" "$folder/$LISTER_EXE" --window "$@")
  [ -n "$moment" ] && command=(env LD_PRELOAD="$LIBFAKETIME" FAKETIME="$moment" "${command[@]}")
  open_window "$folder" "${command[@]}"
}
window_up() { hv wait-window "$(window_caption "$1")" 0 >/dev/null; }
window_up_or_gone() { window_up "$1" || window_gone "$1"; }
# What is known when the window did not come up, for the log.
window_not_up() {
  if window_gone "$1"; then log "      the program has ended"; else log "      the program runs"; fi
  log "      its windows: $(hv visible-windows "$LISTER_EXE" | paste -sd'|')"
  log "      its errors: $(head -c 500 "$1/window.err")"
}

window_caption() { echo "$WINDOW_CAPTION - $(windows_path "$1")"; }
# window_rows <folder>: the column titles, then a line per row, cells separated by tabs.
window_rows() { hv list-rows "$(window_caption "$1")"; }
window_status() { hv status-texts "$(window_caption "$1")"; }
window_details() { hv details-text "$(window_caption "$1")"; }
# window_cell <folder> <file> <column number from 1>
window_cell() { window_rows "$1" | awk -F'\t' -v f="$2" -v c="$3" '$5 == f { print $c }'; }
window_files() { window_rows "$1" | tail -n +2 | cut -f5 | paste -sd' '; }
# files_become <folder> <files>: the rows show those files in that order within 10 seconds.
files_become() {
  local folder=$1 files=$2
  wait_for 10 eval '[ "$(window_files "$folder")" == "$files" ]' ||
    equals "$(window_files "$folder")" "$files"
}
window_gone() { ! kill -0 "$(cat "$1/window.pid")" 2>/dev/null; }
# window_menu <folder> <letters>: Alt and the first letter, then the others ("vbj": View,
# Sort by, Job), each once the menu it chooses from is open.
window_menu() { hv menu-keys "$(window_caption "$1")" "$2" >/dev/null; }
window_layout() { hv layout "$(window_caption "$1")"; }
# laid_out <folder> <gap>: the list and the details span the client area but for the gap on
# either side, the details end a gap above the status bar, which lies along the bottom.
laid_out() {
  window_layout "$1" | awk -v g="$2" '
    $1 == "client" { w = $2; h = $3 }
    $1 == "SysListView32" { list = $2 == g && $4 == w - g }
    $1 == "Edit" { details = $2 == g && $4 == w - g; end = $5 }
    $1 == "msctls_statusbar32" { bar = $2 == 0 && $4 == w && $5 == h; top = $3 }
    END { exit !(list && details && bar && end + g == top) }'
}
# scaled_columns <columns line before> <after> <percent>: each width scaled, give or take 1.
scaled_columns() {
  awk -v a="$1" -v b="$2" -v p="$3" 'BEGIN {
    n = split(a, before); split(b, after)
    for (i = 2; i <= n; i++) { d = after[i] - before[i] * p / 100; if (d > 1 || d < -1) exit 1 }
  }'
}
# wait_window_exit <folder> <seconds>: the window's process ends; its code in window.exit.
wait_window_exit() {
  wait_for "$2" window_gone "$1" || return 1
  local status=0
  wait "$(cat "$1/window.pid")" 2>/dev/null || status=$?
  echo "$status" >"$1/window.exit"
}

# The console table (with --all) as the window lays it out: cells separated by tabs.
table_as_rows() { sed -n '1,/^$/p' | sed '/^$/d' | sed -E 's/ {2,}/\t/g'; }

# What the folder holds, to see that nobody wrote there (the harness's own output files of
# the lister and the window aside).
folder_state() {
  (cd "$1" && find . -mindepth 1 -printf '%p %s %T@\n' | grep -vE '^\./(lister|window)\.' | sort)
}

# screenshot <name>: a picture of the whole display for people to look at, once the window
# has painted (more than a few colours). It proves nothing and fails no case.
screenshot() {
  local shot="$SCREENSHOTS/$1.png"
  mkdir -p "$SCREENSHOTS"
  wait_for 20 eval 'import -display "$DISPLAY" -window root "$shot" &&
    (($(identify -format %k "$shot") > 16))' || log "    (no picture of a painted window: $1)"
}

# A folder of every kind of file: the window shows the rows of the console table of the same
# moment, cell for cell, and the footer in its status bar; it sorts by a clicked header and by
# the View menu's "Sort by", alike, shows the details of the selected file, is laid out again
# for another DPI, and Esc closes it with exit code 0. It writes nothing.
case_lister_window_shows_what_the_table_shows() {
  local app="$CASE/app" now=--now=2026-12-09T14:29:00 table status before layout width height
  # error, ignored, off, scheduled; rows alike there keep the order they had before any sort
  local by_status="broken.hvj zed.HVJ o.hvj off.hvj nightly.hvj weekend.hvj"
  local by_status_reversed="nightly.hvj weekend.hvj o.hvj off.hvj zed.HVJ broken.hvj"
  new_copy "$app"
  add_lister "$app"
  add_job "$app" nightly.hvj "do_schedule=1,days=1111100,time=14:30:00,cmd=$IDLE_COMMAND nightly"
  add_job "$app" weekend.hvj "do_schedule=1,days=0000011,time=10:00:00,cmd=$IDLE_COMMAND weekend"
  add_job "$app" off.hvj "do_schedule=0,days=1111111,time=10:00:00,cmd=$IDLE_COMMAND off"
  add_job "$app" zed.HVJ "do_schedule=1,days=1111111,time=10:00:00,cmd=$IDLE_COMMAND zed"
  add_job "$app" broken.hvj "do_schedule=1"
  printf 'line 1\r\nline 2\r\n' >"$app/Backup Jobs/broken.hvj"
  printf '%s=%s\r\n' "$IDLE_COMMAND weekend" "$(store_time_text "$(day_before "$WEDNESDAY")" 10:00:00)" \
    >"$app/qelvarn.dat"
  before=$(folder_state "$app")

  table=$(lister "$app" "" "$now" --all)
  status=$?
  check "the console program still prints: exit code 1 for the broken job" equals "$status" 1
  require "the window opens, captioned with its folder" lister_window "$app" "" "$now" || return 1
  check "its rows are the console table's, cell for cell" equals \
    "$(window_rows "$app")" "$(table_as_rows <<<"$table")"
  check "every file has its row" equals "$(window_files "$app" | tr ' ' '\n' | sort | paste -sd' ')" \
    "broken.hvj nightly.hvj off.hvj weekend.hvj zed.HVJ"
  while IFS= read -r status; do
    check "the status bar: '$status' is a line of the table's footer" grep -qxF -- "$status" <<<"$table"
  done < <(window_status "$app")
  check "the status bar tells whether the scheduler runs" grep -qx 'Scheduler: not running.' < <(window_status "$app")
  screenshot harbovale-jobs-window

  hv click-header "$(window_caption "$app")" 4 >/dev/null
  check "a click on JOB sorts by file" wait_for 10 eval \
    '[ "$(window_files "$app")" == "broken.hvj nightly.hvj off.hvj weekend.hvj zed.HVJ" ]'
  # (a little beside the first click: a second click on the same spot may be a double click)
  hv click-header "$(window_caption "$app")" 4 25 >/dev/null
  check "a second click turns the order round" wait_for 10 eval \
    '[ "$(window_files "$app")" == "zed.HVJ weekend.hvj off.hvj nightly.hvj broken.hvj" ]'
  screenshot harbovale-jobs-window-sorted

  hv select-row "$(window_caption "$app")" 4 >/dev/null  # broken.hvj, the last row now
  check "the details of an error: the box's text" wait_for 10 eval \
    'window_details "$app" | grep -qF "List index out of bounds (22)"'
  check "and the jobs it holds back, by name" eval \
    'window_details "$app" | grep -q "nightly.hvj" && window_details "$app" | grep -q "weekend.hvj"'
  hv select-row "$(window_caption "$app")" 3 >/dev/null  # nightly.hvj
  check "the details of a job: its schedule in words" wait_for 10 eval \
    'window_details "$app" | grep -qF "Mon-Fri 14:30:00"'
  check "nothing in the folder was written" equals "$(folder_state "$app")" "$before"
  check "the log-on registration was not touched" not_registered

  # A new file comes before nightly.hvj: the next refresh shows it, and the selection stays
  # with its file, not its place.
  add_job "$app" o.hvj "do_schedule=0,days=1111111,time=11:00:00,cmd=$IDLE_COMMAND o"
  check "a new file shows at the next refresh" wait_for 10 eval \
    '[ "$(window_files "$app")" == "zed.HVJ weekend.hvj off.hvj o.hvj nightly.hvj broken.hvj" ]'
  check "the selection stays with its file" eval 'window_details "$app" | grep -qF "Mon-Fri 14:30:00"'
  hv key "$(window_caption "$app")" 40 >/dev/null  # Down: the next row, broken.hvj
  check "the arrow keys move the selection" wait_for 10 eval \
    'window_details "$app" | grep -qF "List index out of bounds (22)"'
  hv key "$(window_caption "$app")" 9 >/dev/null  # Tab
  check "Tab goes from the list to the details" wait_for 10 eval \
    '[ "$(hv focus "$(window_caption "$app")")" == Edit ]'
  hv key "$(window_caption "$app")" 9 >/dev/null
  check "and back" wait_for 10 eval '[ "$(hv focus "$(window_caption "$app")")" == SysListView32 ]'
  hv alt-key "$(window_caption "$app")" d >/dev/null
  check "Alt+D goes to the details" wait_for 10 eval '[ "$(hv focus "$(window_caption "$app")")" == Edit ]'
  hv alt-key "$(window_caption "$app")" j >/dev/null
  check "Alt+J to the jobs" wait_for 10 eval '[ "$(hv focus "$(window_caption "$app")")" == SysListView32 ]'

  # The View menu's "Sort by", from the keyboard, and the headers keep one sort: a column
  # chosen again turns the order round, whether it was chosen by the menu or by its header.
  window_menu "$app" vbt
  check "View > Sort by > Status sorts by status" files_become "$app" "$by_status"
  window_menu "$app" vbt
  check "chosen again, it turns the order round" files_become "$app" "$by_status_reversed"
  hv click-header "$(window_caption "$app")" 5 >/dev/null
  check "a click on STATUS turns it round again" files_become "$app" "$by_status"
  window_menu "$app" vb
  screenshot harbovale-jobs-window-sort-menu
  hv key "$(window_caption "$app")" 84 >/dev/null  # T: Status
  check "and Sort by > Status after the click turns it round again" \
    files_become "$app" "$by_status_reversed"
  window_menu "$app" vbj
  check "Sort by > Job sorts by file" \
    files_become "$app" "broken.hvj nightly.hvj o.hvj off.hvj weekend.hvj zed.HVJ"
  check "the selection stays with its file through every sort" eval \
    'window_details "$app" | grep -qF "List index out of bounds (22)"'

  # Moved to a monitor of 144 DPI (as the system tells it), the window takes the size the
  # system suggests and is laid out for it; back at 96 DPI it is laid out as it was.
  layout=$(window_layout "$app")
  hv dpi-changed "$(window_caption "$app")" 144 960 700 >/dev/null
  check "at 144 DPI: the suggested size" grep -qx 'window 960 700' < <(window_layout "$app")
  check "laid out with gaps of 9 pixels" laid_out "$app" 9
  check "the columns half as wide again" scaled_columns "$(grep '^columns' <<<"$layout")" \
    "$(window_layout "$app" | grep '^columns')" 150
  read -r _ width height < <(grep '^window' <<<"$layout")
  hv dpi-changed "$(window_caption "$app")" 96 "$width" "$height" >/dev/null
  check "back at 96 DPI: laid out as before" equals "$(window_layout "$app")" "$layout"
  check "with gaps of 6 pixels" laid_out "$app" 6
  # A size suggested that keeps the client area (no WM_SIZE comes): laid out all the same.
  hv dpi-changed "$(window_caption "$app")" 144 "$width" "$height" >/dev/null
  check "at 144 DPI in the size it had: gaps of 9 pixels" laid_out "$app" 9
  hv dpi-changed "$(window_caption "$app")" 96 "$width" "$height" >/dev/null
  check "and back: laid out as before" equals "$(window_layout "$app")" "$layout"

  hv key "$(window_caption "$app")" 27 >/dev/null  # Esc
  check "Esc closes the window" wait_window_exit "$app" 30
  check "and the program ends with 0" equals "$(cat "$app/window.exit" 2>/dev/null)" 0
}

# Started on its own, as Explorer or a shortcut starts it (`start`, with no arguments, in the
# installation folder), the program opens its window and leaves no console window.
case_lister_window_opens_when_started_on_its_own() {
  local app="$CASE/app"
  new_copy "$app"
  add_lister "$app"
  add_idle_job "$app"
  require "the window opens" open_window "$app" "$WINE" start /wait /unix "$app/$LISTER_EXE" ||
    return 1
  check "it shows the folder's file" equals "$(window_files "$app")" idle.hvj
  check "no console window is left" equals "$(hv visible-windows conhost.exe | head -n1)" 0
  check "the program shows its window only" equals "$(hv visible-windows "$LISTER_EXE" | head -n1)" 1
  hv key "$(window_caption "$app")" 27 >/dev/null
  check "Esc closes it, exit code 0" eval 'wait_window_exit "$app" 30 && [ "$(cat "$app/window.exit")" == 0 ]'
}

# The window stays current: LEFT counts down, and a start that the scheduler makes (under
# faketime, a minute from now) shows as `started` within moments of the store recording it.
case_lister_window_shows_the_start_the_scheduler_makes() {
  local app="$CASE/app" left seen clock
  new_copy "$app"
  add_lister "$app"
  add_counting_job "$app" weekly 0010000 14:30:00
  # One clock for both programs, started a few seconds apart: the same offset from the real
  # one (a moment to start at would differ by the seconds between their starts).
  clock=$(printf '%+d' $(($(date -u -d "$WEDNESDAY 14:29:48" +%s) - $(date -u +%s))))
  require "the window opens" lister_window "$app" "$clock" || return 1
  check "the job is scheduled" equals "$(window_cell "$app" weekly.hvj 6)" scheduled
  left=$(window_cell "$app" weekly.hvj 2)
  check "LEFT counts down" wait_for 10 eval '[ "$(window_cell "$app" weekly.hvj 2)" != "$left" ]'
  start_scheduler "$app" "$clock"
  require "the scheduler starts the job" wait_for 60 started_once "$app" weekly || return 1
  # Within two seconds of the start, give or take the moment the helper takes to look.
  seen=$SECONDS
  check "the window shows it started at once" wait_for 4 eval \
    '[ "$(window_cell "$app" weekly.hvj 6)" == started ]'
  log "    (shown $((SECONDS - seen)) s after the start was counted)"
  check "the window sees the scheduler running (it never held its mutex)" eval \
    'window_status "$app" | grep -qx "Scheduler: running."'
  check "LAST is the store's text" equals "$(window_cell "$app" weekly.hvj 3)" \
    "$(store_text "$app" | grep -F -- "$(counting_command "$app" weekly)=" | cut -d= -f2-)"
  screenshot harbovale-jobs-window-started
  hv key "$(window_caption "$app")" 27 >/dev/null
  check "Esc closes it" wait_window_exit "$app" 30
}
