#!/usr/bin/env bash
# Adds (or removes) drive T: for the test of a backup folder on a drive that
# fills up: a 64 KB tmpfs, linked into the Wine prefix of the test run.
# Mounting needs root; elsewhere T: is left out and the test says it skipped.
#   small_drive.sh SOURCE_DIR i686|x86_64 add|remove
set -eu
root=$1
arch=$2
action=$3
source "$root/scripts/wine-env.sh"
kvr_use_wine "$arch"
mountpoint=$WINEPREFIX/kvr-small-drive
link=$WINEPREFIX/dosdevices/t:

"$root/scripts/wine-exec.sh" --arch "$arch" cmd /c exit 0 >/dev/null 2>&1 || true  # creates the prefix
rm -f "$link"
if mountpoint -q "$mountpoint" 2>/dev/null; then umount "$mountpoint"; fi
[ -d "$mountpoint" ] && rmdir "$mountpoint"
if [ "$action" = add ]; then
    mkdir -p "$mountpoint"
    if mount -t tmpfs -o size=64k tmpfs "$mountpoint" 2>/dev/null; then
        ln -sfn "$mountpoint" "$link"
    else
        echo "small_drive.sh: cannot mount a tmpfs here (not root?): the full-drive test will skip"
        rmdir "$mountpoint"
    fi
fi
