# Shared by both end-to-end harnesses: conditions with deadlines, checks, and the loop that
# runs every case function and prints the summary.
#
# A case is a bash function named case_<name>. It gets a fresh folder of its own as $CASE
# and fails through `check` (the case goes on and is marked failed) or `require` (the case
# stops). Whatever it started is stopped by the platform's `cleanup_case` afterwards.

E2E_PASSED=0
E2E_FAILED=0
E2E_FAILED_NAMES=()
CASE_FAILED=0

# The clock of a scheduler is set by preloading libfaketime directly rather than through the
# faketime command: the command would stand between the harness and the scheduler's process
# id (and its signals), and its shared-memory semaphores, left behind by killed processes,
# make later starts fail once process ids come round again.
LIBFAKETIME=$(dpkg -L libfaketime | grep -m1 '/libfaketime\.so')

log() { printf '%s\n' "$*" >&2; }

# wait_for <deadline seconds> <command...>: runs the command until it succeeds or the
# deadline has passed; succeeds when the command did.
wait_for() {
  local deadline=$1
  shift
  local end=$((SECONDS + deadline))
  until "$@"; do
    ((SECONDS < end)) || return 1
    sleep 0.1
  done
}

# check <description> <command...>: the command must succeed.
check() {
  local description=$1
  shift
  if "$@"; then
    log "    ok: $description"
  else
    log "    FAILED: $description"
    CASE_FAILED=1
  fi
}

# require: like check, but the rest of the case makes no sense without it.
require() {
  check "$@"
  ((CASE_FAILED == 0)) || return 1
}

# equals <actual> <expected>, printing both when they differ.
equals() {
  [ "$1" == "$2" ] && return 0
  log "      got:      '$1'"
  log "      expected: '$2'"
  return 1
}

# Fingerprint of a file (contents and modification time), to see that nobody wrote it.
fingerprint() { stat -c '%Y.%y %s' "$1" && sha256sum <"$1"; }

# The process of a copy of the scheduler started by the platform's start_scheduler, which
# writes its id to <folder>/scheduler.pid.
scheduler_running() { kill -0 "$(cat "$1/scheduler.pid")" 2>/dev/null; }
scheduler_gone() { ! scheduler_running "$1"; }

# wait_exit <folder> <deadline seconds>: waits for that copy to end and records its exit
# code in <folder>/exit_code; fails when it is still running at the deadline.
wait_exit() {
  wait_for "$2" scheduler_gone "$1" || return 1
  local status=0
  wait "$(cat "$1/scheduler.pid")" 2>/dev/null || status=$?
  # (on a full file system the code cannot be recorded; the process is gone all the same)
  [ -f "$1/exit_code" ] || echo "$status" 2>/dev/null >"$1/exit_code" || true
}
exit_code() { cat "$1/exit_code" 2>/dev/null; }

# run_cases <work folder> <case function...>
run_cases() {
  local work=$1
  shift
  local name
  for name in "$@"; do
    CASE="$work/${name#case_}"
    mkdir -p "$CASE"
    CASE_FAILED=0
    log "--- ${name#case_}"
    local started=$SECONDS
    "$name" || CASE_FAILED=1
    ! declare -F check_lister_json >/dev/null || check_lister_json
    cleanup_case
    if ((CASE_FAILED)); then
      E2E_FAILED=$((E2E_FAILED + 1))
      E2E_FAILED_NAMES+=("${name#case_}")
      log "--- ${name#case_}: FAILED ($((SECONDS - started)) s; files in $CASE)"
    else
      E2E_PASSED=$((E2E_PASSED + 1))
      log "--- ${name#case_}: passed ($((SECONDS - started)) s)"
    fi
  done
}

# Every function named case_* that the sourced case files define, in name order; E2E_FILTER
# (a regular expression) picks some.
list_cases() { declare -F | awk '{print $3}' | grep '^case_' | grep -E "${E2E_FILTER:-.}"; }

# Prints the summary; its status is the harness's.
summary() {
  local title=$1
  if ((E2E_FAILED)); then log "$title: failed cases: ${E2E_FAILED_NAMES[*]}"; fi
  echo "$title: $E2E_PASSED passed, $E2E_FAILED failed"
  ((E2E_FAILED == 0 && E2E_PASSED > 0))
}

# e2e_main <platform> [--setup | --case <name> | --teardown]: the harness's entry. Without
# a mode it runs every case (or those E2E_FILTER picks) between platform_start and
# platform_stop. A platform whose cases share what platform_start made (SHARED_PLATFORM=1:
# Wine's display, wineserver and prefix) keeps it in <build>/e2e-<platform> from --setup to
# --teardown, and --case runs one case in it; ctest runs them as a fixture and its tests.
e2e_main() {
  local platform=$1 mode=${2:-all} shared=$BUILD/e2e-$1
  local started=$SECONDS
  case "$mode" in
    --setup)
      WORK=$shared
      rm -rf "$WORK" && mkdir -p "$WORK"
      platform_start || { platform_stop; exit 1; }
      : >"$WORK/ready"
      exit 0
      ;;
    --teardown)
      WORK=$shared
      [ -d "$WORK" ] || exit 0
      platform_attach
      platform_stop
      exit 0
      ;;
    --case)
      local name=case_${3#case_}
      declare -F "$name" >/dev/null || { log "no case $name"; exit 2; }
      if ((${SHARED_PLATFORM:-0})); then
        WORK=$shared
        [ -f "$WORK/ready" ] && platform_attach || { log "$WORK is not set up: run with --setup first"; exit 1; }
        rm -rf "$WORK/cases/${name#case_}"
      else
        WORK="$(mktemp -d "/tmp/hv-e2e-$platform.XXXXXX")"
        platform_start
      fi
      run_cases "$WORK/cases" "$name"
      ((${SHARED_PLATFORM:-0})) || platform_stop
      ;;
    all)
      WORK="$(mktemp -d "/tmp/hv-e2e-$platform.XXXXXX")"
      trap 'platform_stop' EXIT
      platform_start || { echo "$platform: 0 passed, 1 failed"; exit 1; }
      local -a cases
      mapfile -t cases < <(list_cases)
      run_cases "$WORK/cases" "${cases[@]}"
      platform_stop
      trap - EXIT
      log "$platform run took $((SECONDS - started)) s"
      ;;
    *)
      log "unknown mode $mode"
      exit 2
      ;;
  esac
  if ((E2E_FAILED == 0)) && [ -z "${E2E_KEEP:-}" ]; then
    if [ "$mode" = all ] || ! ((${SHARED_PLATFORM:-0})); then rm -rf "$WORK"; else rm -rf "$CASE"; fi
  else
    log "files kept in $WORK"
  fi
  summary "$platform"
}
