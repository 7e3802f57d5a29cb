#!/usr/bin/env bash
# Builds setup.exe and runs it under Wine. Without a display it walks the wizard under a
# virtual display with the default answers and saves a PNG picture of every page in build/screenshots.
# Extra arguments go to setup.exe, e.g. scripts/run.sh /help
#
# The shipped setup.exe is the 32-bit one (build/win/src/setup.exe). Where this machine cannot
# execute 32-bit programs, the x86_64 build of the same sources runs instead under 64-bit Wine;
# KVR_TEST_ARCH=i686 or x86_64 forces one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
source scripts/wine-env.sh
kvr_choose_test_arch
if [ "$(id -u)" = 0 ]; then
    bash scripts/install-deps.sh
fi
kvr_check_wine "$KVR_ARCH"

win32=$(kvr_configure_windows i686)
cmake --build "$win32" --target setup -j"${KVR_JOBS:-2}"
scripts/check-imports.sh i686 "$win32/src/setup.exe"
build=$win32
[ "$KVR_ARCH" = i686 ] || build=$(kvr_configure_windows "$KVR_ARCH")
cmake --build "$build" --target setup kvr_tour -j"${KVR_JOBS:-2}"

export KVR_WINEPREFIX=${KVR_WINEPREFIX:-$root/build/wineprefix-run-$KVR_ARCH}
if [ -n "${DISPLAY:-}" ]; then
    exec scripts/wine-exec.sh "$build/src/setup.exe" "$@"
fi
# No display: walk the wizard under Xvfb with the default answers and keep a picture of every page.
shots="$root/build/screenshots"
rm -rf "$shots" && mkdir -p "$shots"
scripts/wine-exec.sh "$build/tests/driver/kvr_tour.exe" "$build/src/setup.exe" "$shots"
for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
echo "Pictures of the wizard's pages ($KVR_ARCH build): $shots"
ls "$shots"
