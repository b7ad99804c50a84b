#!/usr/bin/env bash
# Runs Setup.exe the way a user's machine would, in a throw-away Wine prefix: the sample product
# (build 1000) is installed, the update media hold Setup.exe, Install.dat and MSP\ with a real
# patch to build 1234 (made by the project's patch builder), both Setup.exe and the patch signed
# by a throw-away test publisher, laid out and checked by the media tool (signatures included),
# and Setup.exe runs with /silent1.
# With a display (DISPLAY set, not in CI) you answer its windows yourself; without one a small
# robot answers them as a user would (OK) and keeps a picture of each. Then prints what
# happened: the box, the command line msiexec.exe got, the files moved aside, the trace log and
# the installer log; then runs Setup.exe again on the same media.
# Extra arguments go to Setup.exe after /silent1.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

cd "$root"
echo "Building Setup.exe and the tools (mingw-w64, i686)..."
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
build=$root/build/windows
tools=$build/e2e/wine/tools
pictures=$root/build/sample-run
rm -rf "$pictures"
mkdir -p "$pictures"

# shellcheck source=../e2e/wine/lib.sh
source "$root/e2e/wine/lib.sh"
workdir=$(mktemp -d)
trap 'wine_prefix_remove; xvfb_stop; rm -rf "$workdir"' EXIT

if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ] && [ -z "${SAMPLE_ROBOT:-}" ]; then
    by_hand=1
    echo "A display is here ($DISPLAY): Setup.exe's windows will open on it for you to answer."
    echo "(Set SAMPLE_ROBOT=1 to let the robot answer instead.)"
else
    by_hand=
    xvfb_start
fi
echo "Booting a throw-away Wine prefix (code page 932, Japanese fonts)..."
wine_prefix_create "$workdir/prefix"
wine_prefix_japanese_display
# Wine has no msihnd.dll; with a copy of msi.dll the engine files agree, as on Windows.
system32=$(wine_system32_folder)
cp "$system32/msi.dll" "$system32/msihnd.dll"

echo "Building the sample product (build 1000) and its upgrade (build 1234) with wixl..."
sample=$WINEPREFIX/drive_c/sample
mkdir -p "$sample"
bash "$root/e2e/packages/build_sample_product.sh" "$workdir/product-1000" 1000 >/dev/null 2>&1
bash "$root/e2e/packages/build_sample_product.sh" "$workdir/product-1234" 1234 >/dev/null 2>&1
cp "$workdir/product-1000/product.msi" "$sample/product-1000.msi"
cp "$workdir/product-1234/product.msi" "$sample/product-1234.msi"
cp "$tools/ui_robot.exe" "$build/tools/patch_builder/patch_builder.exe" \
    "$build/tools/media_tool/media_tool.exe" "$build/src/Setup.exe" "$sample/"

echo "Installing the sample product (msiexec /i, C:\\Program Files (x86)\\QernoE)..."
wine_run msiexec /i 'C:\sample\product-1000.msi' /qn
package_code=$(package_code_of "$sample/product-1000.msi")
# The product's own installer records its program folder; the launcher backs files up there.
wine_record_sample_program_folder
program=$WINEPREFIX/drive_c/"Program Files (x86)"/QernoE
# As if the user had replaced two files well after installing: the update moves them aside.
touch -d '+20 days' "$program/Extra.dll" "$program/Qerno3D/Q3D.dll"

echo "Building the patch to build 1234 with patch_builder..."
wine_run 'C:\sample\patch_builder.exe' 'C:\sample\product-1000.msi' 'C:\sample\product-1234.msi' \
    'C:\sample\QernoE6_ALPHA_1234.msp' /build 6.0.1234 \
    /code '{AAAAAAAA-1111-2222-3333-444444444444}' | tr -d '\r' | sed 's/^/    /'
echo "Signing Setup.exe and the patch as a release would, with a throw-away test publisher"
echo "(its root added to this prefix's trusted roots; nothing of it is kept):"
pki=$workdir/pki
bash "$root/e2e/signing/make_test_publisher.sh" "$pki" publisher "QernoE Sample Publisher"
wine_trust_root "$pki/root.cer"
SIGN_PFX_PASSWORD=$(cat "$pki/publisher.pass") bash "$root/scripts/sign.sh" \
    --pfx "$pki/publisher.pfx" --ca-file "$pki/root.crt" "$sample/Setup.exe" \
    "$sample/QernoE6_ALPHA_1234.msp" | sed 's/^/    /'
