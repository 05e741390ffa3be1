# The Wine side of the end-to-end harness: one prefix, one wineserver and one Xvfb for the
# whole run; each case gets its own folder with its own copy of the scheduler.
#
# Needs: BUILD (folder with HarbovaleScheduler.exe and hvtest.exe) and WORK (scratch folder).

WINE=/usr/lib/wine/wine64
IDLE_COMMAND="cmd /c exit"
WINESERVER=/usr/lib/wine/wineserver64
SCHEDULER_EXE=HarbovaleScheduler.exe
TITLE="Harbovale Scheduler"
RUN_VALUE_NAME="Harbovale Scheduler"
HIDDEN_WINDOW_CLASS=HarbovaleSchedulerHiddenWindow
E2E_LC_ALL=${E2E_LC_ALL:-en_US.UTF-8}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export NO_FAKE_STAT=1       # else Wine sees shifted file times and rebuilds the prefix
export FAKETIME_DONT_RESET=1
export TZ=UTC

XVFB_PID=""
SHARED_PLATFORM=1  # one display, wineserver and prefix for all cases of a run

# Every Wine process of a case sees the same LC_ALL (Wine rewrites the user's locale in its
# registry when it changes); a case may set CASE_LC_ALL.
wine_env() { env LC_ALL="${CASE_LC_ALL:-$E2E_LC_ALL}" "$@"; }

platform_start() {
  # E2E_WINEPREFIX reuses a prefix made before (wineboot then takes 2 s, not 15), after the
  # wineserver of its last user has gone.
  export WINEPREFIX="${E2E_WINEPREFIX:-$WORK/prefix}"
  mkdir -p "$WINEPREFIX"
  "$WINESERVER" -w
  # The display first: Wine's desktop process, started with the prefix, keeps the display
  # it was started with.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$WORK/display" >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  echo "$XVFB_PID" >"$WORK/xvfb.pid"
  wait_for 30 test -s "$WORK/display" || { log "Xvfb did not start"; return 1; }
  export DISPLAY=":$(head -n1 "$WORK/display")"
  wine_env "$WINESERVER" -p >"$WORK/wineserver.log" 2>&1 || { log "wineserver did not start"; return 1; }
  local started=$SECONDS
  wine_env "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 || { log "wineboot failed"; return 1; }
  log "prefix ready in $((SECONDS - started)) s (display $DISPLAY)"
}

# Takes over what platform_start of an earlier process left in $WORK.
platform_attach() {
  export WINEPREFIX="${E2E_WINEPREFIX:-$WORK/prefix}"
  export DISPLAY=":$(head -n1 "$WORK/display")"
  XVFB_PID=$(cat "$WORK/xvfb.pid" 2>/dev/null)
}

platform_stop() {
  [ -n "${WINEPREFIX:-}" ] && "$WINESERVER" -k >/dev/null 2>&1
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=""
  fi
}

# hv <subcommand> ...: runs the test helper; its output (without CRs) on stdout.
hv() {
  local out="$WORK/hv.out"
  wine_env "$WINE" "$BUILD/hvtest.exe" "$@" >"$out" 2>"$WORK/hv.err"
  local status=$?
  tr -d '\r' <"$out"
  return $status
}

# Windows form of a Unix path, as Wine's Z: drive shows it.
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# start_scheduler <folder> [faketime moment]: starts that folder's copy in the background.
start_scheduler() {
  local folder=$1 moment=${2:-}
  local -a command=("$WINE" "$folder/$SCHEDULER_EXE")
  [ -n "$moment" ] && command=(env LD_PRELOAD="$LIBFAKETIME" FAKETIME="$moment" "${command[@]}")
  (cd "$folder" && exec env LC_ALL="${CASE_LC_ALL:-$E2E_LC_ALL}" "${command[@]}" \
    >"$folder/scheduler.out" 2>"$folder/scheduler.err") &
  echo $! >"$folder/scheduler.pid"
  STARTED_FOLDERS+=("$folder")
}

# stop_scheduler <folder>: closes the hidden main window as the system would, which ends the
# program with code 0; kills it when that does not work.
stop_scheduler() {
  scheduler_running "$1" || return 0
  hv close-window "$HIDDEN_WINDOW_CLASS" >/dev/null
  wait_exit "$1" 20 && return 0
  log "    (the scheduler did not close; killing it)"
  hv kill "$SCHEDULER_EXE" >/dev/null
  wait_exit "$1" 10 || kill -9 "$(cat "$1/scheduler.pid")" 2>/dev/null
  echo killed >"$1/exit_code"
  return 1
}

cleanup_case() {
  local folder
  for folder in "${STARTED_FOLDERS[@]}"; do stop_scheduler "$folder" || true; done
  STARTED_FOLDERS=()
  hv close-window HarbovaleJobsWindow >/dev/null  # a lister window a case left open
  hv create-run-key >/dev/null
  hv run-key-writable >/dev/null
  hv delete-run-value "$RUN_VALUE_NAME" >/dev/null
  [ -f "$WORK/mutex.release" ] || : >"$WORK/mutex.release"
  [ -f "$WORK/file.release" ] || : >"$WORK/file.release"
  CASE_LC_ALL=""
}
STARTED_FOLDERS=()

