#!/usr/bin/env bash
# Builds a second native library linked against the iODBC driver manager
# (libiodbc2, what macOS uses) instead of unixODBC, from the same sources,
# into build-iodbc/: the library only (CMakeLists.txt says why with
# unixODBC's headers, and why without the unit tests).
#
# Environment: JOV_IODBC_BUILD_DIR (default <repo>/build-iodbc), JOV_BUILD_TYPE (Release).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_IODBC_BUILD_DIR:-$root/build-iodbc}

if [[ -z ${JAVA_HOME:-} && ! -d /usr/lib/jvm/default-java ]]; then
    JAVA_HOME=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
    export JAVA_HOME
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${JOV_BUILD_TYPE:-Release}" -DJOV_ODBC_MANAGER=iodbc >/dev/null
cmake --build "$build" -j2 --target JovJdbcOdbc
echo "built $build/libJovJdbcOdbc.so (iODBC)"
