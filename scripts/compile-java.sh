#!/usr/bin/env bash
# Compiles the Java sources (the class of natives, the tools, the JDBC driver
# and the JUnit tests) into $JOV_BUILD_DIR/java-classes, with the driver's
# service registration beside them so that DriverManager finds it there.
# What java/ holds ships, so it compiles for Java 8 (javac-java8.sh); the
# tests compile for the release of the javac that runs, against those classes
# and the test-only libraries of java-test-libs.sh.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build}
# shellcheck source=java-test-libs.sh
. "$root/scripts/java-test-libs.sh"
classes=$build/java-classes

rm -rf "$classes"
mkdir -p "$classes"
# shellcheck source=javac-java8.sh
. "$root/scripts/javac-java8.sh"
mapfile -t shipped < <(find "$root/java" -name '*.java' | sort)
javac "${JAVAC_JAVA8[@]}" -d "$classes" "${shipped[@]}"
mapfile -t tests < <(find "$root/tests/java" -name '*.java' | sort)
javac -encoding UTF-8 -Xlint:all -Werror -d "$classes" -cp "$classes:$JOV_TEST_COMPILE_CLASSPATH" "${tests[@]}"
cp -R "$root/java/META-INF" "$classes/"
