#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the C++ unit tests
# (fake ODBC) and the JUnit integration tests (real JVM, SQLite, a
# throwaway PostgreSQL cluster and a throwaway MariaDB server, then a chosen
# set again through the iODBC driver manager: scripts/test-iodbc.sh), all
# through CTest; then the Debian package (scripts/test-package.sh), the Windows DLLs
# of both widths under Wine (scripts/test-windows.sh), the unit tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/) and under
# ThreadSanitizer (build-tsan/), and each fuzz
# target for JOV_FUZZ_SECONDS (default 15) seconds. The cluster and the
# MariaDB server are stopped on every way out. Exits non-zero when anything fails; the last line says
# which way it went.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

finish() {
    local status=$?
    bash "$root/scripts/pg-cluster.sh" stop "$JOV_PG_DIR" 2>/dev/null || true
    bash "$root/scripts/maria-server.sh" stop "$JOV_MARIA_DIR" 2>/dev/null || true
    if [[ $status -eq 0 ]]; then
        echo "test.sh: ALL TESTS PASSED"
    else
        echo "test.sh: TESTS FAILED (exit status $status)"
    fi
    exit "$status"
}

# shellcheck source=odbc-env.sh
. scripts/odbc-env.sh
trap finish EXIT
bash scripts/install-deps.sh
bash scripts/build.sh
# Fresh SQLite files: the query tool fills its sample again on first use.
rm -f "$JOV_ODBC_DIR/jov.sqlite" "$JOV_ODBC_DIR/sample.sqlite"
bash scripts/pg-cluster.sh start "$JOV_PG_DIR"
bash scripts/maria-server.sh start "$JOV_MARIA_DIR"

status=0
ctest --test-dir "$JOV_BUILD_DIR" --output-on-failure || status=$?

# On success CTest keeps the output to itself: show the JUnit summary of each JVM.
if [[ $status -eq 0 ]]; then
    for console in "$JOV_BUILD_DIR"/junit-console*.txt; do
        if [[ -f $console ]]; then
            echo "${console##*/}:"
            sed -n '/^Test run finished/,$p' "$console"
        fi
    done
fi

# The Debian package: installed, connected through, removed.
bash scripts/test-package.sh || status=$?

# The Windows DLLs (64 and 32 bits): their exports, and the test program under Wine.
bash scripts/test-windows.sh || status=$?

# The unit tests with the sanitizers: any report fails the run.
asan_build="$root/build-asan"
cmake -S "$root" -B "$asan_build" -DJOV_SANITIZE=address -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >/dev/null
cmake --build "$asan_build" --target unit_tests -j2 >/dev/null
"$asan_build/tests/unit_tests" --gtest_brief=1 || status=$?

# The same suite under ThreadSanitizer, for the tests that run threads.
tsan_build="$root/build-tsan"
cmake -S "$root" -B "$tsan_build" -DJOV_SANITIZE=thread -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    >/dev/null
cmake --build "$tsan_build" --target unit_tests -j2 >/dev/null
"$tsan_build/tests/unit_tests" --gtest_brief=1 || status=$?

JOV_FUZZ_SEED=${JOV_FUZZ_SEED:-1} bash scripts/fuzz.sh "${JOV_FUZZ_SECONDS:-15}" || status=$?
exit "$status"
