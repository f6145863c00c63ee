#!/bin/bash
# Cross-builds the Windows preset and runs its tests under Wine, headless:
# a fresh prefix inside the build folder, created on first use, and one
# persistent wineserver for the whole run, so that each .exe starts in tens
# of milliseconds instead of seconds. Extra arguments go to ctest.
set -euo pipefail
cd "$(dirname "$0")/../.."

build=$PWD/build-windows
export WINEPREFIX=$build/wine-prefix
export WINEDEBUG=-all
# A crashing .exe would otherwise start the debugger and dump its report on
# standard output.
export WINEDLLOVERRIDES=winedbg.exe=d

cmake --preset windows
mkdir -p "$WINEPREFIX"
wineserver -p
trap 'wineserver -k || true' EXIT
wine wineboot --init </dev/null >/dev/null 2>&1

cmake --build --preset windows -j"$(nproc)"
ctest --preset windows "$@"
