# The companion lister of the Windows build under Wine (its cases, for both platforms, are in
# both-lister.sh): how it is put beside the scheduler and run.

LISTER_EXE=HarbovaleJobs.exe

# Starts of the scheduler while the lister looks in a loop (each takes seconds under Wine).
LISTER_PROBE_ROUNDS=2

unregister() { hv delete-run-value "$RUN_VALUE_NAME" >/dev/null; }

# add_lister <folder>: the lister beside that folder's scheduler, as it is installed.
add_lister() { cp "$BUILD/$LISTER_EXE" "$1/"; }

# lister <folder> <faketime moment or ""> [options...]: runs that folder's lister under Wine;
# its output (without CRs) on stdout, its standard error in <folder>/lister.err, its exit
# status as the function's. Output goes through a file: Wine's helper processes may keep a
# pipe open.
lister() {
  local folder=$1 moment=$2 out
  shift 2
  local -a command=("$WINE" "$folder/$LISTER_EXE" "$@")
  [ -n "$moment" ] && command=(env LD_PRELOAD="$LIBFAKETIME" FAKETIME="$moment" "${command[@]}")
  out=$(mktemp "$folder/lister.XXXXXX")
  (cd "$folder" && wine_env "${command[@]}" >"$out" 2>"$folder/lister.err" </dev/null)
  local status=$?
  keep_lister_json "$out" "$@"
  tr -d '\r' <"$out"
  rm -f "$out"
  return $status
}

# --watch in a Windows console (Wine's console on a tmux terminal): the table shows and
# follows the folder; q ends it with 0, Ctrl-C (a console control event there) with 130;
# with standard input not the console it is a usage error, as natively.
case_lister_watch_in_a_console() {
  local app="$CASE/app" socket="$CASE/tmux.sock"
  new_copy "$app"
  add_lister "$app"
  add_job "$app" nightly.hvj "do_schedule=1,days=1111111,time=14:30:00,cmd=$IDLE_COMMAND nightly"
  # lister_console <session> [redirection]: the live view in a console of 200 columns; what
  # it ends with is written below it, in the same terminal.
  lister_console() {
    tmux -S "$socket" new-session -d -s "$1" -x 200 -y 40 \
      "cd '$app' && LC_ALL='${CASE_LC_ALL:-$E2E_LC_ALL}' WINEDEBUG=-all '$WINE' '$LISTER_EXE' --watch ${2:-}; \
       echo \"watch ended: \$?\"; sleep 60"
  }
  lister_console_has() { tmux -S "$socket" capture-pane -p -t "$1" | grep -Eq "$2"; }

  lister_console one
  check "the table shows" wait_for 30 lister_console_has one '^NEXT +LEFT +LAST +PASSED +JOB +STATUS'
  check "with the job" lister_console_has one ' nightly\.hvj +[a-z]+ +every day 14:30:00 '
  add_job "$app" added.hvj "do_schedule=1,days=1111111,time=09:00:00,cmd=$IDLE_COMMAND added"
  check "a job file added appears" wait_for 5 lister_console_has one 'added\.hvj'
  tmux -S "$socket" send-keys -t one q
  check "q ends it with exit code 0" wait_for 10 lister_console_has one '^watch ended: 0$'

  lister_console two
  check "the second view shows" wait_for 30 lister_console_has two 'added\.hvj'
  tmux -S "$socket" send-keys -t two C-c
  check "Ctrl-C ends it with exit code 130" wait_for 10 lister_console_has two '^watch ended: 130$'

  lister_console three '</dev/null'
  check "standard input not the console: a usage error, exit code 2" \
    wait_for 30 lister_console_has three '^watch ended: 2$'
  check "saying why" lister_console_has three 'standard input is not one, so q cannot be read'
  tmux -S "$socket" kill-server
}
