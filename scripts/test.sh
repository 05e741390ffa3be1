#!/usr/bin/env bash
# Installs what is missing, builds both targets and runs every test: the native unit tests,
# again under the address and undefined-behaviour sanitizers, a bounded fuzzing run, the
# Windows unit tests under Wine, and the end-to-end tests of the real program on both
# platforms.
set -euo pipefail
cd "$(dirname "$0")/.."
started=$SECONDS

bash scripts/install-deps.sh
jobs=$(nproc)

step() { printf '\n== %s\n' "$*"; }

step "Building the native program and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"

step "Building the Windows program and tests"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"

step "Native unit tests"
ctest --preset native -j "$jobs"

step "Building the native program and tests with address and undefined-behaviour sanitizers"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"

step "Native unit tests under the sanitizers"
ctest --preset asan -j "$jobs"

step "Fuzzing property strings, date-time text and files of lines"
bash tests/fuzz/run.sh build/asan

step "Date-time text under real POSIX locales"
bash tests/platform/locale-roundtrip.sh native

step "Windows unit tests under Wine"
export WINEPREFIX="$PWD/build/windows/wineprefix"
# The application-shell tests create windows: Wine needs a display from its first process on.
xvfb-run -a ctest --preset windows

step "Date-time text under Wine's locales"
bash tests/platform/locale-roundtrip.sh windows

step "End-to-end: the native program"
bash tests/e2e/run-posix.sh build/native

step "End-to-end: the native program under the sanitizers"
# libfaketime and the sanitizer's allocator would wait on each other at start-up if the
# allocator read the clock: it is told not to.
ASAN_OPTIONS=allocator_release_to_os_interval_ms=-1 bash tests/e2e/run-posix.sh build/asan

step "End-to-end: the Windows program under Wine"
bash tests/e2e/run-wine.sh build/windows

step "All tests passed in $((SECONDS - started)) s"
