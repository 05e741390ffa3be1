#!/usr/bin/env bash
# End-to-end tests of the POSIX build.
#   tests/e2e/run-posix.sh <build>                every case (E2E_FILTER=<regex> picks some)
#   tests/e2e/run-posix.sh <build> --case <name>  one case (ctest runs each case so)
# E2E_KEEP=1 keeps the scratch folder.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
BUILD="$(cd "${1:?usage: run-posix.sh <build/native> [--case <name>]}" && pwd)"
[ -x "$BUILD/harbovale-scheduler" ] || { echo "missing $BUILD/harbovale-scheduler (build target scheduler)" >&2; exit 2; }
source "$here/lib/common.sh"
source "$here/lib/jobs.sh"
source "$here/lib/posix.sh"
for file in "$here"/cases/posix-*.sh "$here"/cases/both-*.sh; do source "$file"; done
e2e_main posix "${@:2}"
