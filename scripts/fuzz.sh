#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang's libFuzzer, AddressSanitizer and UBSan into
# build-fuzz/ and runs each for a fixed time, two at a time, from its seed corpus in
# fuzz/corpus/<target>/. Any finding fails the run; the input that caused it is kept in
# build-fuzz/findings/ and what the fuzzer found new in build-fuzz/corpus/.
#   scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
targets=(plugin_record user_reg wildcard number)
scripts/setup.sh clang libclang-rt-14-dev
flags="-fsanitize=address,undefined,fuzzer-no-link -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZEB_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
cmake --build build-fuzz --target "${targets[@]/#/fuzz_}"

mkdir -p build-fuzz/findings
fuzz() {
    local target=$1
    mkdir -p "build-fuzz/corpus/$target"
    # The first folder receives new inputs; the seeds in the repository stay as they are.
    "build-fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="build-fuzz/findings/$target-" \
        "build-fuzz/corpus/$target" "fuzz/corpus/$target" >"build-fuzz/$target.log" 2>&1
}
failed=()
for ((i = 0; i < ${#targets[@]}; i += 2)); do
    pids=()
    for target in "${targets[@]:i:2}"; do
        fuzz "$target" &
        pids+=("$!:$target")
    done
    for entry in "${pids[@]}"; do
        target=${entry#*:}
        if wait "${entry%%:*}"; then
            echo "fuzz_$target: $(grep -E '^#[0-9]+' "build-fuzz/$target.log" | tail -n 1)"
        else
            failed+=("$target")
            echo "fuzz_$target: FINDING" >&2
            tail -n 40 "build-fuzz/$target.log" >&2
        fi
    done
done
[ ${#failed[@]} -eq 0 ] || { echo "findings in: ${failed[*]}" >&2; exit 1; }
