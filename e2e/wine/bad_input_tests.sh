# Broken update media and a broken machine, each run unattended (/silent2, so no window waits
# and every box is a trace line): no crash or hang, the box, the trace's key code, the exit code,
# and every program file still there. Sourced by wine_tests.sh at its end, with build 1400
# applied; uses its prefix, media, packages and helpers.
# shellcheck shell=bash

echo "Bad input: broken settings, broken patch folders, a machine in odd shape"
program_files=(Qerno.exe Wardex.exe Plinth.dll Extra.dll readme.txt Qerno3D/Q3D.exe Qerno3D/Q3D.dll)
all_program_files_there() {
    local name
    for name in "${program_files[@]}"; do [ -e "$program/$name" ] || return 1; done
}
# The trace line a box became, as code page 932 bytes.
box_line() { # CAPTION TEXT (line feeds written as \n)
    printf '%s' "MessageBox：$1：$2" | iconv -f UTF-8 -t CP932
}
applied_1400='QernoE6 E Build 1400はすでに適用済です。\n\nセットアップを終了します。\n'
launch_failure='インストーラの起動に失敗しました。'
# A run of Setup.exe /silent2 on media already laid out, through HOLDER (a program that runs
# the robot) when one is given; then the checks. An empty CODE skips the trace checks (no trace).
unattended_run() { # NAME EXIT_CODE CODE CAPTION BOX [HOLDER...]
    local name=$1 expected=$2 code=$3 caption=$4 box=$5
    shift 5
    rm -f "$trace" "$media/$name.exit"
    (cd "$media" && wine_run "$@" 'C:\tools\ui_robot.exe' "C:\\media\\$name" - 40 \
        'C:\media\Setup.exe' /silent2) >/dev/null 2>&1
    check_equal "$name: no window, exit code $expected" "$expected" "$(exit_code_of "$name")"
    if [ -n "$code" ]; then
        check "$name: key code $code, the box in the trace" trace_has_code_and_box "$code" \
            "$(box_line "$caption" "$box")"
    fi
    check "$name: every program file still there" all_program_files_there
}
trace_has_code_and_box() { # CODE BOX_LINE
    grep -qa "^ *Code=$1"$'\r' "$trace" && LC_ALL=C grep -qaF -- "$2" "$trace"
}

lay_out_media 1400
rm "$media/Install.dat"
unattended_run dat-missing 0 2845 "QernoE6 E" "$applied_1400"
: >"$media/Install.dat"
unattended_run dat-empty 0 2845 "QernoE6 E" "$applied_1400"
head -c 65536 /dev/urandom >"$media/Install.dat"
unattended_run dat-binary 0 2845 "QernoE6 E" "$applied_1400"
# The same settings as UTF-16LE with its byte-order mark: read as Unicode, the patch found.
lay_out_media 1400
{ printf '\xff\xfe'; iconv -f UTF-8 -t UTF-16LE "$media/Install.dat"; } >"$media/utf16.dat"
mv "$media/utf16.dat" "$media/Install.dat"
unattended_run dat-utf16 0 2798 "QernoE6 E" "$applied_1400"
# Held open by another program with no sharing: the copy fails, the run goes on without it.
lay_out_media 1400
cp "$tools/file_holder.exe" "$helpers/"
unattended_run dat-locked 0 2845 "QernoE6 E" "$applied_1400" \
    'C:\tools\file_holder.exe' 'C:\media\Install.dat'
check "dat-locked: the copy's failure traced (sharing violation)" \
    env LC_ALL=C grep -qa 'CopyFile Err.*ErrCode = 32,' "$trace"

