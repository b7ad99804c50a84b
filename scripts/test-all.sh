#!/usr/bin/env bash
# Every test of the launcher: formatting, the host tests against the simulated machine (also
# under AddressSanitizer and UndefinedBehaviorSanitizer), a few seconds of each fuzz target from
# its seeds, the Windows cross-build with warnings as errors, release signing of what it built,
# and the real Setup.exe under Wine.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/install-deps.sh"
cd "$root"

echo "== Formatting"
git ls-files -- '*.cpp' '*.h' | xargs clang-format --dry-run --Werror

for preset in host host-sanitize; do
    echo "== Build and test: $preset"
    cmake --preset "$preset" -DSETUP_WARNINGS_AS_ERRORS=ON >/dev/null
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
echo "== Conformance checks against the simulated machine"
build/host/conformance/conformance_tests --gtest_brief=1 | tail -n 1

echo "== Fuzz targets, a few seconds each from their seeds"
bash scripts/fuzz.sh --fresh 3

echo "== Build: windows"
cmake --preset windows -DSETUP_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build --preset windows

echo "== Release signing: the build's programs and a package, with a throw-away publisher"
bash e2e/signing/sign_tests.sh build/windows

echo "== Under Wine"
# Setup.exe is a 32-bit program, and so is the Wine loader that runs it. Some virtual machines'
# kernels cannot start a 32-bit program at all: the loader fails with "Exec format error" before
# Wine is reached. Only then is the suite left out, and loudly; a Wine that is missing or broken
# in any other way fails the run below as it should.
loader_error=$(bash -c '/usr/lib/wine/wine --version' 2>&1 >/dev/null) || true
if grep -q "Exec format error" <<<"$loader_error"; then
    echo "wine: NOT RUN: this machine's kernel cannot start 32-bit programs ($loader_error)."
    echo "wine: the end-to-end tests of the real Setup.exe need a machine that can."
else
    bash e2e/wine/wine_tests.sh build/windows
fi
