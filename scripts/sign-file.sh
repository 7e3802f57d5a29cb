#!/usr/bin/env bash
# Signs one Windows program in place (Authenticode, SHA-256) with the certificate of the release:
#   KVR_SIGN_PFX        the PKCS#12 file of the certificate and its key
#   KVR_SIGN_PASSWORD   its password (handed to osslsigncode on its input, never on a command line)
#   KVR_SIGN_TIME       the signing time (Unix seconds) that the signature records; the release passes the
#                       commit's time, so that signing the same bytes twice gives the same bytes
#   scripts/sign-file.sh PROGRAM
set -euo pipefail
program=${1:?usage: sign-file.sh PROGRAM}
: "${KVR_SIGN_PFX:?sign-file: KVR_SIGN_PFX names no certificate}"
[ -f "$KVR_SIGN_PFX" ] || { echo "sign-file: no certificate file $KVR_SIGN_PFX" >&2; exit 2; }
command -v osslsigncode >/dev/null || { echo "sign-file: osslsigncode is missing (apt-get install osslsigncode)" >&2; exit 2; }
signed=$program.signing
rm -f "$signed"
time_option=()
[ -z "${KVR_SIGN_TIME:-}" ] || time_option=(-time "$KVR_SIGN_TIME")
if ! printf '%s' "${KVR_SIGN_PASSWORD:-}" | osslsigncode sign -pkcs12 "$KVR_SIGN_PFX" -readpass - -h sha256 \
    -n "Korvane" -i "https://www.ostrevik-audio.example/" "${time_option[@]}" -in "$program" -out "$signed" >/dev/null; then
    rm -f "$signed"
    echo "sign-file: signing $program failed" >&2
    exit 1
fi
mv -f "$signed" "$program"
