# A run cut off while its installer works, and the next run that puts its files back; a journal
# planted by someone else that names a file outside the program folder. Sourced by
# wine_tests.sh after review_tests.sh; uses their prefix, media, packages and helpers.
# shellcheck shell=bash

echo "A run cut off while its installer works; a planted journal"
check "a fresh installation of build 1000" review_install
make_late
lay_out_media 1100
before=$(backup_state)
rm -f "$trace"
run_setup cut - /silent2 >/dev/null 2>&1 &
runner=$!
for _ in $(seq 1 1000); do
    [ -e "$program/Bakup_Extra.dll" ] && [ -e "$program/Qerno3D/Bakup_Q3D.dll" ] && break
    sleep 0.01
done
# As a power cut would: the launcher ended once both files are aside, then its installer as
# soon as it shows, before it gets to lay files (Wine's installer, unlike Windows', does not
# take back files it laid when it is ended or fails).
(cd "$media" && wine_run 'C:\tools\end_process.exe' Setup.exe 1) >/dev/null
for _ in $(seq 1 100); do
    (cd "$media" && wine_run 'C:\tools\end_process.exe' msiexec.exe 1) >/dev/null && break
    sleep 0.1
done
wait "$runner"
left_aside() {
    [ ! -e "$program/Extra.dll" ] && [ -e "$program/Bakup_Extra.dll" ] &&
        [ -e "$program/Qerno3D/Bakup_Q3D.dll" ]
}
check "cut off: Extra.dll left only under its Bakup_ name" left_aside
rm -f "$trace"
run_setup after-cut - /silent2
check_equal "the next run, build 1100 refused: exit code 1603" 1603 "$(exit_code_of after-cut)"
check_equal "... both files back under their own names with their bytes, no Bakup_ copy" \
    "$before" "$(backup_state)"
recovered() { trace_has "RecoverFile-Start" && put_back Extra.dll; }
check "... traced: RecoverFile put Extra.dll back first" recovered

# A pair naming a file of the system folder, as someone who could write the value might plant.
system32=$WINEPREFIX/drive_c/windows/system32
printf 'not the launcher'"'"'s\r\n' >"$system32/Bakup_qernoe_probe.dll"
journal=$(printf '%s\0%s\t%s\t\0\0' "$product_code" 'C:\windows\system32\qernoe_probe.dll' \
    'C:\windows\system32\Bakup_qernoe_probe.dll' | od -An -v -tx1 | tr -s ' \n' ',' |
    sed 's/^,//; s/,$//')
printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\QernoE\\Setup]\r\n"MovedFiles"=hex(7):%s\r\n' \
    "$journal" >"$media/journal.reg"
check "a journal planted with regedit" wine_run regedit /S 'C:\media\journal.reg'
rm -f "$trace"
run_setup planted - /silent2
untouched() { [ ! -e "$system32/qernoe_probe.dll" ] && [ -e "$system32/Bakup_qernoe_probe.dll" ]; }
check "... nothing moved in the system folder" untouched
check "... the pair traced as dropped" trace_has \
    "Journal Drop：C:\\windows\\system32\\qernoe_probe.dll?C:\\windows\\system32\\Bakup_qernoe_probe.dll?"
rm -f "$trace" "$system32/Bakup_qernoe_probe.dll"
run_setup planted-again - /silent2
no_recovery() { ! grep -qa "RecoverFile-Start" "$trace"; }
check "... and removed: the run after finds no journal" no_recovery
