#!/usr/bin/env bash
# Starts or stops a throwaway PostgreSQL cluster for the integration tests.
#
#   pg-cluster.sh start DIR   wipe DIR, initdb into DIR/data, start the server
#                             listening only on a unix socket in DIR, create the
#                             test database and user
#   pg-cluster.sh stop DIR    stop the server (fast shutdown); DIR is kept
#   pg-cluster.sh restart DIR restart the running server (fast shutdown, which
#                             ends every session) keeping its data; returns
#                             once it accepts connections again
#   pg-cluster.sh status DIR  exit status 0 when the server in DIR is running
#
# Environment: JOV_PG_PORT (default 54329), JOV_PG_DATABASE (jovtest),
# JOV_PG_USER (jov), JOV_PG_PASSWORD (jovpass), JOV_PG_LISTEN (TCP addresses
# to listen on besides the socket, such as 127.0.0.1; default none).
#
# PostgreSQL refuses to run as root; as root the server runs as the user
# "postgres" (created by the Debian package), which is given DIR.
set -euo pipefail

usage() { echo "usage: $0 start|stop|restart|status DIR" >&2; exit 2; }
[[ $# -eq 2 ]] || usage
action=$1
dir=$2
# An empty DIR would be the current folder, which "start" wipes.
[[ -n $dir ]] || usage
[[ $dir == /* ]] || dir="$PWD/$dir"

port=${JOV_PG_PORT:-54329}
database=${JOV_PG_DATABASE:-jovtest}
user=${JOV_PG_USER:-jov}
password=${JOV_PG_PASSWORD:-jovpass}
listen=${JOV_PG_LISTEN:-}

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
[[ -n $bindir ]] || { echo "PostgreSQL server binaries not found" >&2; exit 1; }

# as_owner CMD...: runs CMD as the cluster's owner.
if [[ $(id -u) -eq 0 ]]; then
    owner=postgres
    as_owner() { runuser -u "$owner" -- "$@"; }
else
    owner=$(id -un)
    as_owner() { "$@"; }
fi

is_running() {
    [[ -f $dir/data/postmaster.pid ]] && as_owner "$bindir/pg_ctl" -D "$dir/data" status >/dev/null 2>&1
}

stop_cluster() {
    if is_running; then
        as_owner "$bindir/pg_ctl" -D "$dir/data" -m fast -w -t 60 stop >/dev/null
    fi
}

restart_cluster() {
    is_running || { echo "no server running in $dir" >&2; exit 1; }
    as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -m fast -w -t 60 restart >/dev/null
}

psql_admin() {
    as_owner "$bindir/psql" -X -q -v ON_ERROR_STOP=1 -h "$dir" -p "$port" -U postgres "$@"
}

start_cluster() {
    stop_cluster
    rm -rf "$dir"
    mkdir -p "$dir"
    chmod 0755 "$dir"
    chown "$owner" "$dir"
    as_owner "$bindir/initdb" -D "$dir/data" -U postgres -E UTF8 --locale=C -A trust \
        >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    cat >>"$dir/data/postgresql.conf" <<CONF
listen_addresses = '$listen'
unix_socket_directories = '$dir'
port = $port
fsync = off
synchronous_commit = off
full_page_writes = off
max_connections = 100
CONF
    if ! as_owner "$bindir/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start >/dev/null; then
        cat "$dir/server.log" >&2
        exit 1
    fi
    psql_admin -d postgres \
        -c "CREATE ROLE $user LOGIN PASSWORD '$password'" \
        -c "CREATE DATABASE $database OWNER $user ENCODING 'UTF8' TEMPLATE template0"
}

case $action in
    start) start_cluster ;;
    stop) stop_cluster ;;
    restart) restart_cluster ;;
    status) is_running ;;
    *) usage ;;
esac
