# The system's time zone changed under a running scheduler (POSIX): the machine's zone file
# is replaced for the scheduler alone, in a mount namespace of its own.

# zone_file_of <folder> <zone>: binds that zone's file over /etc/localtime for the scheduler
# of the folder, as a change of the system's zone would replace it.
zone_file_of() {
  nsenter -t "$(cat "$1/scheduler.pid")" -m \
    mount --bind "/usr/share/zoneinfo/$2" /etc/localtime
}

# Started in UTC, the scheduler is switched to Tokyo: a job due now in Tokyo, nine hours
# away from due in UTC, starts at one of the next ticks.
case_a_change_of_zone_is_seen_at_the_next_tick() {
  local app="$CASE/app"
  new_copy "$app"
  add_counting_job "$app" tokyo 1111111 "$(TZ=Asia/Tokyo date +%H:%M:%S)"
  add_marker "$app" "$(TZ=UTC date +%H:%M:%S)"
  mkdir -p "$(runtime_dir)"
  # Without TZ, so that the zone file is what counts; in a private mount namespace that
  # starts with UTC's file in place of the machine's (unshare and sh hand on their process).
  (cd "$app" && exec env -u TZ LC_ALL="$E2E_LC_ALL" XDG_CONFIG_HOME="$(config_dir)" \
    XDG_RUNTIME_DIR="$(runtime_dir)" unshare -m --propagation private sh -c \
    'mount --bind /usr/share/zoneinfo/Etc/UTC /etc/localtime && exec "$0"' "$app/$SCHEDULER_EXE" \
    >"$app/scheduler.out" 2>"$app/scheduler.err" </dev/null) &
  echo $! >"$app/scheduler.pid"
  STARTED_FOLDERS+=("$app")

  require "it runs in UTC: the job due now in UTC starts" wait_marker "$app" 30 || return 1
  check "the job due now in Tokyo has not started" equals "$(starts "$app" tokyo)" 0
  require "the zone becomes Tokyo's" zone_file_of "$app" Asia/Tokyo || return 1
  check "the job due now in Tokyo starts within seconds" wait_for 10 started_once "$app" tokyo
  check "no error was reported" no_error_reported "$app"
}
