#!/usr/bin/env bash
# Runs a command as on a machine whose kernel cannot execute 32-bit programs, to
# try the scripts' 64-bit path on a machine that can: in a private mount
# namespace (root only; nothing outside it changes), the 32-bit dynamic loader
# and Wine's 32-bit loader and server are replaced by a file the kernel refuses
# with "Exec format error", so every dynamically linked 32-bit program fails as
# it does there and Debian's /usr/bin/wine breaks the same way.
#   scripts/without-32bit.sh COMMAND [ARGUMENTS...]
#   e.g. CI=true scripts/without-32bit.sh bash .ci/run
set -euo pipefail
if [ "${KVR_WITHOUT_32BIT:-}" != 1 ]; then
    exec env KVR_WITHOUT_32BIT=1 unshare --mount --propagation private "$0" "$@"
fi
refused=$(mktemp)
trap 'rm -f "$refused"' EXIT
# A 64-bit program's header marked as 32-bit: no kernel loads it.
{ printf '\x7fELF\x01'; head -c 200 /bin/true | tail -c +6; } >"$refused"
chmod +x "$refused"
for program in /lib/ld-linux.so.2 /usr/lib/wine/wine /usr/lib/wine/wineserver32; do
    [ -e "$program" ] && mount --bind "$refused" "$(readlink -f "$program")"
done
if /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "without-32bit: the 32-bit loader still runs" >&2
    exit 1
fi
"$@"