read_run_value() { hv run-value "$RUN_VALUE_NAME"; }
run_value_is() { [ "$(read_run_value)" == "REG_SZ:$1" ]; }
run_value_absent() { read_run_value >/dev/null; [ $? -eq 1 ]; }

box_count() { hv box-count "$TITLE"; }
box_text() { hv box-text "$TITLE"; }
press_ok() { hv press-ok "$TITLE" >/dev/null; }
wait_box() { hv wait-box "$TITLE" "$(($1 * 1000))" >/dev/null; }
visible_windows() { hv visible-windows "$SCHEDULER_EXE"; }
no_visible_window() { [ "$(visible_windows | head -n1)" == 0 ]; }
hidden_window_exists() { hv window-exists "$HIDDEN_WINDOW_CLASS" "$(($1 * 1000))" >/dev/null; }

# hold_mutex <name>: the helper holds that named mutex until release_mutex.
hold_mutex() {
  rm -f "$WORK/mutex.release" "$WORK/mutex.ready"
  wine_env "$WINE" "$BUILD/hvtest.exe" hold-mutex "$1" "$(windows_path "$WORK/mutex.ready")" \
    "$(windows_path "$WORK/mutex.release")" >"$WORK/holder.out" 2>&1 &
  HOLDER_PID=$!
  wait_for 30 test -e "$WORK/mutex.ready"
}
release_mutex() {
  : >"$WORK/mutex.release"
  wait_for 20 eval '! kill -0 "$HOLDER_PID" 2>/dev/null'
}

# hold_open_for_write <file>: the helper keeps the file open for writing (sharing read and
# write) until release_file.
hold_open_for_write() {
  rm -f "$WORK/file.release" "$WORK/file.ready"
  wine_env "$WINE" "$BUILD/hvtest.exe" hold-open-for-write "$(windows_path "$1")" \
    "$(windows_path "$WORK/file.ready")" "$(windows_path "$WORK/file.release")" \
    >"$WORK/file-holder.out" 2>&1 &
  FILE_HOLDER_PID=$!
  wait_for 30 test -e "$WORK/file.ready"
}
release_file() {
  : >"$WORK/file.release"
  wait_for 20 eval '! kill -0 "$FILE_HOLDER_PID" 2>/dev/null'
}

# counting_command <folder> <name>: a batch file that counts its starts in <name>.txt.
counting_command() {
  printf '@echo started>>"%s"\r\n' "$(windows_path "$1/$2.txt")" >"$1/$2.bat"
  printf 'cmd /c %s' "$(windows_path "$1/$2.bat")"
}

# The store's date-time texts as date(1) writes them, under the case's locale, from Wine's
# own locale data: en-US "M/d/yyyy h:mm:ss AMPM", de-DE "d.M.yyyy hh:mm:ss" (24 hours).
store_time_format() {
  case "${CASE_LC_ALL:-$E2E_LC_ALL}" in
    en_US.*) echo '%-m/%-d/%Y %-I:%M:%S %p' ;;
    de_DE.*) echo '%-d.%-m.%Y %H:%M:%S' ;;
    *) log "    (no store text known for ${CASE_LC_ALL:-$E2E_LC_ALL})"; return 1 ;;
  esac
}
# The backup application, played by the helper holding its mutex.
backup_app_starts() { hold_mutex HarbovaleMutex_8m01349r464; }
backup_app_stops() { release_mutex; }
# Another program holding the scheduler's single-instance mutex.
hold_instance_mutex() { hold_mutex HarbovaleScheduler; }
release_instance_mutex() { release_mutex; }

# The log-on registration is the Run value. registered <folder>: it starts that copy.
registered() { run_value_is "$(windows_path "$1/$SCHEDULER_EXE")"; }
not_registered() { run_value_absent; }
unregister() { hv delete-run-value "$RUN_VALUE_NAME" >/dev/null; }
register_stale() { hv set-run-value "$RUN_VALUE_NAME" 'C:\stale\old.exe' >/dev/null; }
# Without the Run key the value cannot be written (the key is never created; cleanup_case
# makes it again).
refuse_registration() { hv delete-run-key; }

# check_window_stays_hidden <folder>: the main window exists and nothing of the program shows.
check_window_stays_hidden() {
  require "the hidden window exists" hidden_window_exists 30 || return 1
  check "no window of the scheduler is visible" no_visible_window
}

# no_error_reported <folder>: no error box is open.
no_error_reported() { [ "$(box_count)" == 0 ]; }
# check_one_error_then_exit <folder> <message>: one error box with the message; the program
# waits for OK, then ends by itself.
check_one_error_then_exit() {
  require "an error box opens" wait_box 60 || return 1
  check "exactly one box" equals "$(box_count)" 1
  check "its text" equals "$(box_text)" "$2"
  check "the process waits for OK" scheduler_running "$1"
  press_ok
  check "after OK it ends by itself" wait_exit "$1" 30
  check "no box is left" equals "$(box_count)" 0
}
