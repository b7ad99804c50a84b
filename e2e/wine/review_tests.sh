# What earlier runs and the installer leave in the program folder, and inputs past the
# launcher's old limits, each with the real installer: backups of an earlier run beside files
# moved aside again (a failed run keeps them, a successful one replaces them), a read-only file
# that the failing installer lays where a moved file goes back, a LOGFILENAME= value that can
# name no file, and a patch for 14 products, the installed one last. Sourced by wine_tests.sh
# at its end; uses its prefix, media, packages and helpers, and installs the product afresh.
# shellcheck shell=bash

echo "Earlier backups, a read-only leftover, a log name refused, a patch for 14 products"
review_install() {
    wine_run msiexec /x "$product_code" /qn
    # The backups and leftovers of the scenarios before go with the folder.
    rm -rf "$program"
    wine_run msiexec /i 'C:\media\packages\product-1000.msi' /qn &&
        wine_record_sample_program_folder
}
check "a fresh installation of build 1000" review_install

# Extra.dll and Qerno3D\Q3D.dll (the files a run moves aside) and every file of the program
# folder that is not one of the product's own: "NAME MD5" lines.
product_own=' Qerno.exe Wardex.exe Plinth.dll readme.txt Qerno3D/Q3D.exe '
backup_state() {
    local name
    (cd "$program" && find . -type f | sed 's|^\./||' | LC_ALL=C sort) | while read -r name; do
        [[ $product_own == *" $name "* ]] || echo "$name $(md5_of "$program/$name")"
    done
}
make_late() { touch -d '+20 days' "$program/Extra.dll" "$program/Qerno3D/Q3D.dll"; }
earlier_backups() {
    printf 'Extra.dll as an earlier run kept it\r\n' >"$program/Bakup_Extra.dll"
    printf 'Q3D.dll as an earlier run kept it\r\n' >"$program/Qerno3D/Bakup_Q3D.dll"
}
read_only() { [ -e "$1" ] && [ -z "$(find "$1" -perm /222)" ]; }
cp932() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
# trace_has TEXT [NEXT]: a line of the trace is TEXT (leaving out its indentation); with NEXT,
# the line after the first such line is NEXT.
trace_has() {
    local lines
    lines=$(tr -d '\r' <"$trace" | LC_ALL=C sed 's/^ *//' |
        LC_ALL=C grep -axF -m 1 -A 1 -- "$(cp932 "$1")") || return 1
    [ $# -lt 2 ] || [ "$(sed -n 2p <<<"$lines")" == "$(cp932 "$2")" ]
}
# The trace lines of a program file (Extra.dll, Qerno3D\Q3D.dll) moved aside and put back.
in_folder() { printf 'C:\\Program Files (x86)\\QernoE\\%s\n' "$1"; }
backup_of() { in_folder "${1%"${1##*\\}"}Bakup_${1##*\\}"; }
moved_aside() {
    trace_has "REN File：$(in_folder "$1") → $(backup_of "$1")" "REN File：SUCCESS"
}
put_back() {
    trace_has "Restore File：$(backup_of "$1") → $(in_folder "$1")" "Restore File：SUCCESS"
}

# Extra.dll changed since the installation, so that its bytes are its own.
printf 'changed after the installation\r\n' >>"$program/Extra.dll"
earlier_backups
make_late
lay_out_media 1100
before=$(backup_state)
rm -f "$trace"
run_setup keep-backups - /silent2
check_equal "earlier backups, build 1100 refused: exit code 1603" 1603 \
    "$(exit_code_of keep-backups)"
check_equal "... the moved files back with their own bytes, the earlier backups kept with theirs" \
    "$before" "$(backup_state)"
moved_and_put_back() {
    moved_aside Extra.dll && put_back Extra.dll && moved_aside 'Qerno3D\Q3D.dll' &&
        put_back 'Qerno3D\Q3D.dll' && trace_has "Process ExitCode=$1"
}
check "... traced: both moved aside and put back, msiexec's 1603" moved_and_put_back 1603

# Build 1100 whose installer lays Q3D.dll read-only (its File row: 512, vital, as wixl writes
# it, + 1) and refuses afterwards: the refusal deferred, so that it runs after the files are
# laid (Wine runs deferred actions at InstallFinalize; it runs a deferred type 19 as it runs
# an immediate one, Windows only runs type 19 immediately).
cp "$packages/product-1100.msi" "$packages/product-1100ro.msi"
msibuild "$packages/product-1100ro.msi" \
    -q "UPDATE File SET Attributes = 513 WHERE File = 'Q3DDll'" \
    -q "UPDATE CustomAction SET Type = 1043 WHERE Action = 'RefuseUpdate'" &&
    (cd "$media" && wine_run 'C:\tools\patch_builder.exe' 'C:\media\packages\product-1000.msi' \
        'C:\media\packages\product-1100ro.msi' 'C:\media\packages\build1100ro.msp' \
        /build 6.0.1100 /code '{AAAAAAAA-1111-2222-3333-4444444411A0}') \
        >"$workdir/patch-1100ro.log" 2>&1
check "patch_builder: build 1100, Q3D.dll read-only, refused after the files" \
    test -s "$packages/build1100ro.msp"
rm -f "$program/Bakup_Extra.dll" "$program/Qerno3D/Bakup_Q3D.dll"
# Control: with Q3D.dll away, as the launcher moves it, msiexec alone leaves build 1100's
# Q3D.dll behind, read-only.
mv "$program/Qerno3D/Q3D.dll" "$workdir/Q3D.dll.own"
wine_run msiexec /p 'C:\media\packages\build1100ro.msp' /qn REINSTALL=ALL REINSTALLMODE=vemus
status=$?
left=$(read_only "$program/Qerno3D/Q3D.dll" && md5_of "$program/Qerno3D/Q3D.dll")
check_equal "control: msiexec refuses it (1603) and leaves build 1100's Q3D.dll, read-only" \
    "$((1603 % 256)) $(md5_of "$workdir/product-1100/payload/Q3D.dll")" "$status $left"
rm -f "$program/Qerno3D/Q3D.dll"
mv "$workdir/Q3D.dll.own" "$program/Qerno3D/Q3D.dll"
make_late
lay_out_media 1100
cp "$packages/build1100ro.msp" "$media/MSP/QernoE6_ALPHA_1100.msp"
before=$(backup_state)
rm -f "$trace"
run_setup read-only - /silent2
check_equal "a read-only Q3D.dll left by the refused build 1100: exit code 1603" 1603 \
    "$(exit_code_of read-only)"
# (Wine replaces a read-only file on a rename anyway; Windows does not.)
check_equal "... Q3D.dll and Extra.dll back with their own bytes, no Bakup_ copy left" \
    "$before" "$(backup_state)"
writable() { [ -e "$1" ] && ! read_only "$1"; }
check "... Q3D.dll writable again" writable "$program/Qerno3D/Q3D.dll"
check "... traced: Q3D.dll put back over the installer's" put_back 'Qerno3D\Q3D.dll'

earlier_backups
make_late
lay_out_media 1234
own_bytes="Extra.dll $(md5_of "$program/Extra.dll")
Qerno3D/Bakup_Q3D.dll $(md5_of "$program/Qerno3D/Q3D.dll")"
rm -f "$trace"
run_setup replace-backups - /silent2
check_equal "earlier backups, build 1234 applied: exit code 0" 0 "$(exit_code_of replace-backups)"
# Wine's installer does not lay Extra.dll again (see the notes on Wine's installer): it goes
# back; Q3D.dll, laid by the patch, keeps its own bytes in Bakup_Q3D.dll.
check_equal "... Extra.dll back, Q3D.dll of build 1234, no earlier backup left" \
    "$own_bytes
Qerno3D/Q3D.dll $(md5_of "$workdir/product-1234/payload/Q3D.dll")" "$(backup_state)"
only_extra_put_back() {
    put_back Extra.dll && ! put_back 'Qerno3D\Q3D.dll' && trace_has "Process ExitCode=0"
}
check "... traced: Extra.dll put back, Q3D.dll left to the installer, msiexec's 0" \
    only_extra_put_back

lay_out_media 1300
fallback_log=$WINEPREFIX/drive_c/NimbraInstallLog.log
rm -f "$fallback_log" "$trace"
run_setup log-name - /silent2 'LOGFILENAME=C:\media\install logs\a|b.log'
check_equal "LOGFILENAME= with a \"|\": exit code 0" 0 "$(exit_code_of log-name)"
check "... the value refused in the trace" \
    trace_has 'LOGFILENAME Err：C:\media\install logs\a|b.log'
logged_to_fallback() {
    local patch='"C:\media\MSP\QernoE6_ALPHA_1300.msp"'
    LC_ALL=C grep -qaF -- "$(cp932 "CmdLine ：/p $patch /l*v \"C:\\NimbraInstallLog.log\" ")" \
        "$trace" && test -s "$fallback_log"
}
check "... msiexec told to log to C:\\NimbraInstallLog.log, and it did" logged_to_fallback
check "... build 1300 applied" cmp -s "$program/Qerno.exe" "$workdir/product-1300/payload/Qerno.exe"

# A real patch (build 1400) whose target list is longer than the launcher's old 512 bytes.
fourteen=$(printf '{00000000-0000-0000-0000-%012d};' $(seq 1 13))$product_code
(cd "$media" && wine_run 'C:\tools\patch_builder.exe' 'C:\media\packages\product-1000.msi' \
    'C:\media\packages\product-1400.msi' 'C:\media\packages\fourteen.msp' /build 6.0.1400 \
    /code '{AAAAAAAA-1111-2222-3333-444444441414}' &&
    wine_run 'C:\tools\patch_database.exe' /targets 'C:\media\packages\fourteen.msp' "$fourteen") \
    >"$workdir/patch-fourteen.log" 2>&1
targets_of() { LC_ALL=C msiinfo suminfo "$1" | sed -n 's/^Template: //p'; }
check_equal "patch_builder, then patch_database /targets: build 1400 for 14 products \
(${#fourteen} characters)" "$fourteen" "$(targets_of "$packages/fourteen.msp")"
lay_out_media 1400
cp "$packages/fourteen.msp" "$media/MSP/QernoE6_ALPHA_1400.msp"
rm -f "$trace"
run_setup fourteen - /silent2
check_equal "a patch for 14 products, the installed one last: exit code 0" 0 \
    "$(exit_code_of fourteen)"
check "... the whole list read" trace_has "TargetGUID:$fourteen"
check "... build 1400 applied" cmp -s "$program/Qerno.exe" "$workdir/product-1400/payload/Qerno.exe"
rm -f "$trace"
run_setup fourteen-again - /silent2
check "... and listed as applied: a second run finds it (mode 2, 2798)" \
    trace_holds '^ *Code=2\r\n *Code=2798\r' 'ShellExe-Start'
check_equal "... exit code 0" 0 "$(exit_code_of fourteen-again)"
