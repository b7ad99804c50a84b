#!/usr/bin/env bash
# Under Wine, in one throw-away WoW64 prefix: the conformance checks against the real calls,
# then the real Setup.exe: what it imports, the trace file it writes (new, appended, with the
# product installer's atom held), the settings copy it makes and removes, that DLLs planted
# beside it are never loaded, and whole updates with real patches, also one the installer
# refuses and one whose msiexec is ended mid-run, a run cut off while its installer works, and
# signed media.
#   usage: wine_tests.sh BUILD_DIR_OF_THE_WINDOWS_PRESET
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
source "$here/lib.sh"

build=${1:?usage: wine_tests.sh WINDOWS_BUILD_DIR}
setup_exe=$build/src/Setup.exe
tools=$build/e2e/wine/tools
atom_name=$(sed -n 's/^constexpr char kInstallerAtomName\[\] = "\(.*\)";$/\1/p' \
    "$here/../../src/app/installer_atom.h")

echo "Setup.exe as built"
headers=$(LC_ALL=C i686-w64-mingw32-objdump -p "$setup_exe")
check "PE32 for i386" grep -q "file format pei-i386" <<<"$headers"
check "Windows GUI subsystem" grep -q "Subsystem.*(Windows GUI)" <<<"$headers"
check "ASLR (dynamic base)" grep -q "DYNAMIC_BASE" <<<"$headers"
check "DEP (NX compatible)" grep -q "NX_COMPAT" <<<"$headers"
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
check_equal "imports only kernel32 and the C runtime (Known DLLs)" "kernel32.dll msvcrt.dll " \
    "$imports"
check "manifest asks for common controls 6 and administrator rights" \
    bash -c "grep -q 'Microsoft.Windows.Common-Controls' '$setup_exe' &&
             grep -q 'level=\"requireAdministrator\"' '$setup_exe' && ! grep -q 'asInvoker' '$setup_exe'"
check "version resource present" \
    env LC_ALL=C grep -qaP 'F\x00i\x00l\x00e\x00D\x00e\x00s\x00c\x00r\x00i\x00p\x00t\x00i\x00o\x00n' \
    "$setup_exe"

artifacts=$build/artifacts
rm -rf "$artifacts"
mkdir -p "$artifacts"
workdir=$(mktemp -d)
trap 'wine_prefix_remove; xvfb_stop; rm -rf "$workdir"' EXIT
echo "Booting a Wine prefix (with a display: Wine's desktop keeps the one it started with)"
xvfb_start || { fail "a display (Xvfb)"; summary wine; exit 1; }
wine_prefix_create "$workdir/prefix" || { fail "Wine prefix"; summary wine; exit 1; }
wine_prefix_japanese_display
media=$WINEPREFIX/drive_c/media
mkdir -p "$media"
# Setup.exe alone in its folder (with the control program of the planting test); the helper
# programs elsewhere, so that none of them loads a DLL planted beside Setup.exe.
helpers=$WINEPREFIX/drive_c/tools
mkdir -p "$helpers"
cp "$setup_exe" "$tools/plain_import_probe.exe" "$media/"
cp "$tools/atom_holder.exe" "$tools/ui_robot.exe" "$tools/patch_database.exe" \
    "$tools/end_process.exe" "$build/tools/patch_builder/patch_builder.exe" "$helpers/"
cp "$here/../../samples/media/Install.dat" "$media/"
temp_windows=$(timeout "$WINE_TIMEOUT" wine cmd /c "echo %TEMP%" 2>/dev/null | tr -d '\r')
temp=$(timeout "$WINE_TIMEOUT" winepath -u "$temp_windows" 2>/dev/null)
trace=$temp/Install_Setup_Trace.log
[ -d "$temp" ] || { fail "temporary folder of the prefix" "$temp"; summary wine; exit 1; }

echo "Sample packages: the product and its upgrades (wixl), patches (patch_builder under Wine)"
packages=$media/packages
builders=()
for number in 1000 1100 1200 1234 1300; do
    bash "$here/../packages/build_sample_product.sh" "$workdir/product-$number" "$number" \
        >/dev/null 2>"$workdir/wixl-$number.log" &
    builders+=($!)
