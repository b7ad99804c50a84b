#!/usr/bin/env bash
# Runs Setup.exe the way a user's machine would, in a throw-away Wine prefix: the sample product
# is installed, the update media hold Install.dat and a patch package listed for the installed
# package, and Setup.exe runs with /silent1. A small program answers its message box as a user
# would (OK). Prints what the box said, the trace log and the end of the installer log.
# Extra arguments go to Setup.exe after /silent1.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null
build=$root/build/windows

# shellcheck source=../e2e/wine/lib.sh
source "$root/e2e/wine/lib.sh"
workdir=$(mktemp -d)
trap 'xvfb_stop; wine_prefix_remove; rm -rf "$workdir"' EXIT

echo "Booting a throw-away Wine prefix with a display..."
xvfb_start
wine_prefix_create "$workdir/prefix"
wine_prefix_japanese_display
# Wine has no msihnd.dll; with a copy of msi.dll the engine files agree, as on Windows.
system32=$(wine_system32_folder)
cp "$system32/msi.dll" "$system32/msihnd.dll"

echo "Installing the sample product..."
sample=$WINEPREFIX/drive_c/sample
mkdir -p "$sample"
bash "$root/e2e/packages/build_sample_product.sh" "$workdir/product" >/dev/null 2>&1
cp "$workdir/product/product.msi" "$build/e2e/wine/tools/ui_robot.exe" \
    "$build/e2e/wine/tools/patch_database.exe" "$sample/"
wine_run msiexec /i 'C:\sample\product.msi' /qn
package_code=$(LC_ALL=C msiinfo suminfo "$workdir/product/product.msi" |
    sed -n 's/^Revision number (UUID): //p')

echo "Laying out the update media in C:\\media..."
media=$WINEPREFIX/drive_c/media
mkdir -p "$media/MSP"
cp "$build/src/Setup.exe" "$media/"
sed "s/@PACKAGE_CODE@/$package_code/" "$root/samples/media/Install.dat" >"$media/Install.dat"
wine_run 'C:\sample\patch_database.exe' 'C:\media\MSP\QernoE6_ALPHA_1234.msp' \
    "Ortolan Qerno6 E Build 1234" '{12345678-ABCD-EF01-2345-6789ABCDEF01}' \
    '{AAAAAAAA-1111-2222-3333-444444444444}' 6.0.1234

echo "Running C:\\media\\Setup.exe /silent1 LOGFILENAME=C:\\sample\\install.log $*"
status=0
(cd "$media" && wine_run 'C:\sample\ui_robot.exe' 'C:\sample\box' 1 120 \
    'C:\media\Setup.exe' /silent1 'LOGFILENAME=C:\sample\install.log' "$@") || status=$?
echo "Setup.exe ran; its window was answered (status $status)"

for record in "$sample"/box-*.txt; do
    [ -e "$record" ] || continue
    echo "--- the message box ($(basename "$record" .txt)) ---"
    cat "$record"
done
trace=$(wine_folder_of TEMP)/Install_Setup_Trace.log
echo "--- trace log (%TEMP%\\Install_Setup_Trace.log) ---"
iconv -f CP932 -t UTF-8 "$trace"
echo
echo "--- installer log (C:\\sample\\install.log), last lines ---"
if [ -e "$sample/install.log" ]; then
    # Wine writes it in the ANSI code page.
    iconv -f CP932 -t UTF-8 "$sample/install.log" | tail -n 5
else
    echo "(none written)"
fi

echo
echo "Running Setup.exe again with the same media: the patch is now registered as applied"
(cd "$media" && wine_run 'C:\sample\ui_robot.exe' 'C:\sample\again' 1 120 \
    'C:\media\Setup.exe' /silent1 'LOGFILENAME=C:\sample\install.log' "$@") || true
for record in "$sample"/again-*.txt; do
    [ -e "$record" ] || continue
    echo "--- the message box of the second run ---"
    cat "$record"
done
