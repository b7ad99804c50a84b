# Sourced by wine_tests.sh at its end, with its prefix, helpers and sample packages: media_tool
# lays out media for two editions and checks them, then broken copies of them; after each check
# Setup.exe runs on the same media with the sample product installed, and the check's row for
# the installed package must be what the run did: install mode and trace code, box, exit code.
# shellcheck shell=bash

echo "media_tool: media made and checked, and Setup.exe on the same media"
mt_started=$SECONDS
cp "$build/tools/media_tool/media_tool.exe" "$helpers/"
# The dialog scenario took msihnd.dll away: the engine files agree again.
cp "$system32/msi.dll" "$system32/msihnd.dll"

# The BRAVO edition's packages (DInstallVer "QernoE6 BRAVO") and its patch; both editions'
# patches under the names they carry on release media.
mt_builders=()
for number in 1000 1234; do
    bash "$here/../packages/build_sample_product.sh" "$workdir/bravo-$number" "$number" BRAVO \
        >/dev/null 2>"$workdir/wixl-bravo-$number.log" &
    mt_builders+=($!)
done
# (Xvfb runs in the background too: wait for the builders only.)
for builder in "${mt_builders[@]}"; do
    wait "$builder" || fail "BRAVO sample package" "$(cat "$workdir"/wixl-bravo-*.log)"
done
cp "$workdir/bravo-1000/product.msi" "$packages/bravo-1000.msi"
cp "$workdir/bravo-1234/product.msi" "$packages/bravo-1234.msi"
release=$packages/release
mkdir -p "$release"
cp "$packages/build1234.msp" "$release/QernoE6_ALPHA_1234.msp"
(cd "$media" && wine_run 'C:\tools\patch_builder.exe' 'C:\media\packages\bravo-1000.msi' \
    'C:\media\packages\bravo-1234.msi' 'C:\media\packages\release\QernoE6_BRAVO_1234.msp' \
    /build 6.0.1234 /code '{BBBBBBBB-1111-2222-3333-444444441234}') >"$workdir/patch-bravo.log" 2>&1
check "patch_builder: the BRAVO edition's patch to build 1234" test -s "$release/QernoE6_BRAVO_1234.msp"

# A fresh installation of PACKAGE (build 1000 of an edition): no patch applied yet.
mt_install() { # PACKAGE
    wine_run msiexec /x "$product_code" /qn &&
        wine_run msiexec /i "C:\\media\\packages\\$1" /qn && wine_record_sample_program_folder
}
# media_tool with ARGUMENTS; its output (UTF-8, LF) in $workdir/mt-NAME.txt, its exit code the
# call's.
mt_run() { # NAME ARGUMENTS...
    local name=$1 status=0
    shift
    (cd "$media" && wine_run 'C:\tools\media_tool.exe' "$@") >"$workdir/mt-$name.raw" 2>&1 ||
        status=$?
    iconv -f CP932 -t UTF-8 "$workdir/mt-$name.raw" | tr -d '\r' >"$workdir/mt-$name.txt"
    return $status
}
# Setup.exe's media in C:\media: Install.dat and MSP\ of the media made in C:\mt\good.
mt_deploy() {
    rm -rf "$media/MSP"
    cp -r "$WINEPREFIX/drive_c/mt/good/MSP" "$WINEPREFIX/drive_c/mt/good/Install.dat" "$media/"
}
# The check's row for PACKAGE (JSON of check NAME) and Setup.exe's run NAME, each as: the
# codes written before the box (install mode, when asked, and the box's code), the caption,
# the text (line feeds as \n) and the exit code (the robot's record of the run's); an applying
# run's is the installer's.
mt_row() { # NAME PACKAGE
    jq -r --arg package "C:\\media\\packages\\$2" '.packages[] | select(.package == $package) |
        "\([(.mode // empty), .traceCode] | map(tostring) | join(" "))|\(.caption)|" +
        "\(.text | gsub("\n"; "\\n"))|\(.exitCode)"' "$workdir/mt-$1.txt"
}
mt_run_of_setup() { # NAME
    local codes
    codes=$(grep -a '^        Code=' "$trace" | tr -d '\r' | sed 's/^ *Code=//' | tr '\n' ' ')
    echo "${codes% }|$(head -n 1 "$media/$1-1.txt")|$(box_text "$1-1")|$(exit_code_of "$1")"
}
# Checks the media in C:\media for the installed PACKAGE (with the patches given as applied),
# then runs Setup.exe on them: the check's row must be what the run did. The check's exit code
# is the call's.
mt_scenario() { # NAME PACKAGE [--applied FILE]...
    local name=$1 package=$2 status=0
    shift 2
    mt_run "$name" check 'C:\media' --package "C:\\media\\packages\\$package" "$@" --json ||
        status=$?
    local row
    row=$(mt_row "$name" "$package")
    rm -f "$trace"
    run_setup "mt-$name" 1 /silent1 || fail "$name: Setup.exe and its one box"
    # The name shows the codes and the exit code agreed on.
    check_equal "$name: the check's row for $package (codes ${row%%|*}, exit code ${row##*|})\
 is what Setup.exe did" "${row:-no row}" "$(mt_run_of_setup "mt-$name")"
    return $status
}
mt_finding() { # NAME LEVEL TEXT: the check NAME reported it
    jq -e --arg level "$2" --arg text "$3" \
        'any(.findings[]; .level == $level and ((.subject + ": " + .text) | contains($text)))' \
        "$workdir/mt-$1.txt" >/dev/null
}