done
# (Xvfb runs in the background too: wait for the builders only.)
for builder in "${builders[@]}"; do wait "$builder" || fail "sample package" "$(cat "$workdir"/wixl-*.log)"; done
# Build 1100 refuses itself after InstallFiles: a custom action of type 19 (error), which makes
# msiexec end with 1603, and, with a user interface, shows its text in a box first.
check "sample package: build 1100 with a refusing custom action" msibuild \
    "$workdir/product-1100/product.msi" -q "INSERT INTO CustomAction (Action, Type, Target)
    VALUES ('RefuseUpdate', 19, 'Build 1100 refuses to be applied.')" \
    -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('RefuseUpdate', 4001)"
mkdir -p "$packages"
for number in 1000 1100 1200 1234 1300; do
    cp "$workdir/product-$number/product.msi" "$packages/product-$number.msi"
done
cp "$packages/product-1000.msi" "$packages/product.msi"
product_code='{12345678-ABCD-EF01-2345-6789ABCDEF01}'
patch_code='{AAAAAAAA-1111-2222-3333-444444444444}'
build_patch() { # BUILD PATCH_CODE
    (cd "$media" && wine_run 'C:\tools\patch_builder.exe' 'C:\media\packages\product-1000.msi' \
        "C:\\media\\packages\\product-$1.msi" "C:\\media\\packages\\build$1.msp" /build "6.0.$1" \
        /code "$2") >"$workdir/patch-$1.log" 2>&1
}
check "patch_builder: build 1234 (1000 -> 1234)" build_patch 1234 "$patch_code"
check "patch_builder: build 1300" build_patch 1300 '{AAAAAAAA-1111-2222-3333-444444441300}'
check "patch_builder: build 1200" build_patch 1200 '{AAAAAAAA-1111-2222-3333-444444441200}'
check "patch_builder: build 1100 (refused)" build_patch 1100 '{AAAAAAAA-1111-2222-3333-444444441100}'
check_equal "patch_builder: the five program files of a new build, not Extra.dll or readme.txt" \
    "  files (5): Qerno.exe Wardex.exe Plinth.dll Q3D.exe Q3D.dll" \
    "$(grep -a '^  files' "$workdir/patch-1234.log" | tr -d '\r')"
check "patch_builder: the title from the product name and build" grep -q \
    '"QernoE6 E Build 1234", patch code {AAAAAAAA-1111-2222-3333-444444444444}' \
    "$workdir/patch-1234.log"
check "patch_builder: summary of the patch (title, target, transforms, patch code)" bash -c "
    LC_ALL=C msiinfo suminfo '$packages/build1234.msp' >'$workdir/suminfo' &&
    grep -qx 'Title: QernoE6 E Build 1234' '$workdir/suminfo' &&
    grep -qx 'Template: $product_code' '$workdir/suminfo' &&
    grep -qx 'Last author: :T;:#T' '$workdir/suminfo' &&
    grep -qx 'Revision number (UUID): $patch_code' '$workdir/suminfo'"
(cd "$media" && wine_run 'C:\tools\patch_builder.exe') >"$workdir/usage.log" 2>&1
check_equal "patch_builder without arguments: exit code 2" 2 "$?"
check "... with its usage text" grep -q "^usage: patch_builder TARGET.msi UPGRADED.msi OUT.msp" \
    "$workdir/usage.log"
(cd "$media" && wine_run 'C:\tools\patch_builder.exe' 'C:\media\packages\missing.msi' \
    'C:\media\packages\product-1234.msi' 'C:\media\packages\x.msp' /build 6.0.1) \
    >"$workdir/missing.log" 2>&1
check "patch_builder with a missing package: exit code 1, the step that failed, no patch" bash -c "
    grep -q '^patch_builder: opening C:.media.packages.missing.msi failed' '$workdir/missing.log' &&
    test ! -e '$packages/x.msp'"
long_target=$product_code
for _ in $(seq 1 13); do long_target="$long_target;$product_code"; done
make_patch() { # FILE TARGETS [BUILD]
    (cd "$media" && wine_run 'C:\tools\patch_database.exe' "C:\\media\\packages\\$1" \
        "QernoE6 E Build 1234" "$2" "$patch_code" "${@:3}")
}
check "patch database without a build row" make_patch nobuild.msp "$product_code"
check "patch database with build 6.0" make_patch twonumbers.msp "$product_code" 6.0
check "patch database with a 545-character target list" \
    make_patch longtarget.msp "$long_target" 6.0.1234
check "sample product installed" \
    wine_run msiexec /i 'C:\media\packages\product.msi' /qn

