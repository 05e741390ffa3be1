# The lister's window is the Windows program's: here --window is a usage error that says so.

case_lister_window_is_a_usage_error_here() {
  local app="$CASE/app" out
  new_copy "$app"
  add_lister "$app"
  add_idle_job "$app"
  out=$(lister "$app" "" --window)
  check "exit code 2" equals "$?" 2
  check "nothing on standard output" equals "$out" ""
  check "standard error says why" grep -q -- '--window: only the Windows program has a window' "$app/lister.err"
}
