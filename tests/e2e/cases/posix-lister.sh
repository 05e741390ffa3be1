# The companion lister of the POSIX build (its cases, for both platforms, are in
# both-lister.sh): how it is put beside the scheduler and run.

LISTER_EXE=harbovale-jobs

# Starts of the scheduler while the lister looks in a loop (quick here).
LISTER_PROBE_ROUNDS=5

unregister() { rm -f "$(autostart_entry)"; }

# add_lister <folder>: the lister beside that folder's scheduler, as it is installed.
add_lister() { cp "$BUILD/$LISTER_EXE" "$1/"; }

# lister <folder> <faketime moment or ""> [options...]: runs that folder's lister in the case's
# environment; its output on stdout, its standard error in <folder>/lister.err, its exit
# status as the function's.
lister() {
  local folder=$1 moment=$2 out
  shift 2
  local -a command=("$folder/$LISTER_EXE" "$@")
  [ -n "$moment" ] && command=(env LD_PRELOAD="$LIBFAKETIME" FAKETIME="$moment" "${command[@]}")
  out=$(mktemp "$folder/lister.XXXXXX")
  env LC_ALL="${CASE_LC_ALL:-$E2E_LC_ALL}" XDG_CONFIG_HOME="$(config_dir)" \
    XDG_RUNTIME_DIR="$(runtime_dir)" "${command[@]}" >"$out" 2>"$folder/lister.err" </dev/null
  local status=$?
  cat "$out"
  rm -f "$out"
  return $status
}

# The lister looks at the single-instance lock without creating it.
case_lister_never_creates_the_lock_file() {
  local app="$CASE/app"
  new_copy "$app"
  add_lister "$app"
  add_idle_job "$app"
  mkdir -p "$(runtime_dir)"
  lister "$app" "" --output=json >"$app/out.json"
  check "it says the scheduler is not running" equals "$(jq .scheduler.running "$app/out.json")" false
  check "no lock file was made" test ! -e "$(runtime_dir)/HarbovaleScheduler.lock"
}