echo "Conformance of the real calls with the simulated machine"
cp "$build/conformance/conformance.exe" "$media/"
(cd "$media" && wine_run 'C:\media\conformance.exe') >"$workdir/conformance.log" 2>&1
conformance_status=$?
grep -E "Wine differs|: Failure$|^\[  FAILED|^conformance \(" "$workdir/conformance.log" | sed 's/^/        /'
if [ "$conformance_status" -eq 0 ]; then
    pass "conformance checks under Wine"
else
    fail "conformance checks under Wine" "$(tail -n 40 "$workdir/conformance.log")"
fi

# The trace with every time stamp replaced by <TIME> after checking its form, the settings
# copy's number by <N> and the engine files' versions by <V>.
normalised_trace() {
    LC_ALL=C sed -E \
        -e 's#[0-9]{4}/(0[1-9]|1[0-2])/(0[1-9]|[12][0-9]|3[01]) ([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]#<TIME>#' \
        -e 's#\\tmp[0-9A-Fa-f]{1,4}\.tmp#\\tmp<N>.tmp#' \
        -e 's#(\.(exe|dll)\x81\x46)[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+#\1<V>#' "$trace"
}
colon=$'\x81\x46' # the full-width colon in code page 932
# Both sides of a comparison end in "x" so that command substitution keeps the last CR LF.
actual_trace() { normalised_trace; echo x; }
expected_lines() { printf '%s\r\n' "$@"; echo x; }

# Wine ships no msihnd.dll: with a copy of msi.dll in its place the engine files agree and no
# dialog is shown; the dialog has a scenario of its own below.
system32=$(wine_system32_folder)
cp "$system32/msi.dll" "$system32/msihnd.dll"
engine=('C:\windows\system32\msiexec.exe' 'C:\windows\system32\msi.dll'
    'C:\windows\system32\msihnd.dll')
full_run=("QernoE_Update-Start <TIME>" "    Check MSIKido" "    Copy DatFile"
    "    CopyDatFile-Start" '        CopyFile1:C:\media\Install.dat'
    "        CopyFrom${colon}C:\\media\\Install.dat"
    "        CopyTo  ${colon}${temp_windows}\\tmp<N>.tmp" "    CopyDatFile-End"
    "    Check WindowsInstaller2" "        Check DllVer-Start"
    "            ${engine[0]}${colon}<V>" "            ${engine[1]}${colon}<V>"
    "            ${engine[2]}${colon}<V>" "        Check DllVer-End"
    "    InstMSP-Start" "        Code=2712" "    InstMSP-End"
    "    Delete LogFile" "    Delete DatFile" "    Setup ExitCode=1619" "QernoE_Update-End <TIME>")
no_settings_copy() { ! ls "$temp"/tmp*.tmp >/dev/null 2>&1; }

