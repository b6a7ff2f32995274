#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (AddressSanitizer and UndefinedBehaviorSanitizer,
# any finding fatal) in build-fuzz/ and runs each for SECONDS (default 60), one after the other,
# starting from its committed seed corpus. Any finding (crash, sanitizer report, leak, time-out,
# memory limit) fails the script. The corpus grown during the run and the artifacts of a finding
# stay outside the tree, in $CLIMATE_FUZZ_OUT (default /tmp/climate-fuzz). Prints every target's
# runs per second.
set -euo pipefail
seconds=${1:-60}
cd "$(dirname "$0")/.."
root=$PWD
out=${CLIMATE_FUZZ_OUT:-/tmp/climate-fuzz}

scripts/deps.sh clang-14 libclang-rt-14-dev llvm-14
source scripts/ccache-launcher.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCLIMATE_FUZZ=ON -DCLIMATE_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz --target fuzz_targets --parallel "$(nproc)"

export ASAN_SYMBOLIZER_PATH=/usr/bin/llvm-symbolizer-14
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
# Long texts make big workbooks, and a saved parameter file is about 12 KiB; the other targets
# take short inputs.
declare -A max_len=([workbook_fuzz]=65536 [test_log_reader_fuzz]=65536 [parameter_file_fuzz]=16384)

failed=()
summary=()
for seeds in fuzz/corpus/*/; do
    target=$(basename "$seeds")
    binary=build-fuzz/bin/$target
    [ -x "$binary" ] || { echo "no fuzz target $target"; failed+=("$target"); continue; }
    work=$out/$target
    mkdir -p "$work/corpus" "$work/artifacts"
    log=$work/log.txt
    echo "== $target: ${seconds}s"
    status=0
    "$binary" "$work/corpus" "$seeds" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
        -max_len="${max_len[$target]:-4096}" -artifact_prefix="$work/artifacts/" \
        -print_final_stats=1 >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    summary+=("$(printf '%-22s %10s runs %8s runs/s' "$target" "${runs:-?}" "${rate:-?}")")
    if ((status != 0)); then
        echo "FINDING in $target (status $status); artifacts in $work/artifacts, log $log:"
        grep -E -A40 'ERROR: |runtime error|deadly signal|SUMMARY' "$log" | head -80 || tail -40 "$log"
        failed+=("$target")
    fi
done

printf '%s\n' "${summary[@]}"
if ((${#failed[@]})); then
    echo "fuzz: findings in ${failed[*]}"
    exit 1
fi
echo "fuzz: no findings"
