#!/usr/bin/env bash
# End-to-end tests of the Windows program under Wine.
#   tests/e2e/run-wine.sh <build>                every case (E2E_FILTER=<regex> picks some)
#   tests/e2e/run-wine.sh <build> --setup        starts the display, wineserver and prefix
#                                                that the cases share, in <build>/e2e-wine
#   tests/e2e/run-wine.sh <build> --case <name>  one case, in what --setup started
#   tests/e2e/run-wine.sh <build> --teardown     stops them
# ctest runs each case as its own test (`ctest --preset windows -L e2e -R <name>`), with
# --setup and --teardown as the fixture around them. E2E_KEEP=1 keeps the scratch folder.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
BUILD="$(cd "${1:?usage: run-wine.sh <build/windows> [--setup|--case <name>|--teardown]}" && pwd)"
for file in HarbovaleScheduler.exe hvtest.exe; do
  [ -f "$BUILD/$file" ] || { echo "missing $BUILD/$file (build targets scheduler and hvtest)" >&2; exit 2; }
done
source "$here/lib/common.sh"
source "$here/lib/jobs.sh"
source "$here/lib/wine.sh"
for file in "$here"/cases/wine-*.sh "$here"/cases/both-*.sh; do source "$file"; done
e2e_main wine "${@:2}"
