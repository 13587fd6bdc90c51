#!/usr/bin/env bash
# Runs the JUnit integration tests in a real JVM that loads the built
# libJovJdbcOdbc.so, against every data source of the rig (JovSqlite, JovPg,
# JovMaria),
# the query tool's tests (jov.jdbc.odbc.tool, no database), the JDBC
# driver's own (jov.jdbc.odbc.driver, no database), and the real JDBC clients
# of java-test-libs.sh driving the driver (jov.jdbc.odbc.clients; one of them
# restarts the PostgreSQL cluster through pg-cluster.sh).
# Compiles the Java sources and builds the driver's jar first. Starts the
# PostgreSQL cluster and the MariaDB server, each when its data source is
# selected and it is not running, and then stops it again on the way out.
#
# The suite runs twice: on the JVM of `java` (Debian's JDK 17), then on the
# newest other JDK under /usr/lib/jvm (found by the JAVA_VERSION of its
# release file), so that the driver, compiled for Java 8, is tried on the
# oldest and the newest JVM at hand. Without another JDK it runs once and
# says so; that alone never fails the run.
#
# Environment: JOV_BUILD_DIR (default <repo>/build), the variables of
# odbc-env.sh, JOV_IT_DATA_SOURCES (comma-separated, default all).
# The console output is also kept in $JOV_BUILD_DIR/junit-console.txt, and
# that of the second JVM in junit-console-java<N>.txt.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=odbc-env.sh
. "$root/scripts/odbc-env.sh"
build=$JOV_BUILD_DIR
library=$build/libJovJdbcOdbc.so
[[ -f $library ]] || { echo "$library not built" >&2; exit 1; }

bash "$root/scripts/compile-java.sh"
bash "$root/scripts/build-jar.sh"
# shellcheck source=java-test-libs.sh
. "$root/scripts/java-test-libs.sh"

started_pg=0
started_maria=0
stop_own_servers() {
    local status=0
    if [[ $started_pg -eq 1 ]]; then
        bash "$root/scripts/pg-cluster.sh" stop "$JOV_PG_DIR" || status=1
    fi
    if [[ $started_maria -eq 1 ]]; then
        bash "$root/scripts/maria-server.sh" stop "$JOV_MARIA_DIR" || status=1
    fi
    return "$status"
}
trap stop_own_servers EXIT
selected=${JOV_IT_DATA_SOURCES:-JovPg,JovMaria}
if [[ $selected == *JovPg* ]] && ! bash "$root/scripts/pg-cluster.sh" status "$JOV_PG_DIR"; then
    started_pg=1
    bash "$root/scripts/pg-cluster.sh" start "$JOV_PG_DIR"
fi
if [[ $selected == *JovMaria* ]] && ! bash "$root/scripts/maria-server.sh" status "$JOV_MARIA_DIR"; then
    started_maria=1
    bash "$root/scripts/maria-server.sh" start "$JOV_MARIA_DIR"
fi

# The feature version of the JDK in a folder ("1.8.0_402" is 8), from its release file.
java_feature() {
    local version
    version=$(sed -n 's/^JAVA_VERSION="\(.*\)"$/\1/p' "$1/release" 2>/dev/null)
    version=${version#1.}
    printf %s "${version%%[!0-9]*}"
}

# The JDK folder of the newest feature version other than the one given, or nothing.
newest_other_jdk() {
    local release home feature best="" best_feature=0
    for release in /usr/lib/jvm/*/release; do
        home=$(readlink -f "$(dirname "$release")")
        feature=$(java_feature "$home")
        if [[ -x $home/bin/java && -n $feature && $feature != "$1" && $feature -gt $best_feature ]]; then
            best=$home
            best_feature=$feature
        fi
    done
    printf %s "$best"
}

# Runs the suite on one JVM: its java, the console file, the reports folder.
# Native access enabled, as README.md tells users of Java 24 and later to.
run_suite() {
    "$1" --enable-native-access=ALL-UNNAMED -Djov.jdbc.odbc.library="$library" \
        -Djov.it.dataSources="${JOV_IT_DATA_SOURCES:-}" \
        -Djov.it.pgCluster="$root/scripts/pg-cluster.sh" \
        -jar /usr/share/java/junit-platform-console-standalone.jar \
        --disable-banner --details=tree --disable-ansi-colors \
        --class-path "$build/java-classes:$JOV_TEST_CLASSPATH" \
        --select-package jov.jdbc.odbc.it \
        --select-class jov.jdbc.odbc.NativePlatformTest \
        --select-class jov.jdbc.odbc.JarLibraryTest \
        --select-package jov.jdbc.odbc.tool \
        --select-package jov.jdbc.odbc.driver \
        --select-package jov.jdbc.odbc.clients \
        --reports-dir "$3" \
        --fail-if-no-tests 2>&1 | tee "$2"
}

java_home=$(dirname "$(dirname "$(readlink -f "$(command -v java)")")")
feature=$(java_feature "$java_home")
other=$(newest_other_jdk "$feature")
results=()
status=0
rm -f "$build"/junit-console-java*.txt
run_suite java "$build/junit-console.txt" "$build/junit-reports" || status=$?
results+=("Java $feature: $([[ $status -eq 0 ]] && echo passed || echo FAILED)")
if [[ -n $other ]]; then
    other_feature=$(java_feature "$other")
    other_status=0
    run_suite "$other/bin/java" "$build/junit-console-java$other_feature.txt" \
        "$build/junit-reports-java$other_feature" || other_status=$?
    results+=("Java $other_feature ($other): $([[ $other_status -eq 0 ]] && echo passed || echo FAILED)")
    [[ $other_status -eq 0 ]] || status=$other_status
else
    results+=("no JDK other than Java $feature under /usr/lib/jvm: the suite ran on Java $feature alone")
fi
printf 'run-java-tests.sh: %s\n' "${results[@]}"
exit "$status"
