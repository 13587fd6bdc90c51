#!/usr/bin/env bash
# The rig's fourth data source: the iODBC driver manager (what macOS uses)
# with the same ODBC drivers, through the library built against it
# (build-iodbc.sh), which no code of the driver knows from unixODBC. Runs
# the JUnit classes below in a JVM of their own that loads that library,
# the real clients (jov.jdbc.odbc.clients) connecting by ODBC connection
# string (Rig.url). iODBC reads the rig's own odbc.ini (ODBCINI) and
# odbcinst.ini (ODBCINSTINI, a file where unixODBC's ODBCSYSINI is a
# folder), so the drivers are the ones they name. Starts the PostgreSQL
# cluster and the MariaDB server when they are not running, and stops what
# it started.
#
# Environment: JOV_BUILD_DIR, the variables of odbc-env.sh, JOV_IODBC_BUILD_DIR
# (default <repo>/build-iodbc), JOV_IODBC_DATA_SOURCES (default all three).
# The console output is kept in $JOV_BUILD_DIR/junit-console-iodbc.txt.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=odbc-env.sh
. "$root/scripts/odbc-env.sh"
build=$JOV_BUILD_DIR
iodbc_build=${JOV_IODBC_BUILD_DIR:-$root/build-iodbc}
export ODBCINSTINI=$JOV_ODBC_DIR/odbcinst.ini

bash "$root/scripts/build-iodbc.sh"
[[ -d $build/java-classes ]] || bash "$root/scripts/compile-java.sh"
# shellcheck source=java-test-libs.sh
. "$root/scripts/java-test-libs.sh"

started=()
stop_own_servers() {
    local status=0 script
    for script in "${started[@]}"; do
        bash "$root/scripts/$script" stop "$([[ $script == pg-* ]] && echo "$JOV_PG_DIR" || echo "$JOV_MARIA_DIR")" ||
            status=1
    done
    return "$status"
}
trap stop_own_servers EXIT
if ! bash "$root/scripts/pg-cluster.sh" status "$JOV_PG_DIR"; then
    started+=(pg-cluster.sh)
    bash "$root/scripts/pg-cluster.sh" start "$JOV_PG_DIR"
fi
if ! bash "$root/scripts/maria-server.sh" status "$JOV_MARIA_DIR"; then
    started+=(maria-server.sh)
    bash "$root/scripts/maria-server.sh" start "$JOV_MARIA_DIR"
fi

java -Djov.jdbc.odbc.library="$iodbc_build/libJovJdbcOdbc.so" \
    -Djov.it.dataSources="${JOV_IODBC_DATA_SOURCES:-JovSqlite,JovPg}" \
    -Djov.it.connectionStrings=true \
    -Djov.it.iodbc=true \
    -Djov.it.pgCluster="$root/scripts/pg-cluster.sh" \
    -jar /usr/share/java/junit-platform-console-standalone.jar \
    --disable-banner --details=tree --disable-ansi-colors \
    --class-path "$build/java-classes:$JOV_TEST_CLASSPATH" \
    --select-package jov.jdbc.odbc.clients \
    --select-class jov.jdbc.odbc.it.JdbcConnectionTest \
    --select-class jov.jdbc.odbc.it.DatabaseMetaDataTest \
    --select-class jov.jdbc.odbc.it.JdbcResultSetTest \
    --select-class jov.jdbc.odbc.it.JdbcStatementTest \
    --select-class jov.jdbc.odbc.it.JdbcValuesTest \
    --reports-dir "$build/junit-reports-iodbc" \
    --fail-if-no-tests 2>&1 | tee "$build/junit-console-iodbc.txt"
