# The POSIX side of the end-to-end harness: the native build run directly, each case with its
# own copy, its own XDG_CONFIG_HOME (autostart entry), XDG_RUNTIME_DIR (locks) and
# XDG_STATE_HOME (the user's copy of a folder the program may not write).
#
# Needs: BUILD (folder with harbovale-scheduler) and WORK (scratch folder).

SCHEDULER_EXE=harbovale-scheduler
TITLE="Harbovale Scheduler"
IDLE_COMMAND=true
E2E_LC_ALL=${E2E_LC_ALL:-C.UTF-8}
export NO_FAKE_STAT=1
export FAKETIME_DONT_RESET=1
export TZ=UTC

platform_start() { :; }
platform_stop() { :; }
platform_attach() { :; }

config_dir() { echo "$CASE/config"; }
runtime_dir() { echo "$CASE/runtime"; }
state_dir() { echo "$CASE/state"; }
# user_copy <folder>: this user's copy of a program folder, in the case's XDG_STATE_HOME.
user_copy() { echo "$(state_dir)/harbovale-scheduler$1"; }
autostart_entry() { echo "$CASE/config/autostart/harbovale-scheduler.desktop"; }

# The entry that registers the executable at <path> (already quoted as Exec wants it).
expected_entry() {
  printf '[Desktop Entry]\nType=Application\nName=Harbovale Scheduler\nExec=%s\n' "$1"
}
entry_is() { [ "$(cat "$(autostart_entry)" 2>/dev/null)" == "$(expected_entry "$1")" ]; }

# start_scheduler <folder> [faketime moment]: its standard output and error go to
# scheduler.out and scheduler.err in the folder, or in SCHEDULER_LOGS when a case sets it.
# It sees the session bus of the case (CASE_BUS, see start_session_bus) or none. With
# CASE_READ_ONLY_FOLDER set, the program sees its folder mounted read-only (a bind mount in
# a mount namespace of its own), while the case goes on writing there. With
# CASE_STDERR_READER_GONE set, its standard error is a pipe whose reader has gone instead
# (and SIGPIPE at its default, whatever the harness was started with).
start_scheduler() {
  local folder=$1 moment=${2:-} logs=${SCHEDULER_LOGS:-$1}
  local -a command=("$folder/$SCHEDULER_EXE")
  [ -n "${CASE_READ_ONLY_FOLDER:-}" ] && command=(unshare -m --propagation private sh -c \
    'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && shift && exec "$@"' sh \
    "$folder" "${command[@]}")
  [ -n "${CASE_STDERR_READER_GONE:-}" ] && command=(/usr/bin/python3 -c "$STDERR_READER_GONE" \
    "${command[@]}")
  [ -n "$moment" ] && command=(env LD_PRELOAD="$LIBFAKETIME" FAKETIME="$moment" "${command[@]}")
  mkdir -p "$(runtime_dir)"
  local -a bus=(-u DBUS_SESSION_BUS_ADDRESS)
  [ -z "${CASE_BUS:-}" ] || bus=(DBUS_SESSION_BUS_ADDRESS="$CASE_BUS")
  (cd "$folder" && exec env "${bus[@]}" LC_ALL="${CASE_LC_ALL:-$E2E_LC_ALL}" \
    XDG_CONFIG_HOME="$(config_dir)" XDG_RUNTIME_DIR="$(runtime_dir)" \
    XDG_STATE_HOME="$(state_dir)" "${command[@]}" \
    >"$logs/scheduler.out" 2>"$logs/scheduler.err" </dev/null) &
  echo $! >"$folder/scheduler.pid"
  STARTED_FOLDERS+=("$folder")
}

# Runs its arguments as a pipeline that has ended would: standard error on a pipe with no
# reader left, SIGPIPE at its default.
STDERR_READER_GONE='import os, signal, sys
r, w = os.pipe(); os.close(r); os.dup2(w, 2); os.close(w)
signal.signal(signal.SIGPIPE, signal.SIG_DFL)
os.execv(sys.argv[1], sys.argv[1:])'

# signal_scheduler <folder> <signal>
signal_scheduler() { kill -s "$2" "$(cat "$1/scheduler.pid")"; }

# stop_scheduler <folder>: SIGTERM, which ends the program with code 0.
stop_scheduler() {
  scheduler_running "$1" || return 0
  signal_scheduler "$1" TERM
  wait_exit "$1" 20 && return 0
  log "    (the scheduler did not end on SIGTERM; killing it)"
  kill -9 "$(cat "$1/scheduler.pid")" 2>/dev/null
  wait_exit "$1" 10
  echo killed >"$1/exit_code"
  return 1
}

# hold_lock <lock file>: another process holds the lock until release_lock.
hold_lock() {
  rm -f "$CASE/lock.release" "$CASE/lock.ready"
  mkdir -p "$(dirname "$1")"
  flock -n "$1" -c "touch '$CASE/lock.ready'; while [ ! -e '$CASE/lock.release' ]; do sleep 0.05; done" \
    >/dev/null 2>&1 &
  HOLDER_PID=$!
  wait_for 10 test -e "$CASE/lock.ready"
}
release_lock() {
  : >"$CASE/lock.release"
  wait "$HOLDER_PID" 2>/dev/null
}

# mount_tmpfs <folder> <mount options>: a small file system of the case's own there, unmounted
# when the case ends (tests run as root).
mount_tmpfs() {
  mkdir -p "$1"
  mount -t tmpfs -o "$2" harbovale-e2e "$1" || return 1
  MOUNTS+=("$1")
}

