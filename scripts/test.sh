#!/usr/bin/env bash
# Runs every test of the project:
#   1. native: the portable core under ASan/UBSan (GoogleTest, ctest), and a short fuzz run of the archive reader;
#   2. Win32: GoogleTest cross-compiled and run under Wine;
#   3. end to end: the real setup.exe under Wine and a virtual display, driven from a second program.
# Installs what is missing first (as root), and uses a fresh private Wine prefix in build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${KVR_JOBS:-2}

if [ "$(id -u)" = 0 ]; then
    bash scripts/install-deps.sh
fi

echo "== native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$jobs"
(cd build/native && ctest --output-on-failure)

if [ -x scripts/fuzz.sh ]; then
    echo "== fuzzing the archive reader (short run)"
    scripts/fuzz.sh "${KVR_FUZZ_SECONDS:-20}"
fi

echo "== Windows build"
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win -j"$jobs"

echo "== Win32 and end-to-end tests under Wine"
export WINEPREFIX="$root/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ -d "$WINEPREFIX" ]; then
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
fi
status=0
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    (cd build/win && ctest --output-on-failure) || status=$?
else
    (cd build/win && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure) || status=$?
fi
wineserver -k 2>/dev/null || true
exit "$status"
