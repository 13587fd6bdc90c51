#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demonstration program: it
# opens the bundled SQLite data source (JovSqlite) through the native
# library and prints its identifier, name and auto-commit state.
# Arguments, if any, replace the data source: DATA_SOURCE [USER [PASSWORD]].
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
bash scripts/build.sh >/dev/null
# shellcheck source=odbc-env.sh
. scripts/odbc-env.sh
exec java -Djov.jdbc.odbc.library="$JOV_BUILD_DIR/libJovJdbcOdbc.so" \
    -cp "$JOV_BUILD_DIR/java-classes" jov.jdbc.odbc.tool.Demo "$@"
