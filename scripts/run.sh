#!/usr/bin/env bash
# Builds setup.exe and runs it under Wine (under a virtual display when there is none).
# Extra arguments go to setup.exe, e.g. scripts/run.sh /help
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "$(id -u)" = 0 ]; then
    bash scripts/install-deps.sh
fi
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win --target setup -j"${KVR_JOBS:-2}"
export KVR_WINEPREFIX="$root/build/wineprefix-run"
exec scripts/wine-exec.sh build/win/src/setup.exe "$@"
