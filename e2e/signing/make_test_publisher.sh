#!/usr/bin/env bash
# Makes a throw-away code-signing publisher for tests: on the first call a test root CA in
# OUT_DIR, then for NAME a publisher certificate issued by it, in a PFX with a random password.
# Call it again with another NAME for a second publisher under the same root (a file it signs
# has a trusted chain but is not ours); another OUT_DIR gives an unrelated root. Nothing made
# here may ever leave a test run: the keys lie unencrypted beside the certificates.
#   usage: make_test_publisher.sh OUT_DIR NAME [COMMON_NAME]
# In OUT_DIR:
#   root.crt root.cer root.key root.thumbprint   the root (PEM, DER, key, SHA-1 thumbprint)
#   NAME.crt NAME.cer NAME.key NAME.thumbprint   the publisher, likewise (CN=COMMON_NAME,
#                                                NAME when left out)
#   NAME.pfx NAME.pass                           its key, certificate and the root; the password
# The thumbprint is Windows' name for a certificate (the Root store's registry key, the signer
# a WinVerifyTrust caller reads): upper-case hex without separators.
set -euo pipefail
usage="usage: make_test_publisher.sh OUT_DIR NAME [COMMON_NAME]"
out=${1:?$usage}
name=${2:?$usage}
common_name=${3:-$name}
case $name in */* | root)
    echo "make_test_publisher: NAME must be a plain file name other than root" >&2
    exit 2
    ;;
esac
umask 077
mkdir -p "$out"

thumbprint() { # CERT.cer
    openssl x509 -inform DER -in "$1" -noout -fingerprint -sha1 | sed 's/^.*=//; s/://g'
}
# Random serials: Windows tells certificates apart by issuer and serial number.
serial() { echo "0x$(openssl rand -hex 8)"; }

# openssl's chatter only when it fails.
quiet() {
    local log
    log=$("$@" 2>&1) || { printf '%s\n' "$log" >&2; return 1; }
}
# RSA 2048 with SHA-256: what Windows and Wine's Authenticode checks take everywhere.
key() { quiet openssl genpkey -algorithm RSA -pkeyopt rsa_keygen_bits:2048 -out "$1"; }
if [ ! -s "$out/root.key" ] || [ ! -s "$out/root.crt" ]; then
    key "$out/root.key"
    quiet openssl req -x509 -key "$out/root.key" -sha256 -days 3650 -set_serial "$(serial)" \
        -subj "/CN=Throw-away Test Root $(openssl rand -hex 4)" \
        -addext "basicConstraints=critical,CA:TRUE" \
        -addext "keyUsage=critical,keyCertSign,cRLSign" \
        -addext "subjectKeyIdentifier=hash" -out "$out/root.crt"
    openssl x509 -in "$out/root.crt" -outform DER -out "$out/root.cer"
    thumbprint "$out/root.cer" >"$out/root.thumbprint"
fi

key "$out/$name.key"
quiet openssl req -new -key "$out/$name.key" -subj "/CN=$common_name" -out "$out/$name.csr"
quiet openssl x509 -req -in "$out/$name.csr" -sha256 -CA "$out/root.crt" -CAkey "$out/root.key" \
    -set_serial "$(serial)" -days 365 -out "$out/$name.crt" -extfile <(printf '%s\n' \
        "basicConstraints=critical,CA:FALSE" \
        "keyUsage=critical,digitalSignature" \
        "extendedKeyUsage=codeSigning" \
        "subjectKeyIdentifier=hash" \
        "authorityKeyIdentifier=keyid")
rm "$out/$name.csr"
openssl x509 -in "$out/$name.crt" -outform DER -out "$out/$name.cer"
thumbprint "$out/$name.cer" >"$out/$name.thumbprint"
openssl rand -hex 16 >"$out/$name.pass"
openssl pkcs12 -export -inkey "$out/$name.key" -in "$out/$name.crt" -certfile "$out/root.crt" \
    -name "$common_name" -passout "file:$out/$name.pass" -out "$out/$name.pfx"
