#!/usr/bin/env bash
# End-to-end tests of the Windows program under Wine.
#   tests/e2e/run-wine.sh <build folder with HarbovaleScheduler.exe and hvtest.exe>
# E2E_FILTER=<regex> runs only the matching cases; E2E_KEEP=1 keeps the scratch folder.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
BUILD="$(cd "${1:?usage: run-wine.sh <build/windows>}" && pwd)"
for file in HarbovaleScheduler.exe hvtest.exe; do
  [ -f "$BUILD/$file" ] || { echo "missing $BUILD/$file (build targets scheduler and hvtest)" >&2; exit 2; }
done
source "$here/lib/common.sh"
source "$here/lib/jobs.sh"
source "$here/lib/wine.sh"
for file in "$here"/cases/wine-*.sh; do source "$file"; done

WORK="$(mktemp -d /tmp/hv-e2e-wine.XXXXXX)"
trap 'platform_stop' EXIT
started=$SECONDS
platform_start || { echo "wine: 0 passed, 1 failed"; exit 1; }
mapfile -t cases < <(list_cases)
run_cases "$WORK/cases" "${cases[@]}"
platform_stop
trap - EXIT
log "Wine run took $((SECONDS - started)) s"
if ((E2E_FAILED == 0)) && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$WORK"; else log "files kept in $WORK"; fi
summary wine
