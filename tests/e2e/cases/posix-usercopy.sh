# The program in a folder it may not write, as where root installed it or a read-only mount:
# the user's copy of the folder under XDG_STATE_HOME takes the store, and its job files stand
# in place of the folder's own.

# A read-only program folder: the due jobs start, the store is in the user's copy and not in
# the folder; a job file only the copy holds starts, one in both is read from the copy; a
# restart within the five minutes starts nothing twice; the companion shows the jobs
# started and names the copy's store.
case_a_read_only_program_folder_keeps_its_store_in_the_users_copy() {
  local app="$CASE/app" counts="$CASE/counts" copy json
  copy=$(user_copy "$app/")
  mkdir -p "$counts"
  new_copy "$app"
  add_lister "$app"
  count_job() { add_job "$1" "$2.hvj" "do_schedule=1,days=1111111,time=$3,cmd=$(counting_command "$counts" "$4")"; }
  count_job "$app" plain 14:30:00 plain
  count_job "$app" both 14:30:00 both-real
  count_job "$copy" both 14:30:00 both-copy
  count_job "$copy" copied 14:30:00 copied
  count_job "$app" marker 14:31:05 marker
  CASE_READ_ONLY_FOLDER=1

  start_scheduler "$app" "@$WEDNESDAY 14:29:55"
  require "the job of the folder starts" wait_for 60 started_once "$counts" plain || return 1
  check "the job only the copy holds starts" wait_for 20 started_once "$counts" copied
  check "the job in both starts as the copy has it" wait_for 20 started_once "$counts" both-copy
  check "the folder's own version of it never starts" equals "$(starts "$counts" both-real)" 0
  local at
  at=$(store_time_text "$WEDNESDAY" 14:30:00)
  check "the store in the user's copy records the start" \
    store_has_line "$copy" "$(counting_command "$counts" plain)=$at"
  check "the copy's store records the copy's job" \
    store_has_line "$copy" "$(counting_command "$counts" copied)=$at"
  check "the program folder holds no store" test ! -e "$app/qelvarn.dat"
  check "no error was reported" equals "$(cat "$app/scheduler.err")" ""
  stop_scheduler "$app"

  # Again within the five minutes: it reads the copy's store, and starts only the marker.
  start_scheduler "$app" "@$WEDNESDAY 14:31:00"
  require "the marker starts" wait_marker "$counts" || return 1
  check "nothing started twice" equals "$(cat "$counts"/{plain,copied,both-copy}.txt | wc -l)" 3

  json=$(lister "$app" "@$WEDNESDAY 14:31:10" --output=json)
  check "the companion names the copy's store" equals "$(jq -r .store <<<"$json")" "${copy}qelvarn.dat"
  check "and the copy" equals "$(jq -r .folderCopy <<<"$json")" "$copy"
  check "it shows every job started" equals \
    "$(jq -r '[.files[] | select(.status == "started") | .file] | sort | join(" ")' <<<"$json")" \
    "both.hvj copied.hvj marker.hvj plain.hvj"
  check "it shows the copy's command for the job in both" \
    grep -q both-copy <<<"$(jq -r '.files[] | select(.file == "both.hvj") | .schedule.cmd' <<<"$json")"
  check "its footer names the store it read" grep -qxF \
    "Store: \"${copy}qelvarn.dat\" (this user's copy of the folder)." <(lister "$app" "@$WEDNESDAY 14:31:10")
}
