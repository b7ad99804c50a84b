# Breaks a signed file's signature without touching anything else in it. Sourced by the tests
# that need a signature which no longer verifies.
# shellcheck shell=bash

# Flips a byte inside FILE's signature: the last bytes of the PKCS#7 are its RSA value, found in
# FILE by an 8-byte run of it that occurs there once (in an .msi or .msp the signature is a
# stream of the compound file, cut into 64-byte pieces, so a run may be split; grep cannot match
# a run with a line feed).
flip_signature_byte() { # FILE
    local file=$1 der offset pattern at byte status=1
    der=$(mktemp)
    if osslsigncode extract-signature -in "$file" -out "$der.p7" >/dev/null 2>&1; then
        mv "$der.p7" "$der"
        for offset in $(seq $(($(stat -c %s "$der") - 64)) 8 $(($(stat -c %s "$der") - 16))); do
            pattern=$(od -An -tx1 -v -j "$offset" -N 8 "$der" | sed 's/ /\\x/g')
            at=$(LC_ALL=C grep -obUaP "$pattern" "$file" | cut -d: -f1)
            if [ -n "$at" ] && [ "$(wc -l <<<"$at")" -eq 1 ]; then
                byte=$((0x$(od -An -tx1 -j "$at" -N 1 "$file" | tr -d ' ') ^ 0xff))
                printf '%b' "\\x$(printf %02x "$byte")" |
                    dd of="$file" bs=1 seek="$at" conv=notrunc status=none
                status=0
                break
            fi
        done
    fi
    rm -f "$der" "$der.p7"
    return $status
}
