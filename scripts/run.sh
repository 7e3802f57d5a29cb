#!/usr/bin/env bash
# Builds setup.exe and runs it under Wine. Without a display it walks the wizard under a
# virtual display with the default answers and saves a PNG picture of every page in build/screenshots.
# Extra arguments go to setup.exe, e.g. scripts/run.sh /help
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "$(id -u)" = 0 ]; then
    bash scripts/install-deps.sh
fi
cmake -S . -B build/win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build build/win --target setup kvr_tour -j"${KVR_JOBS:-2}"
export KVR_WINEPREFIX="$root/build/wineprefix-run"
if [ -n "${DISPLAY:-}" ]; then
    exec scripts/wine-exec.sh build/win/src/setup.exe "$@"
fi
# No display: walk the wizard under Xvfb with the default answers and keep a picture of every page.
shots="$root/build/screenshots"
rm -rf "$shots" && mkdir -p "$shots"
scripts/wine-exec.sh build/win/tests/driver/kvr_tour.exe build/win/src/setup.exe "$shots"
for bmp in "$shots"/*.bmp; do
    [ -e "$bmp" ] || continue
    convert "$bmp" "${bmp%.bmp}.png" && rm "$bmp"
done
echo "Pictures of the wizard's pages: $shots"
ls "$shots"
