#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, and only those missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ git               # native build
  libgtest-dev libgmock-dev               # unit tests (its sources also cross-build)
  libbenchmark-dev                        # benchmarks
  libcli11-dev nlohmann-json3-dev         # the lister's command line and JSON (header-only)
  g++-mingw-w64-x86-64-posix              # the Windows program
  wine64 xvfb faketime                    # running and testing it for real
  clang libclang-rt-dev locales           # sanitizers and fuzzing, POSIX locales for the tests
  cron                                    # the memory benchmark compares with its daemon
  python3                                 # bench/run.sh makes its tables
  jq                                      # end-to-end checks of the lister's JSON
  imagemagick                             # screenshots of the lister's window (import)
  python3-jsonschema                      # the lister's JSON against docs/harbovale-jobs.schema.json
  tmux                                    # the lister's live view, in a real terminal
  libsystemd-dev                          # the Linux error box: a notification on the session bus
  dbus python3-dbusmock                   # end-to-end: a private session bus, a notification server
  desktop-file-utils                      # end-to-end: the autostart entry is a valid desktop entry
  g++-aarch64-linux-gnu qemu-user         # the unit tests built for arm64, run under emulation
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
if ((${#missing[@]})); then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
