# Sourced by the signing tests. Sets failures=0 and a scratch folder $work (removed at exit), and makes a
# self-signed code-signing certificate there: cert_pem (the certificate, to verify against), cert_pfx
# (certificate and key) and cert_password.
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

make_throwaway_certificate() {
    local dir=$1
    cert_pem=$dir/throwaway.pem
    cert_pfx=$dir/throwaway.pfx
    cert_password=throwaway-$$
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Korvane throwaway test signer" \
        -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=codeSigning" \
        -keyout "$dir/throwaway.key" -out "$cert_pem" 2>/dev/null &&
        openssl pkcs12 -export -inkey "$dir/throwaway.key" -in "$cert_pem" -out "$cert_pfx" \
            -passout "pass:$cert_password"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_throwaway_certificate "$work" || { echo "FAIL: openssl made no certificate"; exit 1; }
