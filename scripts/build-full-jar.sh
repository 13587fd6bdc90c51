#!/usr/bin/env bash
# Builds the jar for every platform: the Linux library (build/), the 64-bit
# and the 32-bit Windows DLLs (build-win/, build-win32/, with mingw-w64), the
# driver's classes and its service registration, into
# build/jovjdbcodbc-<version>.jar. Installs what is missing (as root).
#
# Environment: JOV_BUILD_DIR (default <repo>/build), JOV_WIN_BUILD_DIR
# (<repo>/build-win), JOV_WIN32_BUILD_DIR (<repo>/build-win32).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build}
win64=${JOV_WIN_BUILD_DIR:-$root/build-win}
win32=${JOV_WIN32_BUILD_DIR:-$root/build-win32}

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/install-deps.sh" --cross
JOV_BUILD_DIR=$build bash "$root/scripts/build.sh"
for pair in "x86_64:$win64" "i686:$win32"; do
    cmake --no-warn-unused-cli -S "$root" -B "${pair#*:}" \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-${pair%%:*}.cmake" -DCMAKE_BUILD_TYPE=Release \
        >/dev/null
    cmake --build "${pair#*:}" --target JovJdbcOdbc -j2
done
JOV_BUILD_DIR=$build JOV_JAR="$build/jovjdbcodbc-$(bash "$root/scripts/version.sh").jar" \
    JOV_JAR_LIBRARIES="linux-x86_64=$build/libJovJdbcOdbc.so windows-x86_64=$win64/JovJdbcOdbc.dll windows-x86=$win32/JovJdbcOdbc.dll" \
    bash "$root/scripts/build-jar.sh"