cleanup_case() {
  local folder
  for folder in "${STARTED_FOLDERS[@]}"; do stop_scheduler "$folder" || true; done
  STARTED_FOLDERS=()
  [ -z "${HOLDER_PID:-}" ] || release_lock
  HOLDER_PID=""
  for folder in "${MOUNTS[@]}"; do umount "$folder" || log "    (could not unmount $folder)"; done
  MOUNTS=()
  CASE_LC_ALL=""
  CASE_READ_ONLY_FOLDER=""
  CASE_STDERR_READER_GONE=""
  SCHEDULER_LOGS=""
  local pid
  for pid in "${BUS_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
    kill -CONT "$pid" 2>/dev/null  # a bus that a case paused must go on to end
    wait "$pid" 2>/dev/null
  done
  BUS_PIDS=()
  CASE_BUS=""
}
BUS_PIDS=()
STARTED_FOLDERS=()
MOUNTS=()

# counting_command <folder> <name>: a shell script that counts its starts in <name>.txt.
counting_command() {
  printf '#!/bin/sh\necho started >>"%s"\n' "$1/$2.txt" >"$1/$2.sh"
  printf 'sh %s' "$1/$2.sh"
}

# The store's date-time texts as date(1) writes them, under the case's locale: the C locale
# gives every default ("m/d/yy" and "h:mm:ss AMPM" with "am" and "pm").
store_time_format() {
  case "${CASE_LC_ALL:-$E2E_LC_ALL}" in
    C | C.* | POSIX) echo '%-m/%-d/%y %-I:%M:%S %P' ;;
    *) log "    (no store text known for ${CASE_LC_ALL:-$E2E_LC_ALL})"; return 1 ;;
  esac
}
# The backup application, played by a process holding its lock.
backup_app_starts() { hold_lock "$(runtime_dir)/HarbovaleMutex_8m01349r464.lock"; }
backup_app_stops() { release_lock; }
# Another program holding the scheduler's single-instance lock.
hold_instance_mutex() { hold_lock "$(runtime_dir)/HarbovaleScheduler.lock"; }
release_instance_mutex() { release_lock; }

# The log-on registration is the autostart entry. registered <folder>: it starts that copy.
registered() { entry_is "$1/$SCHEDULER_EXE"; }
not_registered() { [ ! -e "$(autostart_entry)" ]; }
unregister() { rm -f "$(autostart_entry)"; }
register_stale() {
  mkdir -p "$(dirname "$(autostart_entry)")"
  echo stale >"$(autostart_entry)"
}
# A file where the autostart folder should be: even root cannot write into a file.
refuse_registration() {
  mkdir -p "$(config_dir)"
  echo "not a folder" >"$(config_dir)/autostart"
}

# The program has no window here: nothing to see.
check_window_stays_hidden() { :; }

# no_error_reported <folder>: no error line on standard error.
no_error_reported() { [ ! -s "$1/scheduler.err" ]; }
# check_one_error_then_exit <folder> <message>: the error goes to standard error as one line
# under the title, and the program ends without waiting for anyone.
check_one_error_then_exit() {
  check "it ends by itself" wait_exit "$1" 30
  check "one error line on standard error" equals "$(cat "$1/scheduler.err")" "$TITLE: $2"
}

# start_session_bus: a private session bus for the case; its address becomes CASE_BUS.
start_session_bus() {
  dbus-daemon --session --nofork --print-address=1 >"$CASE/bus.address" 2>"$CASE/bus.err" &
  SESSION_BUS_PID=$!
  BUS_PIDS+=($!)
  wait_for 10 test -s "$CASE/bus.address" || return 1
  CASE_BUS=$(head -n 1 "$CASE/bus.address")
}
# The case's bus daemon hangs: it still takes connections (the system queues them) and
# answers nothing, until the case ends.
pause_session_bus() { kill -STOP "$SESSION_BUS_PID"; }
# on_bus <command...>: runs a command against the case's bus.
on_bus() { DBUS_SESSION_BUS_ADDRESS="$CASE_BUS" "$@"; }
notification_server_present() {
  on_bus dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null |
    grep -q 'boolean true'
}
# start_notification_server [template parameters]: a notification server on the case's bus
# that records every call in $CASE/notifications.log (Debian's python3-dbusmock; Debian's
# own interpreter has it).
start_notification_server() {
  env DBUS_SESSION_BUS_ADDRESS="$CASE_BUS" /usr/bin/python3 -m dbusmock \
    --template notification_daemon -l "$CASE/notifications.log" ${1:+-p "$1"} \
    >>"$CASE/notification-server.out" 2>&1 &
  NOTIFICATION_SERVER_PID=$!
  BUS_PIDS+=("$NOTIFICATION_SERVER_PID")
  wait_for 20 notification_server_present
}
notification_server_gone() { ! notification_server_present; }
stop_notification_server() {
  kill "$NOTIFICATION_SERVER_PID"
  wait "$NOTIFICATION_SERVER_PID" 2>/dev/null
  wait_for 10 notification_server_gone
}
# The person dismisses notification <id>: the server says it closed.
close_notification() {
  on_bus dbus-send --session --print-reply --dest=org.freedesktop.Notifications \
    /org/freedesktop/Notifications org.freedesktop.Notifications.CloseNotification "uint32:$1" \
    >/dev/null
}
