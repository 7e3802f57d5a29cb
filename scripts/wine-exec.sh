#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's private prefix (created on
# first use), under a virtual display when there is none. CMake uses this as the
# emulator of the Windows build, so ctest runs the Win32 and end-to-end tests here.
set -u
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${KVR_WINEPREFIX:-$root/build/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
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
