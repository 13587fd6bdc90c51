#!/usr/bin/env bash
# Runs the query tool (jov.jdbc.odbc.tool.QueryTool) on the built library with
# the project-local unixODBC configuration of odbc-env.sh. Builds nothing:
# run scripts/build.sh (or run-main.sh) first. Arguments go to the tool;
# "--help" lists them.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=odbc-env.sh
. "$root/scripts/odbc-env.sh"
library=$JOV_BUILD_DIR/libJovJdbcOdbc.so
classes=$JOV_BUILD_DIR/java-classes
if [[ ! -f $library || ! -f $classes/jov/jdbc/odbc/tool/QueryTool.class ]]; then
    echo "query.sh: build first (bash scripts/build.sh)" >&2
    exit 2
fi
exec java -Djov.jdbc.odbc.library="$library" -cp "$classes" jov.jdbc.odbc.tool.QueryTool "$@"
