#!/usr/bin/env bash
# Builds both release archives into build/release/:
#   HarbovaleScheduler-<version>-win64.zip              the Windows programs, README, INSTALL
#   harbovale-scheduler-<version>-Linux-x86_64.tar.gz   the native programs, README, INSTALL
# from the build trees of the presets "windows" and "native" (building what is missing
# there). The programs that go in are listed in CMakeLists.txt (HARBOVALE_RELEASE_PROGRAMS).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
out=build/release
rm -rf "$out"
mkdir -p "$out"
for preset in native windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target release_programs -j "$(nproc)"
  cpack --config "build/$preset/CPackConfig.cmake" -B "$out" >"$out/cpack-$preset.log" ||
    { cat "$out/cpack-$preset.log" >&2; exit 1; }
done
rm -rf "$out/_CPack_Packages" "$out"/cpack-*.log
ls -l "$out"
