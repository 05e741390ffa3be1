# The companion lister beside the scheduler, on either platform (each platform's lister
# file says how it is installed and run: add_lister, lister). The clock is given with --now
# or set by faketime; texts of dates follow the case's locale, so checks compare the JSON
# form (ISO 8601, TZ=UTC) or texts the scheduler itself wrote.

# keep_lister_json <file> [lister options...]: a copy of a JSON document the lister wrote (its
# options ask for JSON and it wrote something), for check_lister_json. The lister runs in
# subshells (pipes, $(...)), so the documents are gathered in files and checked at the end.
keep_lister_json() {
  local file=$1
  shift
  [[ " $* " == *" --output=json "* || " $* " == *" --output json "* ]] || return 0
  [ -s "$file" ] || return 0
  mkdir -p "$CASE/lister-json"
  cp "$file" "$(mktemp "$CASE/lister-json/XXXXXX.json")"
}

# check_lister_json: every JSON document the case got from the lister follows
# docs/harbovale-jobs.schema.json (run by the harness after each case, in one step).
check_lister_json() {
  local documents=("$CASE"/lister-json/*.json)
  [ -e "${documents[0]}" ] || return 0
  check "the lister's ${#documents[@]} JSON documents follow docs/harbovale-jobs.schema.json" \
    /usr/bin/python3 "$here/../lister/check_json_schema.py" "$here/../../docs/harbovale-jobs.schema.json" \
    "${documents[@]}"
}

# lister_json <folder> <jq filter> [lister options...]: one value of the lister's JSON.
lister_json() {
  local folder=$1 filter=$2
  shift 2
  lister "$folder" "" --output=json "$@" | jq -r "$filter"
}

# A folder with a scheduled, a weekend, an off, an ignored and a non-ASCII job file: the
# table, the JSON and the exit codes; then a broken file and what it holds back.
case_lister_table_json_and_exit_codes() {
  local app="$CASE/app" now=--now=2026-12-09T14:29:00 out status
  # A file name outside ASCII needs a locale whose codeset the C library (and through it
  # Wine) knows: C.UTF-8 always is there.
  CASE_LC_ALL=C.UTF-8
  new_copy "$app"
  add_lister "$app"
  add_job "$app" nightly.hvj "do_schedule=1,days=1111100,time=14:30:00,cmd=$IDLE_COMMAND nightly"
  add_job "$app" weekend.hvj "do_schedule=1,days=0000011,time=10:00:00,cmd=$IDLE_COMMAND weekend"
  add_job "$app" off.hvj "do_schedule=0,days=1111111,time=10:00:00,cmd=$IDLE_COMMAND off"
  add_job "$app" Upper.HVJ "do_schedule=1,days=1111111,time=10:00:00,cmd=$IDLE_COMMAND upper"
  add_job "$app" "Café.hvj" "do_schedule=1,days=0000000,time=10:00:00,cmd=$IDLE_COMMAND cafe"

  out=$(lister "$app" "" "$now")
  status=$?
  check "all is well: exit code 0" equals "$status" 0
  check "the table's heading" equals "$(head -n1 <<<"$out" | tr -s ' ')" \
    "NEXT LEFT LAST PASSED JOB STATUS SCHEDULE COMMAND"
  check "nightly.hvj starts in a minute" grep -Eq ' 1m 0s +- +- +nightly\.hvj +scheduled +Mon-Fri 14:30:00 ' <<<"$out"
  check "weekend.hvj next on Saturday" grep -Eq ' 2d 19h +- +- +weekend\.hvj +scheduled +Sat,Sun 10:00:00 ' <<<"$out"
  check "off and ignored files are hidden" eval '! grep -Eq "off\.hvj|Upper\.HVJ" <<<"$out"'
  check "but counted" grep -q '5 files: 3 jobs listed by the scheduler, 0 held back, 1 off, 1 ignored; 0 with errors.' <<<"$out"
  check "--all shows them" eval 'lister "$app" "" "$now" --all | grep -Eq "Upper\.HVJ +ignored"'

  lister "$app" "" "$now" --output=json --iterations=2 >"$app/out.json"
  check "JSON: exit code 0" equals "$?" 0
  check "JSON: schema 1" equals "$(jq .schema "$app/out.json")" 1
  check "JSON: every file, whatever --all" equals "$(jq '.files | length' "$app/out.json")" 5
  check "JSON: statuses" equals "$(jq -r '[.files[] | "\(.file)=\(.status)"] | sort | join(" ")' "$app/out.json")" \
    "Café.hvj=scheduled Upper.HVJ=ignored nightly.hvj=scheduled off.hvj=off weekend.hvj=scheduled"
  check "JSON: next starts with their offset" equals \
    "$(jq -r '.files[] | select(.file == "nightly.hvj") | [.next[].time] | join(" ")' "$app/out.json")" \
    "2026-12-09T14:30:00+00:00 2026-12-10T14:30:00+00:00"
  check "JSON: a job without a day has no next start" equals \
    "$(jq -c '.files[] | select(.file == "Café.hvj") | .next' "$app/out.json")" "[]"
  check "JSON: why a file is ignored" equals \
    "$(jq -r '.files[] | select(.file == "Upper.HVJ") | .note' "$app/out.json")" \
    'only the extension ".hvj" in lower case is read'

  # A job file of five lines stops the rebuild: whatever comes after it is held back.
  add_job "$app" broken.hvj "do_schedule=1"
  printf 'line 1\r\nline 2\r\n' >"$app/Backup Jobs/broken.hvj"
  lister "$app" "" "$now" --output=json >"$app/broken.json"
  check "a job that would fail: exit code 1" equals "$?" 1
  check "its error as the scheduler's box shows it" equals \
    "$(jq -r '.files[] | select(.file == "broken.hvj") | "\(.status): \(.error.stage): \(.error.text)"' "$app/broken.json")" \
    "error: rebuild: List index out of bounds (22)"
  check "the jobs it holds back are those held back by it" equals \
    "$(jq -r '[.files[] | select(.file == "broken.hvj") | .error.holdsBack[]] | sort | join(" ")' "$app/broken.json")" \
    "$(jq -r '[.files[] | select(.heldBack.by == "broken.hvj" and .status == "scheduled") | .file] | sort | join(" ")' "$app/broken.json")"
  out=$(lister "$app" "" "$now")
  check "the table says what it costs" grep -q \
    '^broken.hvj: "List index out of bounds (22)" The rebuild of the job list stops at this file' <<<"$out"

  lister "$app" "" --output=xml >/dev/null
  check "a usage error: exit code 2" equals "$?" 2
  lister "$app" "" --dir "$CASE/nowhere" >/dev/null
  check "a folder that cannot be read: exit code 2" equals "$?" 2
  check "--version" equals "$(lister "$app" "" --version)" "harbovale-jobs 1.0.0 (JSON schema 1)"
}

# The cross-check that matters: under faketime, the NEXT the lister prints for jobs due a
# minute from now is exactly the start the real scheduler then makes (the text it stores),
# and afterwards the lister says `started` with LAST equal to the store's text.
case_lister_foretells_the_starts_the_scheduler_makes() {
  local app="$CASE/app" weekly monthly job next stored
  new_copy "$app"
  add_lister "$app"
  add_counting_job "$app" weekly 0010000 14:30:00
  add_counting_job "$app" monthly 00000000100000000000000000000000 14:30:05
  add_marker "$app" 14:30:08
  weekly=$(counting_command "$app" weekly)
  monthly=$(counting_command "$app" monthly)
  lister "$app" "@$WEDNESDAY 14:29:30" --output=json >"$app/before.json"
  start_scheduler "$app" "@$WEDNESDAY 14:29:56"
  require "the clock passes 14:30:08" wait_marker "$app" || return 1
  lister "$app" "@$WEDNESDAY 14:30:20" --output=json >"$app/after.json"
  for job in weekly monthly; do
    local cmd=$weekly
    [ "$job" == monthly ] && cmd=$monthly
    next=$(jq -r --arg f "$job.hvj" '.files[] | select(.file == $f) | "\(.status) \(.next[0].text)"' "$app/before.json")
    stored=$(store_text "$app" | grep -F -- "$cmd=" | cut -d= -f2-)
    check "$job: started once" started_once "$app" "$job"
    check "$job: the start foretold is the start made" equals "$next" "scheduled $stored"
    check "$job: afterwards started, LAST is the store's text" equals \
      "$(jq -r --arg f "$job.hvj" '.files[] | select(.file == $f) | "\(.status) \(.last.text)"' "$app/after.json")" \
      "started $stored"
  done
}

# A scheduler starting while the lister looks, again and again, starts as usual (the lister
# never makes it believe it is the second copy), and the lister then sees it running and
# registered for its folder.
case_lister_probing_in_a_loop_never_stops_a_starting_scheduler() {
  local app="$CASE/app" round
  new_copy "$app"
  add_lister "$app"
  add_idle_job "$app"
  rm -f "$CASE/stop"
  (
    while [ ! -e "$CASE/stop" ]; do
      lister "$app" "" --output=json 2>/dev/null | jq -r .scheduler.running >>"$CASE/seen"
    done
  ) &
  local looper=$!
  require "the lister is looking" wait_for 60 test -s "$CASE/seen" || { : >"$CASE/stop"; return 1; }
  check "it sees no scheduler" equals "$(head -n1 "$CASE/seen")" false
  for round in $(seq 1 "$LISTER_PROBE_ROUNDS"); do
    rm -f "$app/exit_code"
    unregister
    start_scheduler "$app"
    check "round $round: the scheduler starts and registers" wait_for 60 registered "$app"
    check "round $round: it keeps running" scheduler_running "$app"
    : >"$CASE/seen"
    check "round $round: the lister sees it running" wait_for 60 grep -qx true "$CASE/seen"
    check "round $round: stopped, it ends with 0" stop_scheduler "$app"
  done
  : >"$CASE/stop"
  wait "$looper"
  unregister
  start_scheduler "$app"
  require "the scheduler is up again" wait_for 60 registered "$app" || return 1
  check "the lister: running, registered for this folder" equals \
    "$(lister "$app" "" --output=json | jq -r '"\(.scheduler.running) \(.scheduler.registeredHere)"')" \
    "true true"
  check "and its footer says so" eval \
    'lister "$app" "" | grep -qx "Start at log-on: registered, for the scheduler in this folder."'
}