# Setup.exe started by the answering program, which answers each window it shows with the
# button ids of ANSWERS and keeps NAME-<n>.txt and NAME-<n>.bmp of each.
run_setup() { # NAME ANSWERS [ARGUMENTS...]
    local name=$1 answers=$2
    shift 2
    rm -f "$media/$name"-* "$media/$name.exit"
    local status=0
    (cd "$media" && wine_run 'C:\tools\ui_robot.exe' "C:\\media\\$name" "$answers" 40 \
        'C:\media\Setup.exe' "$@") || status=$?
    # A picture of every window, kept with the build.
    for bitmap in "$media/$name"-*.bmp; do
        [ -e "$bitmap" ] && convert "$bitmap" "$artifacts/$(basename "$bitmap" .bmp).png"
    done
    # A run that hung or met an unexpected window shows what the robot saw.
    if [ "$status" -ne 0 ]; then
        for record in "$media/$name"-*.txt; do
            [ -e "$record" ] && sed "s|^|        $(basename "$record"): |" "$record"
        done
    fi
    return $status
}
# The exit code of the program a robot run NAME started, when it ended by itself.
exit_code_of() { cat "$media/$1.exit" 2>/dev/null; }
# The message box text of a record as Unicode (line feeds as \n) and as code page bytes (hex).
box_text() { sed -n $'s/^65535\tStatic\t//p' "$media/$1.txt"; }
box_bytes() { sed -n $'s/^A\t65535\t//p' "$media/$1.txt"; }
# trace_holds PATTERN UNWANTED: the trace matches the Perl pattern (across lines) and does not
# hold the text UNWANTED (nothing when empty).
trace_holds() {
    grep -qzP "(?m)$1" "$trace" && { [ -z "${2:-}" ] || ! grep -qaF "$2" "$trace"; }
}
cp932_hex() { printf '%s' "$1" | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n'; }
# No MSP\ folder on these media: every full run ends with the launch-failure box.
launch_failure_box() { # NAME [WINDOW_NUMBER]
    local record=$media/$1-${2:-1}.txt
    [ "$(head -n 1 "$record")" == "Ortolan Qerno6 E" ] &&
        grep -q $'^65535\tStatic\tインストーラの起動に失敗しました。$' "$record"
}

echo "A first run"
rm -f "$trace"
run_setup first 1
check_equal "Setup.exe ran and its one box was answered" 0 "$?"
check "the robot kept Setup.exe's own exit code" grep -qxE '[0-9]+' "$media/first.exit"
check "the launch-failure box: caption and Japanese text" launch_failure_box first
check_equal "trace: every phase in order, CRLF, four blanks a level" \
    "$(expected_lines "${full_run[@]}")" "$(actual_trace)"
check "the settings copy is gone after the run" no_settings_copy

echo "A second run"
run_setup second 1
check_equal "trace: the second run follows after an empty line" \
    "$(expected_lines "${full_run[@]}" "" "${full_run[@]}")" "$(actual_trace)"

echo "While the product's installer holds its atom ($atom_name)"
rm -f "$trace" "$media/atom.exit"
(cd "$media" && wine_run 'C:\tools\atom_holder.exe' "$atom_name" 'C:\tools\ui_robot.exe' \
    'C:\media\atom' - 40 'C:\media\Setup.exe')
check_equal "Setup.exe ran under the atom and showed nothing" 0 "$?"
check_equal "trace: only the start line, Check MSIKido and the end line" \
    "$(expected_lines "QernoE_Update-Start <TIME>" "    Check MSIKido" \
        "    Setup ExitCode=1618" "QernoE_Update-End <TIME>")" "$(actual_trace)"
rm -f "$trace"
run_setup released 1
check_equal "trace: with the atom released, a full run again" \
    "$(expected_lines "${full_run[@]}")" "$(actual_trace)"

echo "DLLs planted beside Setup.exe (native DLLs preferred, as on Windows)"
cp "$tools/planted.dll" "$media/version.dll"
cp "$tools/planted.dll" "$media/msi.dll"
rm -f "$media"/*.loaded
(cd "$media" && WINEDLLOVERRIDES="mscoree,mshtml=;version,msi=n,b" \
    wine_run 'C:\media\plain_import_probe.exe' >/dev/null)
markers=$(cd "$media" && ls ./*.loaded 2>/dev/null | tr 'A-Z' 'a-z' | sort | tr '\n' ' ')
check_equal "control: a plain import loads both planted DLLs" "./msi.dll.loaded ./version.dll.loaded " \
    "$markers"
rm -f "$media"/*.loaded "$trace"
WINEDLLOVERRIDES="mscoree,mshtml=;version,msi=n,b" run_setup planted 1
markers=$(cd "$media" && ls ./*.loaded 2>/dev/null)
check_equal "Setup.exe loads neither planted DLL" "" "$markers"
check_equal "trace: the run is complete beside the planted DLLs" \
    "$(expected_lines "${full_run[@]}")" "$(actual_trace)"
rm -f "$media/version.dll" "$media/msi.dll"

echo "The whole job with the installed sample product"
package_code=$(package_code_of "$packages/product-1000.msi")
# Media that list BUILD's patch for the installed package, with only that patch in MSP\.
lay_out_media() { # BUILD
    sed -e "s/@PACKAGE_CODE@/$package_code/" -e "s/_1234=/_$1=/" \
        "$here/../../samples/media/Install.dat" >"$media/Install.dat"
    rm -rf "$media/MSP"
    mkdir -p "$media/MSP"
    cp "$packages/build$1.msp" "$media/MSP/QernoE6_ALPHA_$1.msp"
}
wine_record_sample_program_folder
program=$WINEPREFIX/drive_c/"Program Files (x86)"/QernoE
# Changed well after the main files were installed: these two must be moved aside.
touch -d '+20 days' "$program/Extra.dll" "$program/Qerno3D/Q3D.dll" "$program/readme.txt"
logs=$media/"install logs"
mkdir -p "$logs"
md5_of() { md5sum <"$1" | cut -d ' ' -f 1; }
# The two files an update moves aside, under whichever names they have: "NAME MD5" lines.
moved_files() {
    local name
    for name in Extra.dll Bakup_Extra.dll Qerno3D/Q3D.dll Qerno3D/Bakup_Q3D.dll; do
        if [ -e "$program/$name" ]; then echo "$name $(md5_of "$program/$name")"; fi
    done
}
# A launcher that did not put them back would leave them under their Bakup_ names: the next
# scenario starts from the same files either way, and the checks at the end say which it was.
put_back_moved_files() {
    local name
    for name in Extra.dll Qerno3D/Q3D.dll; do
        local backup=$program/$(dirname "$name")/Bakup_$(basename "$name")
        if [ -e "$backup" ] && [ ! -e "$program/$name" ]; then mv "$backup" "$program/$name"; fi
    done
}

echo "Build 1100, which the installer refuses: silently, then msiexec ended at its box"
lay_out_media 1100
unchanged=$(moved_files)
rm -f "$trace"
run_setup refused 1 /silent1 'LOGFILENAME="C:\media\install logs\refused.log"'
check_equal "silently: the setup box was answered and Setup.exe ended" 0 "$?"
check "msiexec ran it silently and its custom action refused it" bash -c \
    "grep -qa ' /qn ' '$trace' && grep -qa RefuseUpdate '$logs/refused.log'"
after_refused=$(moved_files)
put_back_moved_files
rm -f "$trace"
run_setup killed 1 &
runner=$!
# The installer's log is written line by line: once it names the action, the action's box is
# what msiexec waits on.
for _ in $(seq 1 600); do
    grep -qa RefuseUpdate "$temp"/Install_QernoE_*.log 2>/dev/null && break
    sleep 0.05
done
check "interactive: msiexec reached the refusing action" \
    grep -qa RefuseUpdate "$temp"/Install_QernoE_*.log
# With exit code 1, as Windows' "taskkill /f" ends a process (Wine's own gives 0).
(cd "$media" && wine_run 'C:\tools\end_process.exe' msiexec.exe 1) >/dev/null
wait "$runner"
check_equal "msiexec ended there: Setup.exe ended too, with no further window" 0 "$?"
after_killed=$(moved_files)
put_back_moved_files

echo "Build 1234: set up, then found applied"
lay_out_media 1234
rm -f "$trace"
run_setup apply 1 /silent1 'LOGFILENAME="C:\media\install logs\update 1234.log"'
check_equal "the setup box was answered and Setup.exe ended" 0 "$?"
check_equal "setup box text (W): the title, the sentence, two line feeds" \
    'QernoE6 E Build 1234のセットアップを行います。\n\n' "$(box_text apply-1)"
check_equal "setup box text (A): the same code page 932 bytes" \
    "$(cp932_hex $'QernoE6 E Build 1234のセットアップを行います。\n\n')" "$(box_bytes apply-1)"
check_equal "setup box caption: the title before \" Build\" (W, then A)" \
    "QernoE6 E $(cp932_hex 'QernoE6 E')" \
    "$(head -n 1 "$media/apply-1.txt") $(sed -n $'s/^A\tcaption\t//p' "$media/apply-1.txt")"
check "setup box: OK is its button, and the default" \
    grep -qzP '(?m)^1\tButton\tOK\n(.*\n)*default\t1\n' "$media/apply-1.txt"
check "backup: Qerno3D\\Q3D.dll, laid again by the patch, keeps its Bakup_ copy" \
    test -e "$program/Qerno3D/Bakup_Q3D.dll"
check "backup: Extra.dll, not laid again by the installer, is back under its own name" \
    bash -c "cmp -s '$program/Extra.dll' '$workdir/product-1000/payload/Extra.dll' &&
             test ! -e '$program/Bakup_Extra.dll'"
check "backup: the main files and a text file stay as they are" bash -c \
    "test ! -e '$program/Bakup_Wardex.exe' -a ! -e '$program/Bakup_readme.txt' -a -e '$program/readme.txt'"
check "backup: traced as moved" grep -qa \
    "REN File${colon}C:\\\\Program Files (x86)\\\\QernoE\\\\Extra.dll" "$trace"
check "msiexec.exe started with the silent command line, the log path quoted" grep -qa \
    "CmdLine ${colon}/p \"C:\\\\media\\\\MSP\\\\QernoE6_ALPHA_1234.msp\" /l\*v \"C:\\\\media\\\\install logs\\\\update 1234.log\" REINSTALL=ALL REINSTALLMODE=vemus /qn MERGEFRM=1 DATPATH=" \
    "$trace"
check "the installer wrote its log at the path with blanks" test -s "$logs/update 1234.log"
check "patch applied: the program files are those of build 1234" bash -c \
    "cmp -s '$program/Qerno.exe' '$workdir/product-1234/payload/Qerno.exe' &&
     cmp -s '$program/Qerno3D/Q3D.dll' '$workdir/product-1234/payload/Q3D.dll' &&
     cmp -s '$program/Plinth.dll' '$workdir/product-1234/payload/Plinth.dll'"
after_apply=$(moved_files)
check "the settings copy is gone after the run" no_settings_copy
rm -f "$trace"
run_setup again 1 /silent1
check_equal "second run: the already-applied box (W)" \
    'QernoE6 E Build 1234はすでに適用済です。\n\nセットアップを終了します。\n' "$(box_text again-1)"
check_equal "second run: the already-applied box (A)" \
    "$(cp932_hex $'QernoE6 E Build 1234はすでに適用済です。\n\nセットアップを終了します。\n')" \
    "$(box_bytes again-1)"
check "second run: mode 2 from the applied patch's cached copy, box 2798, nothing started" \
    trace_holds '^        Code=2\r\n        Code=2798\r' 'ShellExe-Start'
check "second run: the patch is found among the applied ones by its code" \
    trace_holds 'AAAAAAAA-1111-2222-3333-444444444444' 

echo "Newer media: build 1300 on top, then media with an older build"
lay_out_media 1300
rm -f "$trace"
run_setup newer 1
check_equal "build 1300: the setup box" 'QernoE6 E Build 1300のセットアップを行います。\n\n' \
    "$(box_text newer-1)"
check "build 1300: the program files are those of build 1300" \
    cmp -s "$program/Qerno.exe" "$workdir/product-1300/payload/Qerno.exe"
check "build 1300: an interactive run, no /qn" bash -c \
    "grep -qa 'QernoE6_ALPHA_1300.msp' '$trace' && ! grep -qa ' /qn ' '$trace'"
lay_out_media 1200
rm -f "$trace"
run_setup older 1
check "build 1200 after 1300: mode 3, the already-applied box, nothing started" \
    trace_holds '^        Code=3\r\n        Code=2798\r' 'ShellExe-Start'

check_equal "... its text names build 1200" \
    'QernoE6 E Build 1200はすでに適用済です。\n\nセットアップを終了します。\n' "$(box_text older-1)"
check "the program files stay those of build 1300" \
    cmp -s "$program/Qerno.exe" "$workdir/product-1300/payload/Qerno.exe"
lay_out_media 1234

echo "Other outcomes with the installed product"
# The edition's section missing: the probe package (build 1234) is compared with what is
# installed, and build 1234 is applied by now.
printf '[Install]\r\nURL=https://example.com/\r\n' >"$media/Install.dat"
rm -f "$trace"
run_setup fallback 1
check "no edition section: mode 0, not newer (2845), the already-applied box" bash -c \
    "grep -qa '            Code=2266' '$trace' && grep -qa '        Code=2845' '$trace' &&
     grep -q 'はすでに適用済です。' '$media/fallback-1.txt'"
# A probe package whose target list is long (545 characters, 14 codes): it is read whole.
rm -f "$media/MSP/"*.msp
cp "$packages/longtarget.msp" "$media/MSP/a.msp"
cp "$packages/build1234.msp" "$media/MSP/b.msp"
rm -f "$trace"
run_setup longtarget 1
check "a probe with a 545-character target list is read whole: not listed, not newer (2845)" \
    bash -c "! grep -qa 'Code=2754' '$trace' && grep -qa '        Code=2845' '$trace'"
check "... and the already-applied box" grep -q 'はすでに適用済です。' "$media/longtarget-1.txt"
# A probe package for a product that is not installed.
make_patch other.msp '{00000000-0000-0000-0000-000000000001}' 6.0.1234
rm -f "$media/MSP/"*.msp "$trace"
cp "$packages/other.msp" "$media/MSP/other.msp"
run_setup notinstalled 1
check "the product is not installed: 2771" bash -c "grep -qa '        Code=2771' '$trace'"
check_equal "... and the no-target box" \
    'アップデート対象の製品が存在しません。\n\nセットアップを終了します。\n' "$(box_text notinstalled-1)"
# Six old installer logs: the oldest goes, five stay.
rm -rf "$media/MSP"
for second in 0 1 2 3 4 5; do
    : >"$temp/Install_QernoE_2020_0101_00000$second.log"
done
run_setup logs 1
remaining=$(ls "$temp"/Install_QernoE_*.log | wc -l)
check_equal "six old installer logs: five remain" 5 "$remaining"
check "the oldest is the one deleted" test ! -e "$temp/Install_QernoE_2020_0101_000000.log"
cp "$here/../../samples/media/Install.dat" "$media/"

echo "The engine files disagree: the version dialog, shown under Xvfb"
rm -f "$system32/msihnd.dll" "$trace"
run_setup dialog 2
check_equal "the dialog was answered No and Setup.exe ended" 0 "$?"
if convert "$media/dialog-1.bmp" "$artifacts/version-dialog.png" 2>/dev/null; then
    pass "screenshot kept: $artifacts/version-dialog.png"
else
    fail "screenshot of the dialog"
fi
record=$(cat "$media/dialog-1.txt" 2>/dev/null)
check_equal "dialog caption (Unicode, as drawn)" "Windows Installer バージョン情報" \
    "$(head -n 1 <<<"$record")"
check "buttons No and Yes with their Japanese texts" \
    grep -q $'^2\tButton\tいいえ(&N)$' <<<"$record"
check "the link shows the URL of Install.dat" grep -q \
    $'^1005\tStatic\thttps://support.example.com/qernoe/windows-installer$' <<<"$record"
check "the fixed message text" grep -q "詳細は、下記サイトを参照してください。" <<<"$record"
check "the list's column headings" grep -qzP \
    '(?m)^column\t1003\t0\tファイル名\ncolumn\t1003\t1\tバージョン\n' <<<"$record"
check_equal "the list's rows: the three engine files, msihnd.dll without a version" \
    "$(printf '%s\t%s\t%s\n' 0 msiexec.exe '<V>' 1 msi.dll '<V>' 2 msihnd.dll '')" \
    "$(sed -n $'s/^row\t1003\t//p' <<<"$record" | sed -E 's/[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$/<V>/')"
check_equal "the list's rows as code page bytes (A)" \
    "$(cp932_hex msiexec.exe) $(cp932_hex msi.dll) $(cp932_hex msihnd.dll)" \
    "$(sed -n $'s/^row-A\t1003\t[0-9]\t\([0-9a-f]*\)\t.*/\\1/p' <<<"$record" | tr '\n' ' ' | sed 's/ $//')"
check "the caption as code page bytes (A)" \
    grep -qx "A	caption	$(cp932_hex 'Windows Installer バージョン情報')" <<<"$record"
check "No is the default button" grep -qx $'default\t2' <<<"$record"
check_equal "trace: versions, the mismatch, Install END, no update run" \
    "$(expected_lines "    Check WindowsInstaller2" "        Check DllVer-Start" \
        "            ${engine[0]}${colon}<V>" "            ${engine[1]}${colon}<V>" \
        "            Dll Ver Compare Fail" "            Install END" \
        "        Check DllVer-End" "    Delete LogFile")" \
    "$(actual_trace | sed -n '/Check WindowsInstaller2/,/Delete LogFile/p'; echo x)"
rm -f "$trace"
run_setup dialog-yes 1,1
check_equal "answered Yes, the update goes on to its box" 0 "$?"
check "after Yes: the launch-failure box of the update" launch_failure_box dialog-yes 2

# ----------------------------------------------------------------------------------------------
echo "Exit codes, and the files moved aside put back when the installer fails"
# The runs above kept what these read: each run's NAME.exit and the moved files after the build
# 1100 runs and build 1234.
codes="$(exit_code_of logs) $(exit_code_of atom) $(exit_code_of notinstalled)"
check_equal "exit codes: no MSP\\ 1619, atom held 1618, product not installed 1642" \
    "1619 1618 1642" "$codes"
codes="$(exit_code_of dialog) $(exit_code_of apply) $(exit_code_of again)"
check_equal "exit codes: engine dialog No 1602, build 1234 applied 0, then found applied 0" \
    "1602 0 0" "$codes"
check_equal "build 1100 refused: exit code 1603, msiexec's own" 1603 "$(exit_code_of refused)"
check_equal "... Extra.dll and Qerno3D\\Q3D.dll back under their own names, unchanged" \
    "$unchanged" "$after_refused"
check_equal "msiexec ended at its box: exit code 1, what its process gave" 1 \
    "$(exit_code_of killed)"
check_equal "... Extra.dll and Qerno3D\\Q3D.dll back under their own names, unchanged" \
    "$unchanged" "$after_killed"
check_equal "build 1234 applied: Extra.dll, which Wine does not lay again, moved back" \
    "Extra.dll $(md5_of "$workdir/product-1000/payload/Extra.dll")" \
    "$(grep 'Extra.dll ' <<<"$after_apply")"

echo "msiexec.exe missing: the dialog and the setup box, then nothing moved"
# A build newer than all applied, for this run and the one with /silent2.
bash "$here/../packages/build_sample_product.sh" "$workdir/product-1400" 1400 >/dev/null 2>&1
cp "$workdir/product-1400/product.msi" "$packages/product-1400.msi"
check "patch_builder: build 1400" build_patch 1400 '{AAAAAAAA-1111-2222-3333-444444441400}'
cp "$system32/msi.dll" "$system32/msihnd.dll" # only msiexec.exe's absence shows the dialog
lay_out_media 1400
# A recently changed file that a run would move aside.
[ -e "$program/Extra.dll" ] || cp "$workdir/product-1000/payload/Extra.dll" "$program/"
touch -d '+20 days' "$program/Extra.dll"
backups=$(cd "$program" && find . -name 'Bakup_*' | sort)
mv "$system32/msiexec.exe" "$system32/msiexec.exe.away"
rm -f "$trace"
run_setup nomsiexec 1,1
status=$?
mv "$system32/msiexec.exe.away" "$system32/msiexec.exe"
check_equal "the dialog answered Yes, the setup box OK, Setup.exe ended" 0 "$status"
check_equal "... the engine dialog, then the setup box of build 1400" \
    "Windows Installer バージョン情報 QernoE6 E Build 1400のセットアップを行います。\n\n" \
    "$(head -n 1 "$media/nomsiexec-1.txt") $(box_text nomsiexec-2)"
moved=$(cd "$program" && find . -name 'Bakup_*' | sort && grep -a 'REN File' "$trace")
check_equal "... no file moved aside, none tried" "$backups" "$moved"
check_equal "... exit code 1603" 1603 "$(exit_code_of nomsiexec)"
check "... traced right before the end line" trace_holds \
    '^ *Setup ExitCode=1603\r\nQernoE_Update-End '

echo "/silent2: no window at all, the boxes' texts in the trace"
rm -f "$trace"
run_setup silent2 - /silent2
check_equal "no window, Setup.exe ended by itself with exit code 0" "0 0" \
    "$? $(exit_code_of silent2)"
check "build 1400 applied" cmp -s "$program/Qerno.exe" "$workdir/product-1400/payload/Qerno.exe"
check "msiexec's command line: REBOOT=ReallySuppress right after /qn" env LC_ALL=C grep -qaE \
    "CmdLine ${colon}/p .* /qn REBOOT=ReallySuppress( |\r$)" "$trace"
check "the setup box as a MessageBox line: caption, then text (code page 932)" \
    env LC_ALL=C grep -qaF "MessageBox${colon}QernoE6 E${colon}$(printf '%s' \
    'QernoE6 E Build 1400のセットアップを行います。' | iconv -f UTF-8 -t CP932)" "$trace"

echo "One Setup.exe at a time"
rm -f "$media/gate" "$trace"
UI_ROBOT_GATE='C:\media\gate' run_setup holder 1 &
holder=$!
for _ in $(seq 1 400); do
    [ -e "$media/holder-1.txt" ] && break
    sleep 0.05
done
run_setup rival -
check_equal "a second Setup.exe while the first waits on its box: no window, exit code 1618" \
    "0 1618" "$? $(exit_code_of rival)"
touch "$media/gate"
wait "$holder"
check_equal "the first, then answered, ends normally: exit code 0" "0 0" \
    "$? $(exit_code_of holder)"

# shellcheck source=bad_input_tests.sh
source "$here/bad_input_tests.sh"

source "$here/media_tool_tests.sh"
# shellcheck source=review_tests.sh
source "$here/review_tests.sh"
# shellcheck source=cut_off_tests.sh
source "$here/cut_off_tests.sh"
# shellcheck source=signature_tests.sh
source "$here/signature_tests.sh"
echo "Wine suite time: ${SECONDS} s (prefix boot included)"
summary wine
