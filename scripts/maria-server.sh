#!/usr/bin/env bash
# Starts or stops a throwaway MariaDB server for the integration tests.
#
#   maria-server.sh start DIR   wipe DIR, mariadb-install-db into DIR/data,
#                               start the server on a unix socket in DIR (and
#                               no TCP unless JOV_MARIA_PORT is set), create
#                               the test database and user
#   maria-server.sh stop DIR    stop the server; DIR is kept
#   maria-server.sh status DIR  exit status 0 when the server in DIR is running
#
# Environment: JOV_MARIA_DATABASE (default jovtest), JOV_MARIA_USER (jov),
# JOV_MARIA_PASSWORD (jovpass), JOV_MARIA_PORT (a TCP port on 127.0.0.1 to
# listen on besides the socket, for clients without unix sockets; default
# none). The socket is DIR/mariadb.sock.
#
# The server reads no option file (--no-defaults), so the machine's own
# configuration and system service are left alone. It refuses to run as root
# unless told to; as root it runs as the user "mysql" (created by the Debian
# package), which is given DIR.
set -euo pipefail

usage() { echo "usage: $0 start|stop|status DIR" >&2; exit 2; }
[[ $# -eq 2 ]] || usage
action=$1
dir=$2
# An empty DIR would be the current folder, which "start" wipes.
[[ -n $dir ]] || usage
[[ $dir == /* ]] || dir="$PWD/$dir"

database=${JOV_MARIA_DATABASE:-jovtest}
user=${JOV_MARIA_USER:-jov}
password=${JOV_MARIA_PASSWORD:-jovpass}
socket=$dir/mariadb.sock
pidfile=$dir/mariadb.pid
# Seconds to wait for the server to come up or go down.
wait_seconds=60

if [[ $(id -u) -eq 0 ]]; then
    owner=mysql
    as_owner() { runuser -u "$owner" -- "$@"; }
else
    owner=$(id -un)
    as_owner() { "$@"; }
fi

admin() { mariadb-admin --no-defaults --socket="$socket" -u root "$@"; }

is_running() {
    [[ -f $pidfile ]] && kill -0 "$(cat "$pidfile")" 2>/dev/null
}

# wait_until CMD...: polls CMD every tenth of a second for wait_seconds.
wait_until() {
    local tries=$((wait_seconds * 10))
    while ! "$@"; do
        tries=$((tries - 1))
        [[ $tries -gt 0 ]] || return 1
        sleep 0.1
    done
}

stop_server() {
    is_running || return 0
    local pid
    pid=$(cat "$pidfile")
    kill -TERM "$pid"
    wait_until gone "$pid" || { echo "MariaDB server in $dir did not stop" >&2; exit 1; }
}

gone() { ! kill -0 "$1" 2>/dev/null; }

server_options=(
    --no-defaults
    --datadir="$dir/data"
    --socket="$socket"
    --pid-file="$pidfile"
    --log-error="$dir/server.log"
    --character-set-server=utf8mb4
    --innodb-buffer-pool-size=32M
    --innodb-log-file-size=8M
    --innodb-flush-log-at-trx-commit=0
    # The JDBC driver's tests write and read values of 16 Mi characters, 34 MB
    # in UTF-8, and a statement or row must fit in one packet (default 16M).
    --max-allowed-packet=64M
)

if [[ -n ${JOV_MARIA_PORT:-} ]]; then
    server_options+=(--bind-address=127.0.0.1 --port="$JOV_MARIA_PORT")
else
    server_options+=(--skip-networking)
fi

start_server() {
    stop_server
    rm -rf "$dir"
    mkdir -p "$dir"
    chmod 0755 "$dir"
    chown "$owner" "$dir"
    as_owner mariadb-install-db --no-defaults --datadir="$dir/data" \
        --auth-root-authentication-method=normal --skip-test-db \
        >"$dir/install-db.log" 2>&1 || { cat "$dir/install-db.log" >&2; exit 1; }
    # The server stays after this script; its output goes to server.log.
    as_owner setsid mariadbd "${server_options[@]}" </dev/null >/dev/null 2>&1 &
    if ! wait_until admin --silent ping >/dev/null 2>&1; then
        cat "$dir/server.log" >&2
        exit 1
    fi
    mariadb --no-defaults --socket="$socket" -u root <<SQL
CREATE DATABASE $database CHARACTER SET utf8mb4;
CREATE USER '$user'@'localhost' IDENTIFIED BY '$password';
GRANT ALL ON $database.* TO '$user'@'localhost';
CREATE USER '$user'@'127.0.0.1' IDENTIFIED BY '$password';
GRANT ALL ON $database.* TO '$user'@'127.0.0.1';
SQL
}

case $action in
    start) start_server ;;
    stop) stop_server ;;
    status) is_running ;;
    *) usage ;;
esac
