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
# Stages: unit asan fuzz wine locale e2e e2e-asan e2e-wine arm64 package. Each is a ctest run
# over one label of one build; `ctest --preset <build> -L <label> -R <name>` reruns a single
# test. The three end-to-end stages run side by side (their output follows, a stage at a
# time, and stays in build/stage-logs/). The last, package, builds the release archives and
# checks them (tests/package/check.sh). Each stage says how long it took.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS
all_stages=(unit asan fuzz wine locale e2e e2e-asan e2e-wine arm64 package)
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
  local begun=$SECONDS
  step "Building the $1 build"
  cmake --preset "$1" -DHARBOVALE_WERROR=ON >/dev/null
  cmake --build --preset "$1" -j "$jobs"
  echo "-- the $1 build took $((SECONDS - begun)) s"
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

# Each stage, as a function of its name. A stage runs as the left side of `||` (see run_stage),
# where `set -e` does not hold: its commands are joined with && instead.
stage_unit() { ctest --preset native -L unit -j "$jobs"; }
stage_asan() { ctest --preset asan -L unit -j "$jobs"; }
stage_fuzz() { ctest --preset asan -L fuzz -j 2; }
stage_locale() { ctest --preset native -L locale && ctest --preset windows -L locale; }
stage_wine() {
  # The application-shell tests create windows: Wine needs a display from its first process on.
  # A Windows process now and then fails to start under Wine at all (no output, in a few
  # hundredths of a second): a failed test runs once more before it counts.
  xvfb-run -a ctest --preset windows -L unit -j "$jobs" --repeat until-pass:2
}
stage_e2e() { ctest --preset native -L e2e; }
stage_e2e_asan() { ctest --preset asan -L e2e; }
stage_e2e_wine() { ctest --preset windows -L e2e; }
stage_arm64() {
  local built=0
  wait "$arm64_build" || built=$?
  arm64_build=""
  cat build/arm64-build.log
  ((built == 0)) || { echo "the arm64 build failed" >&2; return 1; }
  ctest --preset arm64 -L unit -j "$jobs"
}
stage_package() { bash scripts/package.sh && bash tests/package/check.sh build/release; }
declare -A titles=(
  [unit]="Native unit tests"
  [asan]="Native unit tests under the sanitizers"
  [fuzz]="Fuzzing property strings, date-time text and files of lines (a minute each)"
  [locale]="Date-time text under real POSIX locales and under Wine's"
  [wine]="Windows unit tests under Wine"
  [e2e]="End-to-end: the native program"
  [e2e-asan]="End-to-end: the native program under the sanitizers"
  [e2e-wine]="End-to-end: the Windows program under Wine"
  [arm64]="Unit tests built for arm64, under qemu-user"
  [package]="Release archives: built, checked for exactly their files, their programs started"
)
run_stage() {  # run_stage <stage>: its title, its tests, and how long it took
  local begun=$SECONDS
  step "${titles[$1]}"
  "stage_${1//-/_}" || { echo "stage $1 failed after $((SECONDS - begun)) s" >&2; return 1; }
  echo "-- stage $1 passed in $((SECONDS - begun)) s"
}
# side_by_side <stage>...: the wanted ones at once, each into a log of its own, printed
# whole, in order, once it has ended. For stages that mostly wait: the end-to-end cases wait
# on the scheduler's ticks and on Wine, and side by side the three take little longer than
# the longest of them.
side_by_side() {
  local stage failed=0
  local -a running=() pids=()
  mkdir -p build/stage-logs
  for stage in "$@"; do
    wanted "$stage" || continue
    run_stage "$stage" >"build/stage-logs/$stage.log" 2>&1 &
    running+=("$stage") pids+=($!)
  done
  for i in "${!running[@]}"; do
    wait "${pids[$i]}" || failed=1
    cat "build/stage-logs/${running[$i]}.log"
  done
  return "$failed"
}

for stage in unit asan fuzz wine locale; do
  if wanted "$stage"; then run_stage "$stage"; fi
done
side_by_side e2e e2e-asan e2e-wine
for stage in arm64 package; do
  if wanted "$stage"; then run_stage "$stage"; fi
done

step "Stages ${stages[*]} passed in $((SECONDS - started)) s"
