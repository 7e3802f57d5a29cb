#!/usr/bin/env bash
# Times "/silent" from process start to exit under Wine, side by side with an
# NSIS installer of the same files (packaging/nsis-peer/peer.nsi, run with its
# own /S) and with an empty program (Wine's own cost of starting and ending a
# process). Prints the medians and the ratio to the peer.
#   scripts/bench-silent.sh [BUILD_DIR] [RUNS]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/wine-env.sh"
build=${1:-}
if [ -z "$build" ]; then
    kvr_choose_test_arch
    build=$(kvr_build_dir "$KVR_ARCH")
fi
runs=${2:-7}
command -v makensis >/dev/null || { echo "bench-silent: makensis is missing (apt-get install nsis)" >&2; exit 2; }
cmake --build "$build" --target setup kvr_plain_loader -j2 >/dev/null
arch=$(kvr_pe_arch "$build/src/setup.exe")
kvr_use_wine "$arch"
work=$(cd "$build" && pwd)/bench-silent
rm -rf "$work" && mkdir -p "$work/files"
"$build/host-tools/packer/kvr_pack" extract "$build/payload/package135.bin" "$work/files" >/dev/null
makensis -V1 -DFILES="$work/files" -DOUT="$work/peer.exe" "$root/packaging/nsis-peer/peer.nsi"
cp "$build/src/setup.exe" "$work/setup.exe"
cp "$build/tests/e2e/kvr_plain_loader.exe" "$work/empty.exe"
export WINEDEBUG=-all
# Wine turns every shortcut saved into a menu entry of the Linux desktop, which Windows never does.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"

# Milliseconds of one run of the given command line under Wine.
time_ms() {
    local start end
    start=$(date +%s%N)
    wine "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
reset_target() {
    wine reg delete 'HKCU\Software\from Ostrevik' /f >/dev/null 2>&1 || true
    wine reg delete 'HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Korvane' /f >/dev/null 2>&1 || true
    rm -rf "$WINEPREFIX/drive_c/users/$USER/Korvane" "$WINEPREFIX/drive_c/users/$USER/Korvane NSIS" \
        "$WINEPREFIX"/drive_c/users/*/Korvane "$WINEPREFIX"/drive_c/users/*/"Korvane NSIS"
}

bench() {
    xvfb-run -a bash -c "$(declare -f time_ms median reset_target)
        wineserver -p 60; wine empty.exe >/dev/null 2>&1
        for i in \$(seq $runs); do time_ms empty.exe; done | median > empty.ms
        for i in \$(seq $runs); do reset_target; time_ms peer.exe /S; done | median > peer.ms
        for i in \$(seq $runs); do reset_target; time_ms setup.exe /silent; done | median > setup.ms
        reset_target; wineserver -k"
}
cd "$work" && bench
empty=$(cat empty.ms) peer=$(cat peer.ms) setup=$(cat setup.ms)
echo "empty program: ${empty} ms"
echo "NSIS peer /S:  ${peer} ms"
echo "setup /silent: ${setup} ms"
awk -v s="$setup" -v p="$peer" 'BEGIN { printf "ratio setup/peer: %.2f (goal: at most 1.5)\n", s / p }'
