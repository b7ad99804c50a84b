# Shared by the Wine test scripts: a throw-away 32-bit-capable Wine prefix with code page 932,
# every wine call under a time limit, and pass/fail counting.
# shellcheck shell=bash

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8

WINE_TIMEOUT=${WINE_TIMEOUT:-60}
passed=0
failed=0

# Creates a fresh prefix in $1 and waits until Wine has finished setting it up.
wine_prefix_create() {
    export WINEPREFIX=$1
    rm -rf "$WINEPREFIX"
    timeout 180 wineboot --init >/dev/null 2>&1 || { echo "wineboot failed" >&2; return 1; }
    timeout 120 wineserver --wait
}

# Runs a Windows program in the prefix; its exit code is the call's.
wine_run() {
    timeout "$WINE_TIMEOUT" wine "$@"
}

# The Unix path of a Windows environment variable's folder in the prefix (e.g. TEMP).
wine_folder_of() {
    local windows
    windows=$(timeout "$WINE_TIMEOUT" wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')
    timeout "$WINE_TIMEOUT" winepath -u "$windows" 2>/dev/null
}

wine_prefix_remove() {
    timeout 60 wineserver --kill 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}

pass() {
    passed=$((passed + 1))
    echo "  ok    $1"
}

fail() {
    failed=$((failed + 1))
    echo "  FAIL  $1"
    if [ $# -gt 1 ]; then
        printf '%s\n' "$2" | sed 's/^/        /'
    fi
}

# check NAME COMMAND...: passes when the command succeeds.
check() {
    local name=$1
    shift
    if "$@"; then pass "$name"; else fail "$name"; fi
}

# check_equal NAME EXPECTED ACTUAL
check_equal() {
    if [ "$2" == "$3" ]; then
        pass "$1"
    else
        fail "$1" "$(diff <(printf '%s\n' "$2") <(printf '%s\n' "$3") | head -n 20)"
    fi
}

# The closing line the CI reads.
summary() {
    echo "$1: $passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}
