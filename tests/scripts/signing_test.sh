#!/usr/bin/env bash
# Tests of scripts/sign-file.sh on a program of this build, with a throwaway certificate: the signature
# verifies, the same time gives the same bytes, a changed byte or another certificate does not verify,
# and a failed signing leaves the program as it was.
#   signing_test.sh PROGRAM
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
program=$1
source "$root/tests/scripts/signing_support.sh"
mkdir "$work/other" && (make_throwaway_certificate "$work/other")  # in a subshell: the first stays the one in use

sign() {  # sign COPY [PASSWORD]
    KVR_SIGN_PFX=$cert_pfx KVR_SIGN_PASSWORD=${2-$cert_password} KVR_SIGN_TIME=1765000000 \
        "$root/scripts/sign-file.sh" "$1"
}
verifies() { osslsigncode verify -CAfile "$2" -in "$1" >"$work/verify.log" 2>&1; }

cp "$program" "$work/one.exe" && cp "$program" "$work/two.exe"
sign "$work/one.exe" || fail "signing failed"
sign "$work/two.exe" || fail "signing the second copy failed"
verifies "$work/one.exe" "$cert_pem" || fail "the signature does not verify: $(cat "$work/verify.log")"
cmp -s "$work/one.exe" "$work/two.exe" || fail "the same program signed at the same time gave different bytes"
cmp -s "$work/one.exe" "$program" && fail "the program was not changed by signing"
verifies "$work/one.exe" "$work/other/throwaway.pem" && fail "the signature verifies against another certificate"

# One byte of the code changed after signing.
cp "$work/one.exe" "$work/changed.exe"
printf '\xcc' | dd of="$work/changed.exe" bs=1 seek=1100 conv=notrunc status=none
verifies "$work/changed.exe" "$cert_pem" && fail "a changed program still verifies"

cp "$program" "$work/refused.exe"
sign "$work/refused.exe" wrong-password 2>/dev/null && fail "signing with a wrong password succeeded"
cmp -s "$work/refused.exe" "$program" || fail "a failed signing changed the program"
ls "$work"/refused.exe.* >/dev/null 2>&1 && fail "a failed signing left a file behind"
KVR_SIGN_PFX= "$root/scripts/sign-file.sh" "$work/refused.exe" 2>/dev/null && fail "signing without a certificate succeeded"

[ "$failures" = 0 ] && echo "signing: all checks passed"
exit $((failures > 0))
