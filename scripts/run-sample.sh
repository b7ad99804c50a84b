#!/usr/bin/env bash
# Builds Setup.exe and runs it the way a user would, from the sample update media, in a
# throw-away Wine prefix; then prints the trace log it wrote.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"

cd "$root"
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null

# shellcheck source=../e2e/wine/lib.sh
source "$root/e2e/wine/lib.sh"
workdir=$(mktemp -d)
trap 'wine_prefix_remove; rm -rf "$workdir"' EXIT

echo "Booting a throw-away Wine prefix..."
wine_prefix_create "$workdir/prefix"
media=$WINEPREFIX/drive_c/media
mkdir -p "$media"
cp -r "$root/samples/media/." "$media/"
cp build/windows/src/Setup.exe "$media/"

echo "Running C:\\media\\Setup.exe $*"
status=0
(cd "$media" && wine_run 'C:\media\Setup.exe' "$@") || status=$?
echo "Setup.exe exited with $status"

trace=$(wine_folder_of TEMP)/Install_Setup_Trace.log
echo "--- trace log (%TEMP%\\Install_Setup_Trace.log) ---"
cat "$trace"
