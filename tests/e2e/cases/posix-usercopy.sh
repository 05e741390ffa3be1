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
  new_copy "$app"
  add_lister "$app"
  add_copy_jobs "$app" "$copy" "$counts"
  CASE_READ_ONLY_FOLDER=1

  start_scheduler "$app" "@$WEDNESDAY 14:29:55"
  check_copy_starts "$app" "$copy" "$counts" || return 1
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
