#!/usr/bin/env bash
# Adds (or removes) the drive letters the folder-check tests need in the Wine
# prefix of the test run: K: floppy, L: CD-ROM, N: network, R: RAM disk, all
# linked to one scratch folder, and Q: with no folder behind it. Wine's mount
# manager reads the drive types from the 64-bit registry view when its server
# starts, so the server of this prefix is stopped afterwards.
#   drive_letters.sh SOURCE_DIR i686|x86_64 add|remove
set -eu
root=$1
arch=$2
action=$3
source "$root/scripts/wine-env.sh"
kvr_use_wine "$arch"
wine_exec() { "$root/scripts/wine-exec.sh" --arch "$arch" "$@"; }
target=$WINEPREFIX/kvr-drive-target

wine_exec cmd /c exit 0 >/dev/null 2>&1 || true  # creates the prefix on first use
for entry in k:floppy l:cdrom n:network r:ramdisk q:; do
    letter=${entry%%:*}:
    kind=${entry#*:}
    link=$WINEPREFIX/dosdevices/$letter
    if [ "$action" = add ] && [ -n "$kind" ]; then
        mkdir -p "$target"
        ln -sfn "$target" "$link"
        wine_exec reg add 'HKLM\Software\Wine\Drives' /v "$letter" /d "$kind" /f /reg:64 >/dev/null 2>&1
    else
        rm -f "$link"
        wine_exec reg delete 'HKLM\Software\Wine\Drives' /v "$letter" /f /reg:64 >/dev/null 2>&1 || true
    fi
done
[ "$action" = add ] || rm -rf "$target"
wineserver -k || true
wineserver -w || true
