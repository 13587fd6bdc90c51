#!/usr/bin/env bash
# Builds $JOV_BUILD_DIR/jovjdbcodbc.jar: the JDBC driver (jov.jdbc.odbc.driver)
# and the classes of the natives (jov.jdbc.odbc), without the query tool and
# the tests, with the driver's service registration and a manifest naming the
# module and the version. The native library stays beside it: the driver
# loads it from the jov.jdbc.odbc.library property or java.library.path.
#
# Environment: JOV_BUILD_DIR (default <repo>/build).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build}
classes=$build/jar-classes
jar=$build/jovjdbcodbc.jar

version=$(sed -n 's/.*static final int MAJOR_VERSION = \([0-9]*\);.*/\1/p' \
    "$root/java/jov/jdbc/odbc/driver/DriverInfo.java").$(sed -n \
    's/.*static final int MINOR_VERSION = \([0-9]*\);.*/\1/p' \
    "$root/java/jov/jdbc/odbc/driver/DriverInfo.java")

rm -rf "$classes"
mkdir -p "$classes"
mapfile -t sources < <(find "$root/java/jov/jdbc/odbc" -maxdepth 1 -name '*.java'; \
    find "$root/java/jov/jdbc/odbc/driver" -name '*.java')
javac -encoding UTF-8 -Xlint:all -Werror --release 17 -d "$classes" "${sources[@]}"
cp -R "$root/java/META-INF" "$classes/"

manifest=$build/jar-manifest.txt
cat >"$manifest" <<MF
Automatic-Module-Name: jov.jdbc.odbc
Implementation-Title: JovJdbcOdbc JDBC driver
Implementation-Version: $version
MF
rm -f "$jar"
jar --create --file "$jar" --manifest "$manifest" -C "$classes" .
echo "built $jar (version $version)"
