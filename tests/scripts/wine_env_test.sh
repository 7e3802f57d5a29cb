#!/usr/bin/env bash
# Tests of scripts/wine-env.sh: which Windows build the Wine tiers run, and how
# Wine is called for it. Needs no Wine: the 32-bit loader is replaced by stand-ins.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

# A loader that runs, and one the kernel refuses (a 64-bit header marked 32-bit).
printf '#!/bin/sh\nexit 0\n' >"$scratch/runs"
{ printf '\x7fELF\x01'; head -c 200 /bin/true | tail -c +6; } >"$scratch/refused"
chmod +x "$scratch/runs" "$scratch/refused"

# choose LOADER FORCED: runs kvr_choose_test_arch in a child shell; prints "status|arch|output".
choose() {
    local output status=0
    output=$(KVR_I386_LOADER=$1 KVR_TEST_ARCH=$2 bash -c \
        'source "$0/scripts/wine-env.sh"; kvr_choose_test_arch; echo "arch=$KVR_ARCH"' "$root" 2>&1) || status=$?
    local arch
    arch=$(sed -n 's/^arch=//p' <<<"$output")
    echo "$status|$arch|$(grep -v '^arch=' <<<"$output" | tr '\n' ' ')"
}

line64="this machine cannot run 32-bit programs: testing the 64-bit build of the same sources"
# loader | forced | status | arch | the output must contain
while IFS='|' read -r loader forced status arch says; do
    result=$(choose "$scratch/$loader" "$forced")
    IFS='|' read -r got_status got_arch got_output <<<"$result"
    [ "$got_status" = "$status" ] || fail "loader $loader, KVR_TEST_ARCH='$forced': status $got_status, not $status"
    [ "$got_arch" = "$arch" ] || fail "loader $loader, KVR_TEST_ARCH='$forced': arch '$got_arch', not '$arch'"
    case $got_output in
    *"$says"*) ;;
    *) fail "loader $loader, KVR_TEST_ARCH='$forced': said '$got_output', not '$says'" ;;
    esac
    if [ -z "$says" ] && [ -n "${got_output// /}" ]; then
        fail "loader $loader, KVR_TEST_ARCH='$forced': said '$got_output' where nothing was expected"
    fi
done <<EOF
runs||0|i686|
refused||0|x86_64|$line64
runs|i686|0|i686|
refused|i686|1||KVR_TEST_ARCH=i686: this machine cannot run 32-bit programs
runs|x86_64|0|x86_64|KVR_TEST_ARCH=x86_64: testing the 64-bit build of the same sources
refused|x86_64|0|x86_64|KVR_TEST_ARCH=x86_64: testing the 64-bit build of the same sources
runs|amd64|1||KVR_TEST_ARCH must be i686 or x86_64
EOF

# Without the 32-bit loader the hand-made static program decides, and it must
# agree with the real loader wherever that one is installed.
# (scripts/without-32bit.sh replaces only the loader, so there the two differ by design.)
if [ "${KVR_WITHOUT_32BIT:-}" = 1 ]; then
    echo "under scripts/without-32bit.sh: the static probe is not compared with the replaced loader"
elif [ -e /lib/ld-linux.so.2 ]; then
    probe=0
    KVR_I386_LOADER=$scratch/none bash -c 'source "$0/scripts/wine-env.sh"; kvr_can_run_32bit' "$root" || probe=$?
    loader=0
    /lib/ld-linux.so.2 --version >/dev/null 2>&1 || loader=$?
    [ "$((probe == 0))" = "$((loader == 0))" ] ||
        fail "the static probe says $probe where the 32-bit loader says $loader"
else
    echo "no 32-bit loader here: the static probe is not compared with one"
fi
ls "$root"/build/.i386-probe.* >/dev/null 2>&1 && fail "the static probe leaves its file behind"

# The 64-bit set-up must never reach Debian's /usr/bin/wine, which would pick the 32-bit loader.
wine_setup=$(KVR_WINEPREFIX= bash -c 'source "$0/scripts/wine-env.sh"; kvr_use_wine x86_64
    echo "wine=$(command -v wine) stable=$(command -v wine-stable) server=$(command -v wineserver)"
    echo "prefix=$WINEPREFIX arch=$WINEARCH loader=$WINELOADER"' "$root")
expected="wine=$root/scripts/wine64/wine stable=$root/scripts/wine64/wine-stable server=$root/scripts/wine64/wineserver
prefix=$root/build/wineprefix-x86_64 arch=win64 loader=/usr/lib/wine/wine64"
[ "$wine_setup" = "$expected" ] || fail "64-bit Wine set-up: '$wine_setup'"
grep -q '/usr/lib/wine/wine64 "\$@"' "$root/scripts/wine64/wine" || fail "scripts/wine64/wine does not call wine64"
grep -q '/usr/lib/wine/wineserver64' "$root/scripts/wine64/wineserver" || fail "the wineserver wrapper is not the 64-bit one"

wine_setup=$(KVR_WINEPREFIX= WINEARCH= bash -c 'source "$0/scripts/wine-env.sh"; kvr_use_wine i686
    echo "prefix=$WINEPREFIX arch=${WINEARCH:-} path=$PATH"' "$root")
case $wine_setup in
"prefix=$root/build/wineprefix arch= path="*"$root/scripts/wine64"*) fail "32-bit Wine set-up puts the 64-bit wrappers first" ;;
"prefix=$root/build/wineprefix arch= path="*) ;;
*) fail "32-bit Wine set-up: '$wine_setup'" ;;
esac
prefix=$(KVR_WINEPREFIX=$scratch/own bash -c 'source "$0/scripts/wine-env.sh"; kvr_use_wine x86_64; echo "$WINEPREFIX"' "$root")
[ "$prefix" = "$scratch/own" ] || fail "KVR_WINEPREFIX is not kept: '$prefix'"

# The architecture of a program file: the machine word of its PE header.
write_pe() {  # FILE MACHINE-BYTES
    { printf 'MZ'; head -c 58 /dev/zero; printf '\x40\x00\x00\x00PE\x00\x00'"$2"; head -c 20 /dev/zero; } >"$1"
}
write_pe "$scratch/x86.exe" '\x4c\x01'
write_pe "$scratch/x64.exe" '\x64\x86'
write_pe "$scratch/arm.exe" '\x64\xaa'
printf 'not a program' >"$scratch/text"
for entry in x86.exe:i686 x64.exe:x86_64 arm.exe: text: missing:; do
    file=${entry%%:*}
    want=${entry#*:}
    got=$(bash -c 'source "$0/scripts/wine-env.sh"; kvr_pe_arch "$1"' "$root" "$scratch/$file")
    [ "$got" = "$want" ] || fail "kvr_pe_arch $file: '$got', not '$want'"
done

if [ "$failures" -gt 0 ]; then
    echo "$failures failed"
    exit 1
fi
echo "all passed"
