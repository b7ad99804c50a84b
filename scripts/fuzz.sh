#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, ASan/UBSan) and runs each one from its
# seeds in fuzz/corpus/<name>/ for SECONDS (default 3). Inputs libFuzzer finds go to
# build/fuzz/corpus/<name>/ and are fuzzed on from there next time (--fresh starts from the seeds
# alone, as CI does), so the checked-in seeds never change; a crash, a sanitizer report or a
# broken check leaves its input in build/fuzz/artifacts/ and fails the run.
#   bash scripts/fuzz.sh [--fresh] [SECONDS] [NAME...]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
fresh=false
if [ "${1:-}" = --fresh ]; then
    fresh=true
    shift
fi
seconds=${1:-3}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(command_line install_dat edition_patch_list msi_version pack_guid mbstring move_journal
        launch)
fi

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p build/fuzz/artifacts
for name in "${targets[@]}"; do
    if $fresh; then
        rm -rf "build/fuzz/corpus/$name"
    fi
    mkdir -p "build/fuzz/corpus/$name"
    log="build/fuzz/$name.log"
    if ! "build/fuzz/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 \
            -artifact_prefix="build/fuzz/artifacts/$name-" -print_final_stats=1 \
            "build/fuzz/corpus/$name" "fuzz/corpus/$name" >"$log" 2>&1; then
        tail -n 60 "$log"
        echo "fuzz: $name failed; the input is in build/fuzz/artifacts/, the whole output in $log"
        exit 1
    fi
    echo "fuzz: $name: $(grep -m1 '^stat::number_of_executed_units' "$log" | awk '{print $2}')" \
        "runs in ${seconds}s, $(ls "build/fuzz/corpus/$name" | wc -l) new inputs kept"
done
