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
# Environment: JOV_BUILD_DIR (default <repo>/build), the variables of
# odbc-env.sh, JOV_IT_DATA_SOURCES (comma-separated, default all).
# The console output is also kept in $JOV_BUILD_DIR/junit-console.txt.
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

status=0
java -Djov.jdbc.odbc.library="$library" \
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
    --reports-dir "$build/junit-reports" \
    --fail-if-no-tests 2>&1 | tee "$build/junit-console.txt" || status=$?
exit "$status"
