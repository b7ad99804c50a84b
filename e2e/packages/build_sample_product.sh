#!/usr/bin/env bash
# Builds the sample product package with wixl into OUT_DIR/product.msi.
#   usage: build_sample_product.sh OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:?usage: build_sample_product.sh OUT_DIR}
mkdir -p "$out/payload"
for file in Qerno.exe Wardex.exe Plinth.dll Extra.dll Q3D.exe Q3D.dll; do
    printf 'MZ sample %s 1.0\n' "$file" >"$out/payload/$file"
done
printf 'QernoE sample product\n' >"$out/payload/readme.txt"
# A property value of several thousand characters.
long=$(printf 'L%.0s' $(seq 1 5000))
# wixl takes file sources relative to the current folder only.
cd "$out"
wixl -D LongValue="$long" -D PayloadDir=payload -o product.msi "$here/sample_product.wxs"
