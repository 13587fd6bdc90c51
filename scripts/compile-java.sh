#!/usr/bin/env bash
# Compiles the Java sources (the class of natives, the tools, the JDBC driver
# and the JUnit tests) into $JOV_BUILD_DIR/java-classes, with the driver's
# service registration beside them so that DriverManager finds it there.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build}
junit=/usr/share/java/junit-platform-console-standalone.jar
classes=$build/java-classes

rm -rf "$classes"
mkdir -p "$classes"
mapfile -t sources < <(find "$root/java" "$root/tests/java" -name '*.java' | sort)
javac -encoding UTF-8 -Xlint:all -Werror -d "$classes" -cp "$junit" "${sources[@]}"
cp -R "$root/java/META-INF" "$classes/"
