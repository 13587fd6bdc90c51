# shellcheck shell=bash
# Sourced (". scripts/odbc-env.sh"): writes a project-local unixODBC
# configuration and points the driver manager at it. The library itself reads
# no configuration; only the driver manager does.
#
# Data sources:
#   JovSqlite  SQLite 3 file $JOV_ODBC_DIR/jov.sqlite (no user or password)
#   JovSample  SQLite 3 file $JOV_ODBC_DIR/sample.sqlite, the query tool's
#              sample data, which the tool fills on first use
#   JovPg      psqlODBC (ANSI) to the throwaway cluster of scripts/pg-cluster.sh,
#              over the unix socket in $JOV_PG_DIR; the session's client
#              encoding is SJIS, so text crosses as Windows-31J bytes
#   JovMaria   MariaDB Connector/ODBC to the throwaway server of
#              scripts/maria-server.sh, over the unix socket in $JOV_MARIA_DIR;
#              the session's character set is cp932 (the driver's CHARSET)
#   JovSqliteShell  SQLite 3 file $JOV_ODBC_DIR/shell.sqlite, which the JDBC
#              driver's tests write with the sqlite3 shell and read back
#   JovMariaNoCharset  as JovMaria with no Charset: the session takes the
#              server's utf8mb4
#   JovMariaLatin1  as JovMaria with Charset latin1, and a session that
#              starts with NO_BACKSLASH_ESCAPES (InitStmt)
#   JovPgLatin1  as JovPg with client encoding LATIN1 and
#              standard_conforming_strings off
#   The last three serve the JDBC driver's injection tests: sessions in which
#   text spliced into SQL would not read as it was written.
#
# Variables (defaults in brackets), all exported:
#   JOV_BUILD_DIR    [<repo>/build]
#   JOV_ODBC_DIR     [$JOV_BUILD_DIR/odbc]  odbcinst.ini, odbc.ini, the SQLite files
#   JOV_PG_DIR       [${TMPDIR:-/tmp}/jovpg-<uid>-<checksum of the checkout's
#                    path>]  cluster and socket, one per checkout so that
#                    checkouts test side by side; kept short because a socket
#                    path is limited to 107 bytes
#   JOV_PG_PORT      [54329]
#   JOV_PG_DATABASE  [jovtest]   JOV_PG_USER [jov]   JOV_PG_PASSWORD [jovpass]
#   JOV_MARIA_DIR    [${TMPDIR:-/tmp}/jovmaria-<uid>-<the same checksum>]
#                    the MariaDB server's data and socket, short for the same
#                    reason
#   JOV_MARIA_DATABASE [jovtest] JOV_MARIA_USER [jov] JOV_MARIA_PASSWORD [jovpass]
#   ODBCSYSINI=$JOV_ODBC_DIR  ODBCINI=$JOV_ODBC_DIR/odbc.ini

_jov_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export JOV_BUILD_DIR=${JOV_BUILD_DIR:-$_jov_root/build}
export JOV_ODBC_DIR=${JOV_ODBC_DIR:-$JOV_BUILD_DIR/odbc}
_jov_sum=$(printf %s "$_jov_root" | cksum | cut -d' ' -f1)
export JOV_PG_DIR=${JOV_PG_DIR:-${TMPDIR:-/tmp}/jovpg-$(id -u)-$_jov_sum}
export JOV_PG_PORT=${JOV_PG_PORT:-54329}
export JOV_PG_DATABASE=${JOV_PG_DATABASE:-jovtest}
export JOV_PG_USER=${JOV_PG_USER:-jov}
export JOV_PG_PASSWORD=${JOV_PG_PASSWORD:-jovpass}
export JOV_MARIA_DIR=${JOV_MARIA_DIR:-${TMPDIR:-/tmp}/jovmaria-$(id -u)-$_jov_sum}
export JOV_MARIA_DATABASE=${JOV_MARIA_DATABASE:-jovtest}
export JOV_MARIA_USER=${JOV_MARIA_USER:-jov}
export JOV_MARIA_PASSWORD=${JOV_MARIA_PASSWORD:-jovpass}
unset _jov_root _jov_sum

