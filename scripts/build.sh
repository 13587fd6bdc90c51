#!/usr/bin/env bash
# Builds the native library, its unit tests and the JDBC driver's jar
# (build/jovjdbcodbc.jar, carrying the Linux library) with CMake into build/,
# and compiles the Java sources into build/java-classes.
#
# Environment: JOV_BUILD_DIR (default <repo>/build), JOV_BUILD_TYPE (Release).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build}

# CMake finds the JDK through JAVA_HOME or /usr/lib/jvm/default-java.
if [[ -z ${JAVA_HOME:-} && ! -d /usr/lib/jvm/default-java ]]; then
    JAVA_HOME=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
    export JAVA_HOME
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE="${JOV_BUILD_TYPE:-Release}" >/dev/null
cmake --build "$build" -j2
JOV_BUILD_DIR=$build bash "$root/scripts/compile-java.sh"
echo "built $build/libJovJdbcOdbc.so, $build/java-classes and $build/jovjdbcodbc.jar"
