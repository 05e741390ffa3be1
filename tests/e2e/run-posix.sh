#!/usr/bin/env bash
# End-to-end tests of the POSIX build.
#   tests/e2e/run-posix.sh <build folder with harbovale-scheduler>
# E2E_FILTER=<regex> runs only the matching cases; E2E_KEEP=1 keeps the scratch folder.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
BUILD="$(cd "${1:?usage: run-posix.sh <build/native>}" && pwd)"
[ -x "$BUILD/harbovale-scheduler" ] || { echo "missing $BUILD/harbovale-scheduler (build target scheduler)" >&2; exit 2; }
source "$here/lib/common.sh"
source "$here/lib/jobs.sh"
source "$here/lib/posix.sh"
for file in "$here"/cases/posix-*.sh; do source "$file"; done

WORK="$(mktemp -d /tmp/hv-e2e-posix.XXXXXX)"
started=$SECONDS
platform_start
mapfile -t cases < <(list_cases)
run_cases "$WORK/cases" "${cases[@]}"
platform_stop
log "POSIX run took $((SECONDS - started)) s"
if ((E2E_FAILED == 0)) && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$WORK"; else log "files kept in $WORK"; fi
summary posix
