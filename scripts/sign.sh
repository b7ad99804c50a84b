#!/usr/bin/env bash
# Signs release files in place with an Authenticode SHA-256 signature from the publisher's PFX
# (osslsigncode), and verifies every signature before any signed file replaces its original:
# a run that fails anywhere leaves every file as it was.
set -euo pipefail
# A traced run would print the password.
set +x

usage() {
    cat <<'EOF'
usage: sign.sh [OPTIONS] [--build WINDOWS_BUILD_DIR] [FILE...]
       sign.sh --verify-only [--ca-file ROOTS.pem] FILE...

Signs each FILE (.exe, .dll, .msi, .msp) in place with an Authenticode SHA-256 signature,
verifies it, and only then replaces the file. With --build, also Setup.exe, media_tool.exe and
patch_builder.exe of that Windows build (build/windows).

  --pfx FILE             the publisher's PKCS#12 file (default: $SIGN_PFX)
  --password-file FILE   the PFX password is the first line of FILE ("-": standard input)
                         (default: the environment variable SIGN_PFX_PASSWORD)
  -ts URL, --timestamp URL
                         time-stamp at this RFC 3161 server (signtool /tr URL /td SHA256);
                         repeat it for servers to fall back on
  -t URL                 time-stamp at this Authenticode (legacy) server instead
  --ca-file FILE         trust the roots in FILE (PEM) when verifying instead of the system's
                         (a test root)
  --verify-only          sign nothing; verify each FILE
  -h, --help             this text

The password is never taken as an argument (other users of the machine see arguments), never
written and never printed. Exit code 0 when every file is signed and verified, 1 when one is
not (the output names it), 2 for a wrong command line.
EOF
}

usage_error() {
    echo "sign.sh: $1" >&2
    echo "Try 'sign.sh --help'." >&2
    exit 2
}

pfx=${SIGN_PFX:-}
password_file=
timestamps=()
verify_args=()
verify_only=
files=()
while [ $# -gt 0 ]; do
    case $1 in
    -h | --help)
        usage
        exit 0
        ;;
    --verify-only)
        verify_only=1
        shift
        continue
        ;;
    --)
        shift
        files+=("$@")
        break
        ;;
    --pfx | --password-file | -ts | --timestamp | -t | --ca-file | --build)
        [ $# -ge 2 ] || usage_error "$1 needs a value"
        ;;
    -*) usage_error "unknown option $1" ;;
    *)
        files+=("$1")
        shift
        continue
        ;;
    esac
    case $1 in
    --pfx) pfx=$2 ;;
    --password-file) password_file=$2 ;;
    -ts | --timestamp) timestamps+=(-ts "$2") ;;
    -t) timestamps+=(-t "$2") ;;
    --ca-file)
        [ -r "$2" ] || usage_error "cannot read the CA file $2"
        verify_args=(-CAfile "$2")
        ;;
    --build)
        files+=("$2/src/Setup.exe" "$2/tools/media_tool/media_tool.exe"
            "$2/tools/patch_builder/patch_builder.exe")
        ;;
    esac
    shift 2
done

[ ${#files[@]} -gt 0 ] || usage_error "no file to sign"
for file in "${files[@]}"; do
    case ${file,,} in
    *.exe | *.dll | *.msi | *.msp) ;;
    *) usage_error "$file: not a program or installer package (.exe, .dll, .msi, .msp)" ;;
    esac
    [ -f "$file" ] || usage_error "$file: no such file"
done
if [[ " ${timestamps[*]} " == *" -t "* && " ${timestamps[*]} " == *" -ts "* ]]; then
    usage_error "-t and -ts cannot be mixed"
fi
if ! command -v osslsigncode >/dev/null; then
    echo "sign.sh: osslsigncode is missing (bash scripts/install-deps.sh installs it)" >&2
    exit 1
fi

indent() { sed 's/^/    /'; }

# $1 is checked, $2 named: a signed copy is verified before it replaces its original. The
# verdict line counts too, not only the exit code: every signature of the file must pass.
verify() {
    local output
    if ! output=$(osslsigncode verify "${verify_args[@]}" -in "$1" 2>&1) ||
        ! grep -q '^Signature verification: ok' <<<"$output" ||
        grep -q '^Signature verification: failed' <<<"$output"; then
        echo "sign.sh: $2: signature verification FAILED" >&2
        indent <<<"$output" >&2
        return 1
    fi
    echo "sign.sh: $2: verified, signed by $(sed -n 's/^\s*Subject: //p' <<<"$output" | head -n 1)"
}

if [ -n "$verify_only" ]; then
    status=0
    for file in "${files[@]}"; do verify "$file" "$file" || status=1; done
    exit $status
fi

[ -n "$pfx" ] || usage_error "no PFX: --pfx FILE or SIGN_PFX"
[ -r "$pfx" ] || usage_error "cannot read the PFX $pfx"
if [ -n "$password_file" ]; then
    if [ "$password_file" = - ]; then
        IFS= read -r password || [ -n "${password:-}" ] ||
            usage_error "no password on standard input"
    else
        [ -r "$password_file" ] || usage_error "cannot read the password file $password_file"
        IFS= read -r password <"$password_file" || true
    fi
    # A file written on Windows ends its line with CR LF.
    password=${password%$'\r'}
elif [ -n "${SIGN_PFX_PASSWORD+set}" ]; then
    password=$SIGN_PFX_PASSWORD
else
    usage_error "no password: --password-file FILE or SIGN_PFX_PASSWORD"
fi
# osslsigncode and what it starts need not see it.
unset SIGN_PFX_PASSWORD

work_dirs=()
trap 'rm -rf "${work_dirs[@]}"' EXIT
signed=()
for file in "${files[@]}"; do
    # Beside the original, so that the replacing rename stays on one file system and is atomic.
    work=$(mktemp -d "$(dirname "$file")/.sign.XXXXXX")
    work_dirs+=("$work")
    out=$work/$(basename "$file")
    # The password through a pipe: arguments are visible to every user of the machine. (Read as
    # a file: Debian 12's osslsigncode 2.5 cannot read it from standard input. An empty one must
    # not be given at all: osslsigncode refuses to read an empty password.)
    if ! output=$(if [ -n "$password" ]; then
        osslsigncode sign -pkcs12 "$pfx" -readpass <(printf '%s' "$password") -h sha256 \
            "${timestamps[@]}" -in "$file" -out "$out"
    else
        osslsigncode sign -pkcs12 "$pfx" -h sha256 "${timestamps[@]}" -in "$file" -out "$out"
    fi 2>&1); then
        echo "sign.sh: $file: signing FAILED; no file was changed" >&2
        indent <<<"$output" >&2
        exit 1
    fi
    verify "$out" "$file" || { echo "sign.sh: no file was changed" >&2; exit 1; }
    chmod --reference="$file" "$out"
    signed+=("$out")
done
for i in "${!files[@]}"; do
    mv -f "${signed[$i]}" "${files[$i]}"
done
echo "sign.sh: ${#files[@]} file(s) signed"
