#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix (created on
# first use), under a virtual display when there is none. CMake uses this as the
# emulator of the Windows builds, so ctest runs the Win32 and end-to-end tests here.
#
#   scripts/wine-exec.sh [--arch i686|x86_64] PROGRAM [ARGUMENTS...]
#
# Without --arch, a program file's own architecture decides, else the machine's
# choice (see wine-env.sh); each architecture has a prefix of its own.
set -u
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
arch=
if [ "${1:-}" = --arch ]; then
    arch=$2
    shift 2
fi
[ -n "$arch" ] || arch=$(kvr_pe_arch "${1:-}")
if [ -z "$arch" ]; then
    kvr_choose_test_arch >/dev/null
    arch=$KVR_ARCH
fi
kvr_use_wine "$arch"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    flock "$WINEPREFIX.lock" bash -c '
        [ -f "$WINEPREFIX/system.reg" ] && exit 0
        wineboot --init >/dev/null 2>&1
        # A crashing program ends at once instead of waiting in the debugger.
        for view in 32 64; do
            wine reg delete "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug" /v Debugger /f /reg:$view >/dev/null 2>&1
        done
        # Wine links Desktop, Music and the like to the unix home folder, which every prefix
        # would then share: give this prefix folders of its own.
        for link in "$WINEPREFIX"/drive_c/users/*/*; do
            [ -L "$link" ] && rm "$link" && mkdir "$link"
        done
        wineserver -w'
fi
if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
