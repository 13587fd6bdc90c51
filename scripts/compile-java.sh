#!/usr/bin/env bash
# Compiles the Java sources (the class of natives, the tools, the JDBC driver
# and the JUnit tests) into $JOV_BUILD_DIR/java-classes, with the driver's
# service registration beside them so that DriverManager finds it there. The
# tests compile against the test-only libraries of java-test-libs.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build}
# shellcheck source=java-test-libs.sh
. "$root/scripts/java-test-libs.sh"
classes=$build/java-classes

rm -rf "$classes"
mkdir -p "$classes"
mapfile -t sources < <(find "$root/java" "$root/tests/java" -name '*.java' | sort)
javac -encoding UTF-8 -Xlint:all -Werror -d "$classes" -cp "$JOV_TEST_COMPILE_CLASSPATH" "${sources[@]}"
cp -R "$root/java/META-INF" "$classes/"
