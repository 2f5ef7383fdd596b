#!/usr/bin/env bash
# Installs what the Windows cross-build and its tests under wine need, on top
# of the base packages, through install-deps.sh. A script of its own so that
# `make run` on Linux never pulls in wine.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix   # GCC 12 for Windows x86-64 with std::thread
  wine wine64                  # runs the Windows tests here
  dpkg-dev                     # apt-get source unpacks with dpkg-source
  build-essential tcl          # the SQLite amalgamation is made on this machine
  cmake ninja-build googletest libasio-dev
)

exec "$(dirname "$0")/install-deps.sh" "${packages[@]}"
