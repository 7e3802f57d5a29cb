# Sourced by the signing tests: makes a self-signed code-signing certificate in the folder $1 and sets
#   cert_pem (the certificate, to verify against), cert_pfx (certificate and key), cert_password.
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
