#!/usr/bin/env bash
# Runs every test of the project:
#   1. native: the portable core under ASan/UBSan (GoogleTest, ctest), and a short fuzz run of the archive reader;
#   2. Win32: GoogleTest cross-compiled and run under Wine;
#   3. end to end: the real setup.exe under Wine and a virtual display, driven from a second program;
# then the release command (scripts/release.sh), signed with a throwaway certificate.
# Installs what is missing first (as root), and uses a fresh private Wine prefix in build/.
#
# The Wine tiers run the 32-bit build where this machine can execute 32-bit
# programs, else the x86_64 build of the same sources under 64-bit Wine;
# KVR_TEST_ARCH=i686 or x86_64 forces one. The shipped 32-bit setup.exe is
# built and its imports checked either way.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${KVR_JOBS:-2}
source scripts/wine-env.sh

kvr_choose_test_arch
if [ "$(id -u)" = 0 ]; then
    bash scripts/install-deps.sh
fi
kvr_check_wine "$KVR_ARCH"

echo "== native build and tests"
cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/native -j"$jobs"
(cd build/native && ctest --output-on-failure)

if [ -x scripts/fuzz.sh ]; then
    echo "== fuzzing the archive reader (short run)"
    scripts/fuzz.sh "${KVR_FUZZ_SECONDS:-20}"
fi

echo "== Windows build, 32-bit (the shipped setup.exe)"
win32=$(kvr_configure_windows i686)
if [ "$KVR_ARCH" = i686 ]; then
    cmake --build "$win32" -j"$jobs"
else
    cmake --build "$win32" --target setup -j"$jobs"
fi
# The setup and every program it installs or runs: nothing they import can come from their own folder.
check_programs() {
    local arch=$1 build=$2 program
    scripts/check-imports.sh "$arch" "$build/src/setup.exe"
    for program in "$build"/payload/bin/*.exe; do
        scripts/check-imports.sh "$arch" "$program" kvrcore.dll
    done
}
check_programs i686 "$win32"

tested=$win32
if [ "$KVR_ARCH" = x86_64 ]; then
    echo "== Windows build, 64-bit (the same sources, for 64-bit Wine)"
    tested=$(kvr_configure_windows x86_64)
    cmake --build "$tested" -j"$jobs"
    check_programs x86_64 "$tested"
fi

echo "== Win32 and end-to-end tests under Wine ($KVR_ARCH build, $tested)"
kvr_use_wine "$KVR_ARCH"
if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
fi
status=0
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then
    (cd "$tested" && ctest --output-on-failure) || status=$?
else
    (cd "$tested" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure) || status=$?
fi
wineserver -k 2>/dev/null || true
echo "== Wine tiers tested the $KVR_ARCH build"

echo "== the release command, twice over and signed with a throwaway certificate"
bash tests/scripts/signed_release_test.sh || status=1
exit "$status"