check "a fresh installation of build 1000 (ALPHA), no patch applied" mt_install product-1000.msi
mt_run make make 'C:\mt\good' --setup 'C:\media\Setup.exe' \
    --patch 'C:\media\packages\release\QernoE6_ALPHA_1234.msp' \
    'C:\media\packages\release\QernoE6_BRAVO_1234.msp' \
    --package 'C:\media\packages\product-1000.msi' 'C:\media\packages\bravo-1000.msi' \
    --url https://support.example.com/qernoe/windows-installer
check_equal "make: media for two editions, exit code 0" 0 "$?"
check_equal "make: Install.dat in code page 932 with CR LF, a section per edition" \
    "$(printf '%s\r\n' '[Install]' 'URL=https://support.example.com/qernoe/windows-installer' '' \
        '[Patch_ALPHA]' "QernoE6_ALPHA_1234=$(package_code_of "$packages/product-1000.msi")" '' \
        '[Patch_BRAVO]' "QernoE6_BRAVO_1234=$(package_code_of "$packages/bravo-1000.msi")"; echo x)" \
    "$(cat "$WINEPREFIX/drive_c/mt/good/Install.dat"; echo x)"
check "make: Setup.exe and both patches in place" bash -c "
    cmp -s '$media/Setup.exe' '$WINEPREFIX/drive_c/mt/good/Setup.exe' &&
    cmp -s '$release/QernoE6_BRAVO_1234.msp' '$WINEPREFIX/drive_c/mt/good/MSP/QernoE6_BRAVO_1234.msp'"
check "make: the check's table, a row per edition that sets its patch up, no findings" \
    grep -qzP "(?m)^product-1000.msi +ALPHA +Patch_ALPHA +QernoE6_ALPHA_1234 +yes +1 +setup +2816 \
+msiexec's\nbravo-1000.msi +BRAVO +Patch_BRAVO +QernoE6_BRAVO_1234 +yes +1 +setup +2816 \
+msiexec's\n\n0 errors, 0 warnings" "$workdir/mt-make.txt"
check "make: the probe package and the caption users see" \
    grep -qx 'Probe package: MSP\\QernoE6_ALPHA_1234.msp, caption "QernoE6 E"' "$workdir/mt-make.txt"
mt_run again make 'C:\mt\good' --setup 'C:\media\Setup.exe' \
    --patch 'C:\media\packages\release\QernoE6_ALPHA_1234.msp' \
    --package 'C:\media\packages\product-1000.msi'
check_equal "make: refused onto existing media, exit code 1" "1 1" \
    "$? $(grep -c 'already holds media' "$workdir/mt-again.txt")"

mt_deploy
# One digit of the package code changed: still a package code, but not the package's.
sed -i -E '/^QernoE6_ALPHA/{s/0\}/1}/;t;s/[0-9A-F]\}/0}/}' "$media/Install.dat"
mt_scenario typo product-1000.msi
check_equal "a typo in a package code: check exit code 1" 1 "$?"
check "... error: the section lists no patch for the package" mt_finding typo error \
    'Patch_ALPHA lists no patch for its package code'

mt_deploy
rm "$media/MSP/QernoE6_ALPHA_1234.msp"
mt_scenario missing product-1000.msi
check_equal "a listed patch missing: check exit code 1" 1 "$?"
check "... error: MSP\\QernoE6_ALPHA_1234.msp does not exist" mt_finding missing error \
    'Patch_ALPHA: QernoE6_ALPHA_1234: MSP\QernoE6_ALPHA_1234.msp does not exist'

mt_deploy
printf 'not a patch package\r\n' >"$media/MSP/00broken.msp"
mt_scenario unreadable product-1000.msi
check_equal "an unreadable .msp (found first): check exit code 1" 1 "$?"
check "... error: it cannot be read as a patch package" mt_finding unreadable error \
    'MSP\00broken.msp: cannot be read'

mt_deploy
mt_scenario good product-1000.msi
check_equal "good media: check exit code 0" 0 "$?"
check "... and the installer laid build 1234" \
    cmp -s "$WINEPREFIX/drive_c/Program Files (x86)/QernoE/Qerno.exe" \
    "$workdir/product-1234/payload/Qerno.exe"
check "the BRAVO edition installed instead" mt_install bravo-1000.msi
mt_scenario good-bravo bravo-1000.msi
check_equal "good media, the BRAVO edition installed: check exit code 0" 0 "$?"
check "... Setup.exe applied BRAVO's patch" \
    env LC_ALL=C grep -qa 'CmdLine.*QernoE6_BRAVO_1234\.msp' "$trace"

cp "$packages/build1200.msp" "$media/MSP/Spare_1200.msp"
mt_scenario unlisted bravo-1000.msi --applied 'C:\media\MSP\QernoE6_BRAVO_1234.msp'
check_equal "an unlisted .msp, BRAVO's patch applied: check exit code 0" 0 "$?"
check "... warning: listed in no section" mt_finding unlisted warning \
    'MSP\Spare_1200.msp: listed in no Patch_<edition> section'

mt_run usage /?
check_equal "media_tool /?: exit code 0 and its usage" "0 1" \
    "$? $(grep -c '^usage: media_tool check MEDIA_DIR' "$workdir/mt-usage.txt")"
mt_run wrong check
check_equal "media_tool check without a folder: exit code 2" 2 "$?"
echo "media_tool scenarios: $((SECONDS - mt_started)) s"
