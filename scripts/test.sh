#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test: the native unit tests,
# again under the address and undefined-behaviour sanitizers, a bounded fuzzing run, the
# date-time round trip under real locales, the Windows unit tests under Wine, the end-to-end
# tests of the real program on both platforms, and the unit tests built for arm64 and run
# under qemu-user (another processor: the scalar twins of the SSE2 searches run there; that
# build runs in the background on what the other stages leave of the processors). Warnings
# are errors here.
#
#   bash scripts/test.sh                 every stage, in order (what CI runs)
#   bash scripts/test.sh unit wine       only those stages (still in the order below)
#
# Stages: unit asan fuzz locale wine e2e e2e-asan e2e-wine arm64 package. Each is a ctest run
# over one label of one build; `ctest --preset <build> -L <label> -R <name>` reruns a single
# test. The last, package, builds the release archives and checks them (tests/package/check.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
all_stages=(unit asan fuzz locale wine e2e e2e-asan e2e-wine arm64 package)
stages=("$@")
((${#stages[@]})) || stages=("${all_stages[@]}")
for stage in "${stages[@]}"; do
  [[ " ${all_stages[*]} " == *" $stage "* ]] || { echo "unknown stage '$stage' (stages: ${all_stages[*]})" >&2; exit 2; }
done
wanted() { [[ " ${stages[*]} " == *" $1 "* ]]; }
wanted_any() { local s; for s in "$@"; do wanted "$s" && return 0; done; return 1; }

bash scripts/install-deps.sh
jobs=$(nproc)
step() { printf '\n== %s\n' "$*"; }
build() {  # build <preset>: configures (once) and builds it
  step "Building the $1 build"
  cmake --preset "$1" -DHARBOVALE_WERROR=ON >/dev/null
  cmake --build --preset "$1" -j "$jobs"
}
export WINEPREFIX="$PWD/build/windows/wineprefix"

# The arm64 build takes only what the other stages leave of the processors (the end-to-end
# cases mostly wait on ticks and on Wine): it runs in the background from the start, scheduled
# only when a processor would otherwise idle (SCHED_IDLE), in a process group of its own that
# ends with this script; its stage, near the end, waits for it.
arm64_build=""
if wanted arm64; then
  mkdir -p build
  set -m
  (chrt --idle -p 0 "$BASHPID" >/dev/null || true; build arm64) >build/arm64-build.log 2>&1 &
  arm64_build=$!
  set +m
  trap '[ -z "$arm64_build" ] || kill -- "-$arm64_build" 2>/dev/null || true' EXIT
fi

wanted_any unit locale e2e package && build native
wanted_any wine locale e2e-wine package && build windows
wanted_any asan fuzz e2e-asan && build asan

if wanted unit; then
  step "Native unit tests"
  ctest --preset native -L unit -j "$jobs"
fi
if wanted asan; then
  step "Native unit tests under the sanitizers"
  ctest --preset asan -L unit -j "$jobs"
fi
if wanted fuzz; then
  step "Fuzzing property strings, date-time text and files of lines (a minute each)"
  ctest --preset asan -L fuzz -j 2
fi
if wanted locale; then
  step "Date-time text under real POSIX locales"
  ctest --preset native -L locale
fi
if wanted wine; then
  step "Windows unit tests under Wine"
  # The application-shell tests create windows: Wine needs a display from its first process on.
  # A Windows process now and then fails to start under Wine at all (no output, in a few
  # hundredths of a second): a failed test runs once more before it counts.
  xvfb-run -a ctest --preset windows -L unit -j "$jobs" --repeat until-pass:2
fi
if wanted locale; then
  step "Date-time text under Wine's locales"
  ctest --preset windows -L locale
fi
if wanted e2e; then
  step "End-to-end: the native program"
  ctest --preset native -L e2e
fi
if wanted e2e-asan; then
  step "End-to-end: the native program under the sanitizers"
  ctest --preset asan -L e2e
fi
if wanted e2e-wine; then
  step "End-to-end: the Windows program under Wine"
  ctest --preset windows -L e2e
fi

if wanted arm64; then
  step "Unit tests built for arm64, under qemu-user"
  arm64_ok=0
  wait "$arm64_build" || arm64_ok=$?
  arm64_build=""
  cat build/arm64-build.log
  ((arm64_ok == 0)) || { echo "the arm64 build failed" >&2; exit 1; }
  ctest --preset arm64 -L unit -j "$jobs"
fi

if wanted package; then
  step "Release archives: built, checked for exactly their files, their programs started"
  bash scripts/package.sh
  bash tests/package/check.sh build/release
fi

step "Stages ${stages[*]} passed in $((SECONDS - started)) s"
