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
