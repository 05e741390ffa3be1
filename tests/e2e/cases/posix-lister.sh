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
    XDG_RUNTIME_DIR="$(runtime_dir)" XDG_STATE_HOME="$(state_dir)" "${command[@]}" \
    >"$out" 2>"$folder/lister.err" </dev/null
  local status=$?
  keep_lister_json "$out" "$@"
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

# --watch in a real terminal (tmux): the table shows and follows the folder within two
# seconds; q ends it with 0 and gives the screen back, Ctrl-C ends it with 130; without a
# terminal it is a usage error.
case_lister_watch_redraws_in_a_terminal() {
  local app="$CASE/app" socket="$CASE/tmux.sock" started elapsed
  new_copy "$app"
  add_lister "$app"
  add_job "$app" nightly.hvj "do_schedule=1,days=1111111,time=14:30:00,cmd=$IDLE_COMMAND nightly"
  # watch <session>: the live view in a terminal of 200 columns; what it ends with is
  # written below it, in the same terminal.
  lister_watch_in_tmux() {
    tmux -S "$socket" new-session -d -s "$1" -x 200 -y 40 \
      "env LC_ALL=$E2E_LC_ALL XDG_CONFIG_HOME='$(config_dir)' XDG_RUNTIME_DIR='$(runtime_dir)' \
       '$app/$LISTER_EXE' --watch; echo \"watch ended: \$?\"; sleep 60"
  }
  lister_screen_has() { tmux -S "$socket" capture-pane -p -t "$1" | grep -Eq "$2"; }
  lister_ms() { echo $(($(date +%s%N) / 1000000)); }

  lister_watch_in_tmux one
  check "the table shows" wait_for 5 lister_screen_has one 'nightly\.hvj +missed|nightly\.hvj +scheduled|nightly\.hvj +started|nightly\.hvj +due'
  check "with its heading" lister_screen_has one '^NEXT +LEFT +LAST +PASSED +JOB +STATUS +SCHEDULE +COMMAND'
  started=$(lister_ms)
  add_job "$app" added.hvj "do_schedule=1,days=1111111,time=09:00:00,cmd=$IDLE_COMMAND added"
  check "a job file added appears" wait_for 5 lister_screen_has one 'added\.hvj'
  elapsed=$(($(lister_ms) - started))
  check "within two seconds (took ${elapsed} ms)" test "$elapsed" -le 2000
  check "the counts follow" lister_screen_has one '^2 files: 2 jobs listed'
  tmux -S "$socket" send-keys -t one q
  check "q ends it with exit code 0" wait_for 5 lister_screen_has one '^watch ended: 0$'
  check "and gives the screen back" eval '! lister_screen_has one "^NEXT +LEFT"'

  lister_watch_in_tmux two
  check "the second view shows" wait_for 5 lister_screen_has two 'added\.hvj'
  tmux -S "$socket" send-keys -t two C-c
  check "Ctrl-C ends it with exit code 130" wait_for 5 lister_screen_has two '^watch ended: 130$'
  tmux -S "$socket" kill-server

  lister "$app" "" --watch >"$app/watch.out"
  check "standard output not a terminal: a usage error, exit code 2" equals "$?" 2
  check "saying why" grep -q 'needs a terminal' "$app/lister.err"
  check "and nothing on standard output" test ! -s "$app/watch.out"
}

# --watch reads q from the terminal: in a terminal with standard input from elsewhere
# (/dev/null here) it is a usage error, said on the terminal, and the terminal is left as it
# was: main screen, cursor shown, keys echoed.
case_lister_watch_needs_its_keys_from_the_terminal() {
  local app="$CASE/app" socket="$CASE/tmux.sock"
  new_copy "$app"
  add_lister "$app"
  add_job "$app" nightly.hvj "do_schedule=1,days=1111111,time=14:30:00,cmd=$IDLE_COMMAND nightly"
  tmux -S "$socket" new-session -d -s view -x 200 -y 40 \
    "env LC_ALL=$E2E_LC_ALL XDG_CONFIG_HOME='$(config_dir)' XDG_RUNTIME_DIR='$(runtime_dir)' \
     '$app/$LISTER_EXE' --watch </dev/null; echo \"watch ended: \$?\"; exec cat"
  screen_has() { tmux -S "$socket" capture-pane -p -t view | grep -Eq "$1"; }
  check "a usage error, exit code 2" wait_for 10 screen_has '^watch ended: 2$'
  check "saying why" screen_has 'standard input is not one, so q cannot be read'
  check "no table was shown" eval '! screen_has "^NEXT +LEFT"'
  check "the terminal is on its main screen, with the cursor shown" \
    equals "$(tmux -S "$socket" display-message -p -t view '#{alternate_on} #{cursor_flag}')" "0 1"
  tmux -S "$socket" send-keys -t view 'typed back'
  check "and what is typed shows" wait_for 5 screen_has '^typed back'
  tmux -S "$socket" kill-server
}
