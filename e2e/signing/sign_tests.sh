#!/usr/bin/env bash
# scripts/sign.sh on real files: the programs of a Windows build and a small package (wixl),
# signed with a throw-away publisher and checked with osslsigncode as a release engineer would;
# nothing is changed unless every file is signed and verified; a flipped signature byte is
# caught; the password shows up nowhere.
#   usage: sign_tests.sh WINDOWS_BUILD_DIR
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
sign=$here/../../scripts/sign.sh
# shellcheck source=signature_bytes.sh
source "$here/signature_bytes.sh"
build=${1:?usage: sign_tests.sh WINDOWS_BUILD_DIR}
passed=0
failed=0
pass() { passed=$((passed + 1)); echo "  ok    $1"; }
fail() {
    failed=$((failed + 1))
    echo "  FAIL  $1"
    [ $# -lt 2 ] || printf '%s\n' "$2" | sed 's/^/        /'
}
check() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pki=$work/pki
# Everything the script and the tools print, to search for the password at the end.
said=$work/said.log

# Runs sign.sh; its exit code in $status, what it printed in $output (and in $said).
run_sign() {
    output=$("$@" 2>&1)
    status=$?
    printf '%s\n' "$output" >>"$said"
}
signed_by() { # FILE: the subject of the signer, when osslsigncode verify accepts it
    local report
    report=$(osslsigncode verify -CAfile "$pki/root.crt" -in "$1" 2>&1) || return 1
    printf '%s\n' "$report" >>"$said"
    grep -q '^Message digest algorithm *: SHA256' <<<"$report" || return 1
    sed -n 's/^\s*Subject: //p' <<<"$report" | head -n 1
}
echo "Release signing: a throw-away publisher, Setup.exe and the tools, a package"
if ! bash "$here/make_test_publisher.sh" "$pki" publisher "QernoE Test Publisher" ||
    ! bash "$here/make_test_publisher.sh" "$pki" other; then
    fail "test publishers"
    echo "signing: $passed passed, $failed failed"
    exit 1
fi
password=$(cat "$pki/publisher.pass")
publishers_made() {
    openssl verify -purpose any -CAfile "$pki/root.crt" "$pki/publisher.crt" "$pki/other.crt" &&
        openssl x509 -in "$pki/other.crt" -noout -ext extendedKeyUsage | grep -q 'Code Signing' &&
        [ "$(cat "$pki/publisher.thumbprint")" != "$(cat "$pki/other.thumbprint")" ] &&
        grep -qx '[0-9A-F]\{40\}' "$pki/root.thumbprint"
} >/dev/null 2>&1
check "test publishers: one root, two code-signing certificates, Windows-style thumbprints" \
    publishers_made

# The programs where a Windows build has them (what --build picks), and a package with one file.
tree=$work/build
mkdir -p "$tree/src" "$tree/tools/media_tool" "$tree/tools/patch_builder" "$work/package"
cp "$build/src/Setup.exe" "$tree/src/"
cp "$build/tools/media_tool/media_tool.exe" "$tree/tools/media_tool/"
cp "$build/tools/patch_builder/patch_builder.exe" "$tree/tools/patch_builder/"
printf 'signed package\r\n' >"$work/package/readme.txt"
cat >"$work/package/package.wxs" <<'EOF'
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
<Product Id="*" Name="Signing test" Language="1033" Version="1.0.0" Manufacturer="Test"
 UpgradeCode="6C2E3D0A-5B1F-4E8C-9A47-2F0B8D1E6A53"><Package Compressed="yes" />
<Media Id="1" Cabinet="package.cab" EmbedCab="yes" />
<Directory Id="TARGETDIR" Name="SourceDir"><Directory Id="ProgramFilesFolder">
<Directory Id="INSTALLDIR" Name="SigningTest">
<Component Id="Readme" Guid="0E7A9C52-3D14-4B6F-8E21-7C5A0F9B3D68">
<File Id="readme" Source="readme.txt" /></Component></Directory></Directory></Directory>
<Feature Id="Main" Level="1"><ComponentRef Id="Readme" /></Feature></Product></Wix>
EOF
(cd "$work/package" && wixl -o package.msi package.wxs) ||
    { fail "a package to sign (wixl)"; echo "signing: $passed passed, $failed failed"; exit 1; }
msi=$work/package/package.msi
setup=$tree/src/Setup.exe
pristine=$work/pristine
mkdir -p "$pristine"
cp "$setup" "$msi" "$pristine/"

echo "Nothing changes unless every file is signed and verified"
failed_naming() { [ "$status" -eq 1 ] && grep -qF -- "$1" <<<"$output"; }
as_they_were() {
    cmp -s "$setup" "$pristine/Setup.exe" && cmp -s "$msi" "$pristine/package.msi" &&
        [ -z "$(find "$work" -name '.sign.*')" ]
}
SIGN_PFX_PASSWORD=wrong-$password run_sign "$sign" --pfx "$pki/publisher.pfx" \
    --ca-file "$pki/root.crt" "$setup" "$msi"
check "a wrong password: exit 1, naming the file" failed_naming "$setup: signing FAILED"
run_sign "$sign" --pfx "$pki/publisher.pfx" --password-file "$pki/publisher.pass" "$setup" "$msi"
check "signed by a root the machine does not trust (no --ca-file): exit 1, naming the file" \
    failed_naming "$setup: signature verification FAILED"
printf 'not a package' >"$work/broken.msi"
run_sign "$sign" --pfx "$pki/publisher.pfx" --password-file "$pki/publisher.pass" \
    --ca-file "$pki/root.crt" "$setup" "$msi" "$work/broken.msi"
check "the last of several files cannot be signed: exit 1, naming it" \
    failed_naming "$work/broken.msi: signing FAILED"
run_sign "$sign" --pfx "$pki/publisher.pfx" --password-file "$pki/publisher.pass" \
    --ca-file "$pki/root.crt" -ts http://127.0.0.1:9/ "$setup"
check "time-stamp server unreachable: exit 1" failed_naming "$setup: signing FAILED"
check "after all of these, every file as it was and no temporary left" as_they_were

echo "Signing: the three programs of the build (--build) and the package, in place"
# osslsigncode behind a shim that records its arguments and environment: the password must
# reach it through neither (other users of the machine can read both).
mkdir -p "$work/shim"
printf '#!/bin/sh\n{ printf "%%s\\n" "$*"; env; } >>"%s"\nexec %s "$@"\n' "$work/shim.log" \
    "$(command -v osslsigncode)" >"$work/shim/osslsigncode"
chmod +x "$work/shim/osslsigncode"
# Traced (bash -x), as a release engineer hunting a problem would run it.
PATH=$work/shim:$PATH SIGN_PFX=$pki/publisher.pfx SIGN_PFX_PASSWORD=$password \
    run_sign bash -x "$sign" --ca-file "$pki/root.crt" --build "$tree" "$msi"
if [ "$status" -eq 0 ]; then pass "exit 0"; else fail "exit 0" "$output"; fi
for file in "$setup" "$tree/tools/media_tool/media_tool.exe" \
    "$tree/tools/patch_builder/patch_builder.exe" "$msi"; do
    check_signer=$(signed_by "$file")
    check "$(basename "$file"): SHA-256 signature of the publisher, chained to the test root" \
        test "$check_signer" = "/CN=QernoE Test Publisher"
done
check "Setup.exe still executable, no temporary left" \
    test -x "$setup" -a -z "$(find "$work" -name '.sign.*')"
check "the password is in no argument and no environment variable of osslsigncode" \
    test -s "$work/shim.log" -a -z "$(grep -F -- "$password" "$work/shim.log")"

echo "Verification catches a flipped signature byte"
for file in "$setup" "$msi"; do
    name=$(basename "$file")
    if ! flip_signature_byte "$file"; then
        fail "$name: a signature byte to flip"
        continue
    fi
    check "$name: osslsigncode verify refuses it" test -z "$(signed_by "$file")"
    run_sign "$sign" --verify-only --ca-file "$pki/root.crt" "$file"
    check "$name: sign.sh --verify-only fails, naming it" \
        failed_naming "$file: signature verification FAILED"
done

check "the password never printed (sign.sh, traced or not, and osslsigncode verify)" \
    test -z "$(grep -F -- "$password" "$said")"
echo "signing: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
