#!/usr/bin/env bash
# Builds the driver's jar: the JDBC driver (jov.jdbc.odbc.driver) and the
# classes of the natives (jov.jdbc.odbc), without the query tool and the
# tests, compiled for Java 8 (javac-java8.sh), with the driver's service
# registration, a manifest naming the module, the version and the Java
# versions it runs on, and the native libraries it is given, each at
# jov/jdbc/odbc/native/<platform>/<file> with its SHA-256 in the index
# jov/jdbc/odbc/native/libraries.properties (the loader checks each copy it
# extracts against it).
#
# Environment: JOV_BUILD_DIR (default <repo>/build); JOV_JAR, the jar to
# write (default $JOV_BUILD_DIR/jovjdbcodbc.jar); JOV_JAR_LIBRARIES, the
# libraries as space-separated platform=file pairs (default
# linux-x86_64=$JOV_BUILD_DIR/libJovJdbcOdbc.so). Platforms: linux-x86_64,
# windows-x86_64, windows-x86.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${JOV_BUILD_DIR:-$root/build}
classes=$build/jar-classes
jar=${JOV_JAR:-$build/jovjdbcodbc.jar}
libraries=${JOV_JAR_LIBRARIES:-linux-x86_64=$build/libJovJdbcOdbc.so}

version=$(bash "$root/scripts/version.sh")
# From the class files' Java 8 to the newest JVM the suite runs on
# (run-java-tests.sh); README.md says the same.
java_versions=8-25
# shellcheck source=javac-java8.sh
. "$root/scripts/javac-java8.sh"

rm -rf "$classes"
mkdir -p "$classes"
mapfile -t sources < <(find "$root/java/jov/jdbc/odbc" -maxdepth 1 -name '*.java'; \
    find "$root/java/jov/jdbc/odbc/driver" -name '*.java')
javac "${JAVAC_JAVA8[@]}" -d "$classes" "${sources[@]}"
cp -R "$root/java/META-INF" "$classes/"

native=$classes/jov/jdbc/odbc/native
mkdir -p "$native"
index=$native/libraries.properties
echo "version=$version" >"$index"
for pair in $libraries; do
    platform=${pair%%=*}
    file=${pair#*=}
    case $platform in
        linux-x86_64) name=libJovJdbcOdbc.so ;;
        windows-x86_64 | windows-x86) name=JovJdbcOdbc.dll ;;
        *) echo "build-jar.sh: unknown platform $platform" >&2; exit 1 ;;
    esac
    [[ -f $file ]] || { echo "build-jar.sh: $file not built" >&2; exit 1; }
    mkdir -p "$native/$platform"
    cp "$file" "$native/$platform/$name"
    echo "$platform=$(sha256sum "$file" | cut -d' ' -f1)" >>"$index"
done

manifest=$build/jar-manifest.txt
cat >"$manifest" <<MF
Automatic-Module-Name: jov.jdbc.odbc
Implementation-Title: JovJdbcOdbc JDBC driver
Implementation-Version: $version
Jov-Java-Versions: $java_versions
MF
mkdir -p "$(dirname "$jar")"
rm -f "$jar"
jar --create --file "$jar" --manifest "$manifest" -C "$classes" .
echo "built $jar (version $version; libraries: $(sed -n 's/=.*//p' "$index" | grep -v '^version$' | paste -sd' '))"
