#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the window need,
# and any further packages named as arguments; only those that are missing,
# so a second run costs nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libasio-dev libpugixml-dev libsqlite3-dev sqlite3
  libgtest-dev googletest
  fonts-noto-cjk
  "$@"
)
if [ "${QELVO_WITH_XVFB:-0}" = 1 ]; then packages+=(xvfb xauth); fi
# make fuzz: clang with its libFuzzer and sanitizer runtimes.
if [ "${QELVO_WITH_FUZZ:-0}" = 1 ]; then packages+=(clang libclang-rt-14-dev); fi

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