echo "Laying out the update media in C:\\media with media_tool make (Setup.exe, MSP\\, Install.dat"
echo "listing the patch for the installed package $package_code), and its check:"
media=$WINEPREFIX/drive_c/media
url=$(tr -d '\r' <"$root/samples/media/Install.dat" | sed -n 's/^URL=//p')
wine_run 'C:\sample\media_tool.exe' make 'C:\media' --setup 'C:\sample\Setup.exe' \
    --patch 'C:\sample\QernoE6_ALPHA_1234.msp' --package 'C:\sample\product-1000.msi' \
    --url "$url" | iconv -f CP932 -t UTF-8 | tr -d '\r' | sed 's/^/    /'
echo "    Install.dat as laid out:"
tr -d '\r' <"$media/Install.dat" | sed 's/^/        /'

# Runs Setup.exe; NAME names the pictures and records of its windows.
run_setup() { # NAME
    local name=$1 status=0
    shift
    if [ -n "$by_hand" ]; then
        (cd "$media" && timeout 600 wine 'C:\media\Setup.exe' /silent1 "$@") || status=$?
    else
        (cd "$media" && wine_run 'C:\sample\ui_robot.exe' "C:\\sample\\$name" 1 120 \
            'C:\media\Setup.exe' /silent1 "$@") || status=$?
    fi
    echo "Setup.exe ended (status $status)"
    for record in "$sample/$name"-*.txt; do
        [ -e "$record" ] || continue
        local picture=$pictures/$(basename "$record" .txt).png
        convert "${record%.txt}.bmp" "$picture"
        echo "--- the window Setup.exe showed: caption, then each control (id, class, text) ---"
        grep -av $'^A\t' "$record" | sed 's/^/    /'
        echo "    picture: $picture"
    done
}

trace=$(wine_folder_of TEMP)/Install_Setup_Trace.log
rm -f "$trace"
echo
echo "Running C:\\media\\Setup.exe /silent1 LOGFILENAME=\"C:\\sample\\update log.txt\" $*"
run_setup first 'LOGFILENAME="C:\sample\update log.txt"' "$@"
colon=$(printf '\x81\x46' | iconv -f CP932 -t UTF-8)
echo "--- the command line msiexec.exe was started with (from the trace) ---"
iconv -f CP932 -t UTF-8 "$trace" | sed -n "s/^ *CmdLine ${colon}/    msiexec.exe /p"
echo "--- the patch's signer checked against Setup.exe's, before anything is moved (from the trace) ---"
iconv -f CP932 -t UTF-8 "$trace" | sed -n "s/^ *\(Signer${colon}.*\|Signature Check${colon}.*\)/    \1/p"
echo "--- program files moved aside before the patch (changed more than 15 days after install) ---"
iconv -f CP932 -t UTF-8 "$trace" | sed -n "s/^ *REN File${colon}\(.*\) → .*/    \1/p"
echo "--- put back after the installer, which did not lay them again ---"
iconv -f CP932 -t UTF-8 "$trace" | sed -n "s/^ *Restore File${colon}.* → \(.*\)/    \1/p"
echo "--- backup copies kept ---"
(cd "$program" && find . -name 'Bakup_*' | sed 's|^\./|    |')
echo "--- exit codes (from the trace) ---"
iconv -f CP932 -t UTF-8 "$trace" | sed -n 's/^ *\(Process ExitCode=.*\)/    msiexec.exe: \1/p; s/^ *\(Setup ExitCode=.*\)/    Setup.exe:   \1/p'
echo "--- the installed Qerno.exe now: version resource of build 1234? ---"
if cmp -s "$program/Qerno.exe" "$workdir/product-1234/payload/Qerno.exe"; then
    echo "    yes: the patch replaced the program files"
else
    echo "    no: the program files are unchanged"
fi
echo "--- trace log (%TEMP%\\Install_Setup_Trace.log) ---"
iconv -f CP932 -t UTF-8 "$trace"
echo
echo "--- installer log (C:\\sample\\update log.txt), last lines ---"
if [ -e "$sample/update log.txt" ]; then
    # Wine writes it in the ANSI code page.
    iconv -f CP932 -t UTF-8 "$sample/update log.txt" | tail -n 5
else
    echo "(none written)"
fi

echo
echo "Running Setup.exe again with the same media: the patch is now registered as applied"
run_setup again "$@"
echo
echo "Pictures of the windows: $pictures"
