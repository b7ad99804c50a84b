#!/usr/bin/env bash
# Builds the sample product package of one build with wixl into OUT_DIR/product.msi: build
# 1000 is the product as released, a higher build an upgraded package for a patch. The main
# programs and those of Qerno3D\ carry version 6.0.BUILD.0; Extra.dll and readme.txt stay as
# released. EDITION is the token in DInstallVer (ALPHA when left out).
# usage: build_sample_product.sh OUT_DIR [BUILD [EDITION]]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: build_sample_product.sh OUT_DIR [BUILD [EDITION]]}
build=${2:-1000}
edition=${3:-ALPHA}
payload=$out/payload
mkdir -p "$payload"

# The same bytes for the same build wherever it is built (no time stamp, no image base derived
# from the output path): a patch then carries exactly the files a build changes.
compile() { # OUTPUT BUILD [EXTRA FLAGS]
    local output=$1 number=$2
    shift 2
    i686-w64-mingw32-windres -DSAMPLE_BUILD="$number" "$here/payload/sample_version.rc" \
        -O coff -o "$output.res"
    i686-w64-mingw32-gcc -Os -s -mwindows -Wl,--no-insert-timestamp \
        -Wl,--disable-auto-image-base "$@" "$here/payload/sample_program.c" "$output.res" \
        -o "$output"
    rm -f "$output.res"
}
compile "$payload/program.exe" "$build" &
compile "$payload/library.dll" "$build" -shared -DSAMPLE_DLL &
compile "$payload/Extra.dll" 1000 -shared -DSAMPLE_DLL &
wait
for file in Qerno.exe Wardex.exe Q3D.exe; do cp "$payload/program.exe" "$payload/$file"; done
for file in Plinth.dll Q3D.dll; do cp "$payload/library.dll" "$payload/$file"; done
printf 'QernoE sample product\r\n' >"$payload/readme.txt"
# A property value of several thousand characters.
long=$(printf 'L%.0s' $(seq 1 5000))
# wixl takes file sources relative to the current folder only.
cd "$out"
wixl -D LongValue="$long" -D PayloadDir=payload -D ProductVersion="6.0.$build" \
    -D Edition="$edition" \
    -o product.msi "$here/sample_product.wxs"
