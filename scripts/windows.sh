#!/usr/bin/env bash
# The Windows side of the build: cross-builds the core, qelvo-interfaced.exe
# and the core tests with mingw-w64 into build-windows/ and, with "test",
# runs the tests under wine. Called by `make windows` and `make test`.
#
# Usage: scripts/windows.sh build|test
set -euo pipefail
cd "$(dirname "$0")/.."

action=${1:-build}
dir=${QELVO_WINDOWS_DIR:-build-windows}
jobs=${JOBS:-$(nproc)}

scripts/install-windows-deps.sh
scripts/fetch-windows-sources.sh "$dir/sources"

# A prefix of the build's own, so the user's ~/.wine is never touched, and
# quiet: wine's own diagnostics would bury the test output.
export WINEPREFIX="$PWD/$dir/wine"
export WINEDEBUG=-all
# Whatever happens, no wineserver is left running for this prefix.
trap 'wineserver -k 2>/dev/null || true' EXIT

# Made once, before the build runs test programs in parallel (GoogleTest's
# discovery), so they never race to create it.
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1

cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DQELVO_BUILD_GUI=OFF \
  -DQELVO_WINDOWS_SOURCES="$PWD/$dir/sources" >/dev/null
cmake --build "$dir" -j "$jobs"

if [ "$action" = test ]; then
  cd "$dir"
  ctest --output-on-failure -j "$jobs"
fi
