# Shared by the Wine test scripts: a throw-away 32-bit-capable Wine prefix with code page 932,
# every wine call under a time limit, and pass/fail counting.
# shellcheck shell=bash

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

WINE_TIMEOUT=${WINE_TIMEOUT:-60}
passed=0
failed=0

# Creates a fresh prefix in $1 and waits until Wine has finished setting it up.
wine_prefix_create() {
    export WINEPREFIX=$1
    rm -rf "$WINEPREFIX"
    timeout 180 wineboot --init >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
    timeout 120 wineserver --wait
}

# Runs a Windows program in the prefix; its exit code is the call's.
wine_run() {
    timeout "$WINE_TIMEOUT" wine "$@"
}

# The Unix path of a Windows environment variable's folder in the prefix (e.g. TEMP).
wine_folder_of() {
    local windows
    windows=$(timeout "$WINE_TIMEOUT" wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')
    timeout "$WINE_TIMEOUT" winepath -u "$windows" 2>/dev/null
}

wine_prefix_remove() {
    timeout 60 wineserver --kill 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}

# A display for windows: Xvfb on a free display number; sets DISPLAY and XVFB_PID.
xvfb_start() {
    local numberFile
    numberFile=$(mktemp)
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$numberFile" 2>/dev/null &
    XVFB_PID=$!
    for _ in $(seq 1 100); do
        [ -s "$numberFile" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(cat "$numberFile")"
    rm -f "$numberFile"
    [ "$DISPLAY" != ":" ]
}

xvfb_stop() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
}

# Japanese dialogs as on a Japanese Windows: the dialog fonts map to a Japanese TrueType font
# (without it Wine draws empty squares), and Wine draws its own window frames.
wine_prefix_japanese_display() {
    local key='HKCU\Software\Wine\Fonts\Replacements'
    for font in "MS UI Gothic" "MS Shell Dlg" "MS PGothic"; do
        timeout "$WINE_TIMEOUT" wine reg add "$key" /v "$font" /d IPAPGothic /f >/dev/null 2>&1
    done
    timeout "$WINE_TIMEOUT" wine reg add "$key" /v "MS Gothic" /d IPAGothic /f >/dev/null 2>&1
    timeout "$WINE_TIMEOUT" wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >/dev/null 2>&1
    # Debian's Wine does not find the TrueType fonts of fonts-wine by itself: without Marlett
    # the caption's close button shows an "r".
    cp /usr/share/wine/fonts/marlett.ttf /usr/share/wine/fonts/tahoma*.ttf \
        "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
}

# The package code of a product package (the revision number of its summary).
package_code_of() {
    LC_ALL=C msiinfo suminfo "$1" | sed -n 's/^Revision number (UUID): //p'
}

# The sample product's program folder, recorded where the product's own installer records it:
# "DInstDir" under its installer registration key, in the 64-bit view as Wine's msi writes it.
wine_record_sample_program_folder() {
    timeout "$WINE_TIMEOUT" wine reg add \
        'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Products\87654321DCBA10FE32547698BADCFE10' \
        /v DInstDir /t REG_SZ /d 'C:\Program Files (x86)\QernoE\' /reg:64 /f >/dev/null 2>&1
}

# The folder a 32-bit program sees as its system folder.
wine_system32_folder() {
    if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
        echo "$WINEPREFIX/drive_c/windows/syswow64"
    else
        echo "$WINEPREFIX/drive_c/windows/system32"
    fi
}

pass() {
    passed=$((passed + 1))
    echo "  ok    $1"
}

fail() {
    failed=$((failed + 1))
    echo "  FAIL  $1"
    if [ $# -gt 1 ]; then
        printf '%s\n' "$2" | sed 's/^/        /'
    fi
}

# check NAME COMMAND...: passes when the command succeeds.
check() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}

# check_equal NAME EXPECTED ACTUAL
check_equal() {
    if [ "$2" == "$3" ]; then
        pass "$1"
    else
        fail "$1" "$(diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | head -n 20)"
    fi
}

# The closing line the CI reads.
summary() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# Makes the prefix trust a root certificate (DER) for code signing, as a machine trusts the roots
# in its Root store: the store's registry value written directly (the certificate as a
# serialized element: property 32, the encoded certificate), under its SHA-1 thumbprint.
wine_trust_root() { # ROOT.cer
    local der=$1 length thumbprint blob
    length=$(stat -c %s "$der")
    thumbprint=$(openssl x509 -inform DER -in "$der" -noout -fingerprint -sha1 |
        sed 's/^.*=//; s/://g')
    blob=$({
        printf '\x20\x00\x00\x00\x01\x00\x00\x00'
        printf '%b' "$(printf '\\x%02x' $((length & 255)) $(((length >> 8) & 255)) \
            $(((length >> 16) & 255)) $(((length >> 24) & 255)))"
        cat "$der"
    } | od -An -v -tx1 | tr -d ' \n')
    timeout "$WINE_TIMEOUT" wine reg add \
        "HKLM\\Software\\Microsoft\\SystemCertificates\\Root\\Certificates\\$thumbprint" \
        /v Blob /t REG_BINARY /d "$blob" /f >/dev/null 2>&1
}
