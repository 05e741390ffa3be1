#!/usr/bin/env bash
# Date-time text under real locales: the round trip of today + t, once per locale (a process
# reads its locale from LC_ALL), and the clock backend in a summer and a winter season.
#
#   tests/platform/locale-roundtrip.sh native    # POSIX build: build/native/platform_tests
#   tests/platform/locale-roundtrip.sh windows   # Win32 build under Wine
#
# The POSIX run generates the glibc locales it needs into build/native/locales (LOCPATH);
# nothing on the system changes. Wine carries its own locale data.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
mode="${1:-native}"
locales=(en_US en_GB de_DE fr_FR ja_JP ko_KR zh_CN ru_RU sv_SE fi_FI pt_BR it_IT pl_PL)
failures=0
run() {  # label, command...
  local label="$1"; shift
  if "$@" >"$log" 2>&1; then
    echo "ok    $label"
  else
    echo "FAIL  $label"; failures=$((failures + 1)); tail -n 30 "$log"
  fi
}

if [ "$mode" = native ]; then
  tests="$root/build/native/platform_tests"
  export LOCPATH="$root/build/native/locales"
  mkdir -p "$LOCPATH"
  log="$LOCPATH/run.log"
  for l in "${locales[@]}"; do
    [ -d "$LOCPATH/$l.UTF-8" ] || localedef -i "$l" -f UTF-8 "$LOCPATH/$l.UTF-8" >/dev/null 2>&1 || true
  done
  run "named POSIX locales" env -u LC_ALL "$tests" --gtest_filter='PosixLocaleTest.*'
  for l in C "${locales[@]/%/.UTF-8}"; do
    run "round trip LC_ALL=$l" env LC_ALL="$l" "$tests" --gtest_filter='SystemLocaleRoundTrip.*'
  done
  libfaketime=$(dpkg -L libfaketime | grep -m1 '/libfaketime\.so')
  for moment in "2026-07-01 12:00:00" "2026-01-15 12:00:00"; do
    # libfaketime preloaded directly: the faketime command's semaphores, left behind by
    # killed processes, make it fail once process ids come round again.
    run "zones at $moment" env LD_PRELOAD="$libfaketime" FAKETIME="$moment" "$tests" \
      --gtest_filter='ZoneTest.*:SystemClock.*'
  done
elif [ "$mode" = windows ]; then
  tests="$root/build/windows/platform_tests.exe"
  export WINEPREFIX="${WINEPREFIX:-$root/build/windows/wineprefix}"
  log="$root/build/windows/locale-roundtrip.log"
  wineserver=/usr/lib/wine/wineserver64
  for l in C "${locales[@]/%/.UTF-8}"; do
    # Wine rewrites its user locale when LC_ALL changes: let the previous server end first.
    WINEPREFIX="$WINEPREFIX" "$wineserver" -w 2>/dev/null || true
    run "round trip LC_ALL=$l (Wine)" env LC_ALL="$l" "$root/scripts/wine-exec" "$tests" \
      --gtest_filter='SystemLocaleRoundTrip.*'
  done
  WINEPREFIX="$WINEPREFIX" "$wineserver" -w 2>/dev/null || true
else
  echo "usage: $0 native|windows" >&2
  exit 2
fi
echo "$failures failed"
[ "$failures" -eq 0 ]