_jov_odbc_drivers=/usr/lib/x86_64-linux-gnu/odbc
mkdir -p "$JOV_ODBC_DIR"

# $LIB is the dynamic loader's own: it names lib/x86_64-linux-gnu in a 64-bit
# process and lib/i386-linux-gnu in a 32-bit one, so 32-bit Wine's odbc32
# (scripts/test-windows.sh) reaches the i386 SQLite driver through the same
# line.
cat >"$JOV_ODBC_DIR/odbcinst.ini" <<INI
[JovSQLite3]
Description = SQLite 3 ODBC driver
Driver      = /usr/\$LIB/odbc/libsqlite3odbc.so
UsageCount  = 1

[JovPsqlAnsi]
Description = PostgreSQL ODBC driver (ANSI)
Driver      = $_jov_odbc_drivers/psqlodbca.so
UsageCount  = 1

[JovMariaDB]
Description = MariaDB Connector/ODBC
Driver      = $_jov_odbc_drivers/libmaodbc.so
UsageCount  = 1
INI

cat >"$JOV_ODBC_DIR/odbc.ini" <<INI
[JovSqlite]
Description = SQLite file of the integration tests
Driver      = JovSQLite3
Database    = $JOV_ODBC_DIR/jov.sqlite
Timeout     = 10000

[JovSample]
Description = Sample data of the query tool, filled on first use
Driver      = JovSQLite3
Database    = $JOV_ODBC_DIR/sample.sqlite
Timeout     = 10000

[JovPg]
Description  = Throwaway PostgreSQL cluster of the integration tests
Driver       = JovPsqlAnsi
Servername   = $JOV_PG_DIR
Port         = $JOV_PG_PORT
Database     = $JOV_PG_DATABASE
Username     = $JOV_PG_USER
Password     = $JOV_PG_PASSWORD
ConnSettings = SET client_encoding TO 'SJIS'

[JovMaria]
Description  = Throwaway MariaDB server of the integration tests
Driver       = JovMariaDB
Socket       = $JOV_MARIA_DIR/mariadb.sock
Database     = $JOV_MARIA_DATABASE
User         = $JOV_MARIA_USER
Password     = $JOV_MARIA_PASSWORD
Charset      = cp932

[JovSqliteShell]
Description = SQLite file shared with the sqlite3 shell by the JDBC driver's tests
Driver      = JovSQLite3
Database    = $JOV_ODBC_DIR/shell.sqlite
Timeout     = 10000

[JovMariaNoCharset]
Description  = JovMaria's server, the session in the server's character set
Driver       = JovMariaDB
Socket       = $JOV_MARIA_DIR/mariadb.sock
Database     = $JOV_MARIA_DATABASE
User         = $JOV_MARIA_USER
Password     = $JOV_MARIA_PASSWORD

[JovMariaLatin1]
Description  = JovMaria's server, a latin1 session without backslash escapes
Driver       = JovMariaDB
Socket       = $JOV_MARIA_DIR/mariadb.sock
Database     = $JOV_MARIA_DATABASE
User         = $JOV_MARIA_USER
Password     = $JOV_MARIA_PASSWORD
Charset      = latin1
InitStmt     = SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')

[JovPgLatin1]
Description  = JovPg's cluster, a LATIN1 session with backslash escapes in literals
Driver       = JovPsqlAnsi
Servername   = $JOV_PG_DIR
Port         = $JOV_PG_PORT
Database     = $JOV_PG_DATABASE
Username     = $JOV_PG_USER
Password     = $JOV_PG_PASSWORD
ConnSettings = SET client_encoding TO 'LATIN1';SET standard_conforming_strings TO off
INI
unset _jov_odbc_drivers

export ODBCSYSINI=$JOV_ODBC_DIR
export ODBCINI=$JOV_ODBC_DIR/odbc.ini
