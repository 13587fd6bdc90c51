#!/usr/bin/env bash
# Opens sqlline (Debian package sqlline), a ready-made SQL shell for any JDBC
# driver, on a data source of the project-local unixODBC configuration through
# this project's JDBC driver: nothing on the class path but the driver's jar
# and sqlline. Builds nothing: run scripts/build.sh (or run-main.sh) first.
#
#   sql-shell.sh [-d DATA_SOURCE] [-u USER] [-p PASSWORD] [SQLLINE_OPTION...]
#
# The data source defaults to JovSample, opened with charset=Windows-31J since
# the query tool fills it through the natives. Other arguments go to sqlline, e.g.
# --outputFormat=csv. SQL ends with
# ";"; sqlline's own commands start with "!" (!tables, !columns TABLE, !help,
# !quit). Statements come from the terminal, with line editing and history, or
# from standard input. Text is read and shown as UTF-8.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=odbc-env.sh
. "$root/scripts/odbc-env.sh"
library=$JOV_BUILD_DIR/libJovJdbcOdbc.so
jar=$JOV_BUILD_DIR/jovjdbcodbc.jar
if [[ ! -f $library || ! -f $jar ]]; then
    echo "sql-shell.sh: build first (bash scripts/build.sh)" >&2
    exit 2
fi

data_source=JovSample user="" password="" sqlline_options=()
while [[ $# -gt 0 ]]; do
    case $1 in
        -d) data_source=${2:?-d needs a data source}; shift 2 ;;
        -u) user=${2?-u needs a user}; shift 2 ;;
        -p) password=${2?-p needs a password}; shift 2 ;;
        *) sqlline_options+=("$1"); shift ;;
    esac
done

url="jdbc:jov:odbc:$data_source"
if [[ $data_source == JovSample ]]; then
    # The query tool fills the sample on first use; the shell may come first.
    bash "$root/scripts/query.sh" "SELECT 1" >/dev/null
    # It writes through the natives, so the file holds Windows-31J text.
    url="$url;charset=Windows-31J"
fi

sqlline=(java -Dfile.encoding=UTF-8 -Djov.jdbc.odbc.library="$library"
    -cp "$jar:/usr/share/java/sqlline.jar:/usr/share/java/jline.jar")
connect=(-d jov.jdbc.odbc.driver.JovDriver -u "$url" -n "$user" -p "$password")
if [[ -t 0 ]]; then
    exec "${sqlline[@]}" sqlline.SqlLine "${sqlline_options[@]}" "${connect[@]}"
fi
# Without a terminal, jline 1 must not try to set one up, and would read the
# input byte by byte as characters; sqlline's !run reads a file in the JVM's
# encoding instead. !quit ends it, where sqlline (1.0.2) would otherwise
# prompt forever at the end of its input.
script=$(mktemp)
trap 'rm -f "$script"' EXIT
cat >"$script"
printf '!run %s\n!quit\n' "$script" | "${sqlline[@]}" -Djline.terminal=jline.UnsupportedTerminal \
    sqlline.SqlLine "${sqlline_options[@]}" "${connect[@]}"
