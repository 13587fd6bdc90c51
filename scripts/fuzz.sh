#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz) with clang++ into build-fuzz/ and
# runs each for a bounded time. Usage: scripts/fuzz.sh [seconds-per-target]
# (default 20). A long run: bash scripts/fuzz.sh 600
#
# Each target starts from its seed corpus in tests/fuzz/corpus/<target>/ (read
# only); the inputs it finds go to build-fuzz/corpus/<target>/ and are reused by
# the next run. A failing input is written to build-fuzz/artifacts/ and the
# script stops with a non-zero status. Environment: JOV_FUZZ_BUILD_DIR;
# JOV_FUZZ_SEED fixes libFuzzer's random seed (CI uses 1 so that a run repeats
# the same mutations, as far as the time allows).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-20}
targets=(fuzz_datetime fuzz_strip_blanks fuzz_codepage fuzz_column_lookup fuzz_render fuzz_fetch)

if [[ -z ${JAVA_HOME:-} && ! -d /usr/lib/jvm/default-java ]]; then
    JAVA_HOME=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
    export JAVA_HOME
fi

cmake -S "$root" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DJOV_BUILD_FUZZ=ON \
    -DJOV_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target fuzz_targets -j2 >/dev/null

mkdir -p "$build/artifacts"
for target in "${targets[@]}"; do
    mkdir -p "$build/corpus/$target"
    log="$build/$target.log"
    if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -seed="${JOV_FUZZ_SEED:-0}" \
        -artifact_prefix="$build/artifacts/$target-" \
        "$build/corpus/$target" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1; then
        tail -n 40 "$log"
        echo "fuzz.sh: $target FAILED (log: $log)"
        exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz.sh: $target ok, $runs runs in ${seconds}s"
done
echo "fuzz.sh: all targets ok"
