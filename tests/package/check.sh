#!/usr/bin/env bash
# Checks the release archives that scripts/package.sh made: each holds exactly what it
# should, and the programs in it start. Natively the unpacked program runs a demo folder
# with one job due; under Wine the unpacked .exe keeps its identity, registers itself and
# refuses a second copy.
#   tests/package/check.sh [folder of the archives, build/release]
# Needs the build trees build/native and build/windows (their release-programs.txt;
# hvtest.exe and identity_check.exe for Wine). PACKAGE_KEEP=1 keeps the scratch folder.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
RELEASE="$(cd "${1:-$root/build/release}" && pwd)"
e2e="$root/tests/e2e"
version=$(sed -n 's/^project(HarbovaleScheduler VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
LINUX_TOP="harbovale-scheduler-$version-Linux-x86_64"
LINUX_ARCHIVE="$RELEASE/$LINUX_TOP.tar.gz"
WINDOWS_ARCHIVE="$RELEASE/HarbovaleScheduler-$version-win64.zip"

WORK="$(mktemp -d /tmp/hv-package.XXXXXX)"
started=$SECONDS

# archive_entries <archive>: its entries, sorted, one a line (folders end with '/').
archive_entries() { cmake -E tar tf "$1" | sort; }

# expected_entries <prefix> <build tree>: README.md, INSTALL.txt and the release programs
# that the build tree names, each behind <prefix>, sorted.
expected_entries() {
  { echo "${1}README.md"; echo "${1}INSTALL.txt"; sed "s|^|$1|" "$2/release-programs.txt"; } | sort
}

# holds_exactly <archive> <prefix> <build tree>
holds_exactly() { equals "$(archive_entries "$1")" "$(expected_entries "$2" "$3")"; }

# unpack <archive> <folder>
unpack() { mkdir -p "$2" && (cd "$2" && cmake -E tar xf "$1"); }

# ---- Linux archive, native program -----------------------------------------------------
linux() {
  BUILD="$root/build/native"
  source "$e2e/lib/common.sh"
  source "$e2e/lib/jobs.sh"
  source "$e2e/lib/posix.sh"

  case_linux_archive_holds_exactly_its_files() {
    check "its name" test -f "$LINUX_ARCHIVE" || return 1
    check "its entries: README.md, INSTALL.txt and the programs in one folder" \
      holds_exactly "$LINUX_ARCHIVE" "$LINUX_TOP/" "$BUILD"
    unpack "$LINUX_ARCHIVE" "$CASE"
    check "README.md is the project's" cmp "$CASE/$LINUX_TOP/README.md" "$root/README.md"
    check "INSTALL.txt is the Linux one" \
      cmp "$CASE/$LINUX_TOP/INSTALL.txt" "$root/packaging/INSTALL-linux.txt"
    local program
    while read -r program; do
      check "$program may be run" test -x "$CASE/$LINUX_TOP/$program"
    done <"$BUILD/release-programs.txt"
  }

  # The unpacked folder is the installation: a demo job beside it is started once.
  case_unpacked_program_runs_a_demo_job() {
    local app="$CASE/$LINUX_TOP" cmd
    unpack "$LINUX_ARCHIVE" "$CASE"
    add_counting_job "$app" demo 1111111 14:30:00
    cmd=$(counting_command "$app" demo)
    start_scheduler "$app" "@$WEDNESDAY 14:29:58"
    check "it registers the unpacked program" wait_for 30 entry_is "$app/$SCHEDULER_EXE"
    require "the demo job starts" wait_for 30 started_once "$app" demo || return 1
    check "its start is recorded" \
      store_has_line "$app" "$cmd=$(store_time_text "$WEDNESDAY" 14:30:00)"
    check "SIGTERM ends it" stop_scheduler "$app"
    check "with exit code 0" equals "$(exit_code "$app")" 0
    check "nothing on standard error" test ! -s "$app/scheduler.err"
  }

  mapfile -t cases < <(list_cases)
  run_cases "$WORK/linux" "${cases[@]}"
  summary "package, Linux"
}

# ---- Windows archive, under Wine -------------------------------------------------------
windows() {
  BUILD="$root/build/windows"
  source "$e2e/lib/common.sh"
  source "$e2e/lib/jobs.sh"
  source "$e2e/lib/wine.sh"

  # identity_kept <program> <file description> plain|window: its version resource and
  # manifest, read back.
  identity_kept() {
    wine_env "$WINE" "$BUILD/identity_check.exe" "$(windows_path "$1")" "$2" "$(basename "$1")" \
      "$version" "$3" >>"$CASE/identity.txt" 2>&1
  }

  case_windows_archive_holds_exactly_its_files() {
    check "its name" test -f "$WINDOWS_ARCHIVE" || return 1
    check "its entries: README.md, INSTALL.txt and the programs, no folder" \
      holds_exactly "$WINDOWS_ARCHIVE" "" "$BUILD"
    unpack "$WINDOWS_ARCHIVE" "$CASE"
    check "README.md is the project's" cmp "$CASE/README.md" "$root/README.md"
    check "INSTALL.txt is the Windows one" cmp "$CASE/INSTALL.txt" "$root/packaging/INSTALL-windows.txt"
  }

  case_unpacked_exe_registers_and_refuses_a_second_copy() {
    local app="$CASE/Harbovale" second
    unpack "$WINDOWS_ARCHIVE" "$app"
    check "it keeps its identity (see identity.txt)" identity_kept "$app/$SCHEDULER_EXE" \
      "Harbovale Scheduler" plain
    check "the companion keeps its identity (see identity.txt)" \
      identity_kept "$app/HarbovaleJobs.exe" "Harbovale Jobs - what the scheduler sees" window
    add_idle_job "$app"
    start_scheduler "$app"
    require "it registers the unpacked program" wait_for 60 registered "$app" || return 1
    require "its hidden window exists" hidden_window_exists 30 || return 1
    hv delete-run-value "$RUN_VALUE_NAME" >/dev/null
    (cd "$app" && wine_env timeout 60 "$WINE" "$app/$SCHEDULER_EXE" >"$CASE/second.out" 2>&1)
    second=$?
    check "a second copy ends at once with code 0" equals "$second" 0
    check "the second copy wrote no Run value" run_value_absent
    check "the first copy still runs" scheduler_running "$app"
    check "no error box" no_error_reported
  }

  # The prefix of the Windows unit tests, when there is one: booting a new one takes longer
  # than everything else here.
  [ -f "$BUILD/wineprefix/system.reg" ] && export E2E_WINEPREFIX="$BUILD/wineprefix"
  trap 'platform_stop' EXIT
  platform_start || { echo "package, Windows: 0 passed, 1 failed"; return 1; }
  mapfile -t cases < <(list_cases)
  run_cases "$WORK/windows" "${cases[@]}"
  platform_stop
  trap - EXIT
  summary "package, Windows"
}

status=0
(linux) || status=1
(windows) || status=1
echo "release archives checked in $((SECONDS - started)) s" >&2
if ((status == 0)) && [ -z "${PACKAGE_KEEP:-}" ]; then rm -rf "$WORK"; else echo "files kept in $WORK" >&2; fi
exit $status
