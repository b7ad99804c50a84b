#!/usr/bin/env bash
# Start-up under Wine: Setup.exe against a program that only shows a message box, each timed
# from its start to its first box on the screen, in interleaved pairs, in a prefix and display
# made as the Wine tests make theirs (the prefix is kept in WINDOWS_BUILD_DIR/bench). Setup.exe
# runs /silent1 on media without an MSP\ folder: its first box is its own launch-failure box,
# after every step a real run takes before its first box but asking the installer about the
# patch. With --patch, MSP\ holds a file the installer cannot open, and it is asked first.
# Not a test: ctest never runs it.
#   usage: bench/wine/startup.sh WINDOWS_BUILD_DIR [PAIRS] [--patch]
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
# shellcheck source=../../e2e/wine/lib.sh
source "$repo/e2e/wine/lib.sh"

build=$(cd "${1:?usage: startup.sh WINDOWS_BUILD_DIR [PAIRS] [--patch]}" && pwd) || exit 2
pairs=${2:-31}
patch=${3:-}
setup_exe=$build/src/Setup.exe
[ -f "$setup_exe" ] || { echo "no $setup_exe: build the windows preset first" >&2; exit 2; }

# Built beside Setup.exe, as Setup.exe is built: static runtime, optimised, stripped.
out=$build/bench
mkdir -p "$out"
flags=(-std=c++20 -O2 -Wall -Wextra -Werror -static -static-libgcc -static-libstdc++ -s)
i686-w64-mingw32-g++-posix "${flags[@]}" -mwindows -fexec-charset=CP932 \
    "$here/minimal_box.cpp" -o "$out/minimal_box.exe" || exit 2
i686-w64-mingw32-g++-posix "${flags[@]}" -I"$repo/e2e/wine/tools" \
    "$here/startup_timer.cpp" -o "$out/startup_timer.exe" || exit 2

# The prefix is kept for the next run: booting one takes longer than the pairs.
prefix=$out/wine-prefix
export WINEPREFIX=$prefix
trap 'timeout 60 wineserver --kill 2>/dev/null; xvfb_stop' EXIT
xvfb_start || { echo "no display (Xvfb)" >&2; exit 1; }
if [ ! -f "$prefix/system.reg" ]; then
    wine_prefix_create "$prefix" || exit 1
    wine_prefix_japanese_display
    # Wine ships no msihnd.dll: with msi.dll's copy the engine files agree, as on Windows, and
    # the engine check shows no dialog.
    cp "$(wine_system32_folder)/msi.dll" "$(wine_system32_folder)/msihnd.dll"
fi
media=$WINEPREFIX/drive_c/media
rm -rf "$media"
mkdir -p "$media" "$WINEPREFIX/drive_c/tools"
cp "$setup_exe" "$out/minimal_box.exe" "$repo/samples/media/Install.dat" "$media/"
cp "$out/startup_timer.exe" "$WINEPREFIX/drive_c/tools/"
if [ "$patch" == "--patch" ]; then
    mkdir -p "$media/MSP"
    echo "not a patch" >"$media/MSP/QernoE6_ALPHA_1234.msp"
fi

echo "Setup.exe: $setup_exe; $pairs pairs after one to warm up"
(cd "$media" && timeout $((pairs * 1200 + 1200)) wine 'C:\tools\startup_timer.exe' "$pairs" \
    'C:\media\minimal_box.exe' 'C:\media\Setup.exe' /silent1) | tr -d '\r'
