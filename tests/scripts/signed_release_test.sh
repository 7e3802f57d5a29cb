#!/usr/bin/env bash
# The release command with a throwaway certificate: both builds agree, setup.exe and the programs that its
# package carries are signed and verify, and the manifest holds the hash of the signed setup.exe.
set -u
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
source "$root/tests/scripts/signing_support.sh"

out=$root/build/release/out
KVR_SIGN_PFX=$cert_pfx KVR_SIGN_PASSWORD=$cert_password KVR_SIGN_CAFILE=$cert_pem "$root/scripts/release.sh" \
    >"$work/release.log" 2>&1 || { tail -n 30 "$work/release.log"; echo "FAIL: the signed release failed"; exit 1; }
grep -q 'unsigned' "$work/release.log" && fail "the signed release says it is unsigned"

verifies() { osslsigncode verify -CAfile "$cert_pem" -in "$1" >"$work/verify.log" 2>&1 || fail "$2 does not verify: $(cat "$work/verify.log")"; }
verifies "$out/setup.exe" setup.exe
# The programs as the package carries them, taken out of the package that setup.exe was built with.
"$root/build/release/one/host-tools/packer/kvr_pack" extract "$root/build/release/one/payload/package135.bin" \
    "$work/package" >/dev/null || fail "the package could not be extracted"
for name in kvr.exe kvrcore.dll uninst_kvr.exe kvrsched.exe __cdca.lx; do
    verifies "$work/package/$name" "$name of the package"
done
(cd "$out" && sha256sum -c --quiet setup.exe.sha256) || fail "setup.exe.sha256 is not the hash of the signed setup.exe"
grep -qi "$(cut -d' ' -f1 "$out/setup.exe.sha256")" "$out/Ostrevik.Korvane.installer.yaml" ||
    fail "the manifest does not hold the hash of the signed setup.exe"

[ "$failures" = 0 ] && echo "signed release: all checks passed"
exit $((failures > 0))
