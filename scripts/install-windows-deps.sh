#!/usr/bin/env bash
# Installs what the Windows cross-build and its tests under wine need, only
# the packages that are missing, so a second run costs nothing. Kept apart
# from install-deps.sh so `make run` on Linux never pulls in wine.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix   # GCC 12 for Windows x86-64 with std::thread
  wine wine64                  # runs the Windows tests here
  dpkg-dev                     # apt-get source unpacks with dpkg-source
  build-essential tcl          # the SQLite amalgamation is made on this machine
  cmake ninja-build googletest libasio-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