rm -f "$media/MSP/"*
unattended_run msp-empty 1619 2729 "Ortolan Qerno6 E" "$launch_failure"
head -c 65536 /dev/urandom >"$media/MSP/QernoE6_ALPHA_1400.msp"
unattended_run msp-random 1619 2754 "Ortolan Qerno6 E" "$launch_failure"
: >"$media/MSP/QernoE6_ALPHA_1400.msp"
unattended_run msp-zero-bytes 1619 2754 "Ortolan Qerno6 E" "$launch_failure"
# (A real patch cut to 2-4 KiB is left out: Wine's msi.dll itself crashes on it, Windows does
# not; see the notes on Wine's installer.)
rm -f "$media/MSP/"*
mkdir "$media/MSP/QernoE6_ALPHA_1400.msp"
unattended_run msp-folder 1619 2754 "Ortolan Qerno6 E" "$launch_failure"
rm -rf "$media/MSP/QernoE6_ALPHA_1400.msp"
cp "$packages/product-1000.msi" "$media/MSP/QernoE6_ALPHA_1400.msp"
unattended_run msp-is-an-msi 1619 2754 "Ortolan Qerno6 E" "$launch_failure"

# An entry that leaves MSP\ for an existing, already applied patch: taken as missing (mode 0
# and the probe compared), not as the applied patch (2798).
lay_out_media 1400
sed -i "s/^QernoE6_ALPHA_1400=/..\\\\packages\\\\build1400=/" "$media/Install.dat"
unattended_run entry-leaves-msp 0 2845 "QernoE6 E" "$applied_1400"

# TEMP naming a missing folder: no trace, no settings copy, still an answer.
lay_out_media 1400
timeout "$WINE_TIMEOUT" wine reg add 'HKCU\Environment' /v TEMP /d 'C:\missing' /f >/dev/null 2>&1
timeout "$WINE_TIMEOUT" wine reg add 'HKCU\Environment' /v TMP /d 'C:\missing' /f >/dev/null 2>&1
unattended_run temp-missing 0 "" "" ""
timeout "$WINE_TIMEOUT" wine reg add 'HKCU\Environment' /v TEMP /t REG_EXPAND_SZ \
    /d '%USERPROFILE%\Temp' /f >/dev/null 2>&1
timeout "$WINE_TIMEOUT" wine reg add 'HKCU\Environment' /v TMP /t REG_EXPAND_SZ \
    /d '%USERPROFILE%\Temp' /f >/dev/null 2>&1
check "temp-missing: nothing written to the missing folder" test ! -e "$WINEPREFIX/drive_c/missing"

# DInstDir ending in 表 (second byte 0x5C) without its own backslash: the backup still looks
# inside that folder. A newer build (1500) so that the patch is applied and the backup runs.
bash "$here/../packages/build_sample_product.sh" "$workdir/product-1500" 1500 >/dev/null 2>&1
cp "$workdir/product-1500/product.msi" "$packages/product-1500.msi"
check "patch_builder: build 1500" build_patch 1500 '{AAAAAAAA-1111-2222-3333-444444441500}'
lay_out_media 1500
mkdir -p "$program/表"
echo late >"$program/表/late.dll"
touch -d '+20 days' "$program/表/late.dll"
timeout "$WINE_TIMEOUT" wine reg add \
    'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18\Products\87654321DCBA10FE32547698BADCFE10' \
    /v DInstDir /t REG_SZ /d 'C:\Program Files (x86)\QernoE\表' /reg:64 /f >/dev/null 2>&1
unattended_run dinstdir-hyo 0 2816 "QernoE6 E" 'QernoE6 E Build 1500のセットアップを行います。\n\n'
moved_inside_hyo() {
    LC_ALL=C grep -qaF -- "$(printf '%s' 'REN File：C:\Program Files (x86)\QernoE\表\late.dll' |
        iconv -f UTF-8 -t CP932)" "$trace" && grep -qa 'RestoreFile-Start' "$trace" &&
        test -e "$program/表/late.dll"
}
check "dinstdir-hyo: the late file inside 表\\ moved aside, then put back" moved_inside_hyo
wine_record_sample_program_folder
