#!/usr/bin/env bash
# Installs, with apt-get and only when missing, what building and testing the launcher needs on
# a Debian 12 machine: the native and mingw-w64 toolchains, GoogleTest's sources, clang-format,
# clang with libFuzzer and its sanitizer runtimes for the fuzz targets, 32-bit Wine, wixl for
# sample packages and msitools (msiinfo, msibuild) to read and edit them, Xvfb, a Japanese font,
# jq (the Wine tests read the media check's JSON), osslsigncode and openssl (release signing and
# its test publishers) and the ja_JP.UTF-8 locale.
set -euo pipefail

packages=(cmake ninja-build g++ googletest clang-format clang libclang-rt-14-dev
          g++-mingw-w64-i686-posix binutils-mingw-w64-i686
          wine wine64 wine32:i386 wixl msitools xvfb xauth fonts-ipafont-gothic fonts-wine
          imagemagick locales jq osslsigncode openssl)

sudo_if_needed() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "install-deps: installing ${missing[*]}"
    # Wine for 32-bit programs needs the i386 architecture before the package lists are read.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        sudo_if_needed dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync serves an index of the wrong size for a minute or so: try
    # once more after a pause, then go on with the lists we have. Only a package that cannot be
    # installed stops the run.
    if ! sudo_if_needed apt-get update -qq; then
        echo "install-deps: apt-get update failed; trying again in 20 seconds" >&2
        sleep 20
        sudo_if_needed apt-get update -qq ||
            echo "install-deps: some package indexes could not be read; installing from the rest" >&2
    fi
    if ! sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
        --no-install-recommends "${missing[@]}" >/dev/null; then
        # One at a time, to name the ones that cannot be had.
        failed=()
        for package in "${missing[@]}"; do
            sudo_if_needed env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
                --no-install-recommends "$package" >/dev/null 2>&1 || failed+=("$package")
        done
        if [ ${#failed[@]} -gt 0 ]; then
            echo "install-deps: could not install: ${failed[*]}" >&2
            exit 1
        fi
    fi
fi

# Wine takes its ANSI code page (932) from this locale; without it Japanese text is garbled.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    echo "install-deps: generating the ja_JP.UTF-8 locale"
    sudo_if_needed sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
        echo 'ja_JP.UTF-8 UTF-8' | sudo_if_needed tee -a /etc/locale.gen >/dev/null
    sudo_if_needed locale-gen >/dev/null
fi

# Every command the scripts call, with the package that brings it: a package that installed
# without the command (or a list that lacks one) stops here, by name, instead of as "command not
# found" deep inside a test run.
commands=(cmake:cmake ctest:cmake ninja:ninja-build g++:g++ clang-format:clang-format
          clang:clang clang++:clang
          i686-w64-mingw32-g++:g++-mingw-w64-i686-posix i686-w64-mingw32-gcc:gcc-mingw-w64-i686-posix
          i686-w64-mingw32-windres:binutils-mingw-w64-i686
          i686-w64-mingw32-objdump:binutils-mingw-w64-i686
          wine:wine wineboot:wine winepath:wine wineserver:wine wixl:wixl msiinfo:msitools
          msibuild:msitools Xvfb:xvfb xauth:xauth convert:imagemagick iconv:libc-bin
          md5sum:coreutils timeout:coreutils jq:jq osslsigncode:osslsigncode openssl:openssl)
absent=()
for entry in "${commands[@]}"; do
    command -v "${entry%%:*}" >/dev/null 2>&1 || absent+=("${entry%%:*} (package ${entry#*:})")
done
# 32-bit programs need Wine's i386 loader, which only wine32:i386 brings.
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" ||
    absent+=("32-bit Wine (package wine32:i386)")
if [ ${#absent[@]} -gt 0 ]; then
    printf 'install-deps: missing after installing: %s\n' "${absent[@]}" >&2
    exit 1
fi
