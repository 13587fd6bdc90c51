#!/usr/bin/env bash
# The benchmark of the road of a query: SELECT * FROM t (200,000 rows, six
# columns), every row fetched and every value read as a string, by
#   floor      a C++ program using ODBC alone (bench/floor),
#   bridge     Java calling the library's natives,
#   JDBC       the native JDBC driver of the same database (sqlite-jdbc, pgjdbc,
#              MariaDB Connector/J),
#   jni-floor  the floor's reading called from Java through JNI, one call per
#              fetch and per value (bench/jnifloor): the least a JNI bridge pays,
#   driver     this project's JDBC driver (build-jar.sh's jar), getString for
#              every value, and driver-typed: getInt/getLong/getDouble/getString
#              by column type,
# on SQLite, on PostgreSQL (psqlODBC, client encoding SJIS) and on MariaDB
# (MariaDB Connector/ODBC, character set cp932), then the heap
# allocations per fetched row of the library's own fetch and render path.
#
# Installs what is missing, builds in Release into build-bench/ (the option
# JOV_BUILD_BENCH), creates the data when it is missing, starts a throwaway
# PostgreSQL cluster and a throwaway MariaDB server listening on 127.0.0.1
# (pgjdbc and Connector/J here use no unix sockets; all variants use the same
# TCP connection) and stops them on every way out.
# Takes a few minutes. Exits 0 when every target is met.
#
# Environment: JOV_BENCH_ROUNDS (9), JOV_BENCH_ROWS (200000),
# JOV_BENCH_PG_PORT (54339), JOV_BENCH_MARIA_PORT (33069).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
rounds=${JOV_BENCH_ROUNDS:-9}
rows=${JOV_BENCH_ROWS:-200000}
build=$root/build-bench

bench_packages=(libpostgresql-jdbc-java libxerial-sqlite-jdbc-java libxerial-sqlite-jdbc-jni
    libmariadb-java)
bash scripts/install-deps.sh
missing=()
for p in "${bench_packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >/dev/null
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [[ -z ${JAVA_HOME:-} && ! -d /usr/lib/jvm/default-java ]]; then
    JAVA_HOME=$(dirname "$(dirname "$(readlink -f "$(command -v javac)")")")
    export JAVA_HOME
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DJOV_BUILD_BENCH=ON \
    -DJOV_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null
JOV_BUILD_DIR=$build bash scripts/build-jar.sh >/dev/null
jar=$build/jovjdbcodbc.jar
classes=$build/bench-classes
rm -rf "$classes"
mkdir -p "$classes"
mapfile -t sources < <(find "$root/bench/java" -name '*.java' | sort)
javac -encoding UTF-8 -Xlint:all -Werror -cp "$jar" -d "$classes" "${sources[@]}"

# A cluster and data sources of the benchmark's own, apart from the tests'.
export JOV_BUILD_DIR=$build
export JOV_PG_DIR=${TMPDIR:-/tmp}/jovbench-$(id -u)-$(printf %s "$root" | cksum | cut -d' ' -f1)
export JOV_PG_PORT=${JOV_BENCH_PG_PORT:-54339}
export JOV_PG_LISTEN=127.0.0.1
export JOV_MARIA_DIR=${TMPDIR:-/tmp}/jovbenchmaria-$(id -u)-$(printf %s "$root" | cksum | cut -d' ' -f1)
export JOV_MARIA_PORT=${JOV_BENCH_MARIA_PORT:-33069}
# shellcheck source=odbc-env.sh
. scripts/odbc-env.sh
sqlite_file=$JOV_ODBC_DIR/bench.sqlite
cat >>"$ODBCINI" <<INI

[JovBenchSqlite]
Description = SQLite file of the benchmark
Driver      = JovSQLite3
Database    = $sqlite_file
Timeout     = 10000

[JovBenchPg]
Description  = Throwaway PostgreSQL cluster of the benchmark, over TCP
Driver       = JovPsqlAnsi
Servername   = 127.0.0.1
Port         = $JOV_PG_PORT
Database     = $JOV_PG_DATABASE
Username     = $JOV_PG_USER
Password     = $JOV_PG_PASSWORD
ConnSettings = SET client_encoding TO 'SJIS'

[JovBenchMaria]
Description  = Throwaway MariaDB server of the benchmark, over TCP
Driver       = JovMariaDB
Server       = 127.0.0.1
Port         = $JOV_MARIA_PORT
Database     = $JOV_MARIA_DATABASE
User         = $JOV_MARIA_USER
Password     = $JOV_MARIA_PASSWORD
Charset      = cp932
INI

stop_servers() {
    bash "$root/scripts/pg-cluster.sh" stop "$JOV_PG_DIR" 2>/dev/null || true
    bash "$root/scripts/maria-server.sh" stop "$JOV_MARIA_DIR" 2>/dev/null || true
}
trap stop_servers EXIT
bash scripts/pg-cluster.sh start "$JOV_PG_DIR"
bash scripts/maria-server.sh start "$JOV_MARIA_DIR"

"$build/bench/jov_bench_load" JovBenchSqlite "" "" "$rows"
"$build/bench/jov_bench_load" JovBenchPg "$JOV_PG_USER" "$JOV_PG_PASSWORD" "$rows"
"$build/bench/jov_bench_load" JovBenchMaria "$JOV_MARIA_USER" "$JOV_MARIA_PASSWORD" "$rows" datetime

echo
echo "== Heap allocations of the library's fetch and render path (SQLite) =="
alloc_status=0
"$build/bench/jov_bench_alloc" JovBenchSqlite "" "" 3 || alloc_status=$?

echo
echo "== Time: floor, bridge and JDBC =="
bench_status=0
java -Djov.jdbc.odbc.library="$build/libJovJdbcOdbc.so" \
    -Djov.bench.jnifloor="$build/bench/libJovBenchJniFloor.so" \
    -Djava.library.path=/usr/lib/x86_64-linux-gnu/jni \
    -cp "$classes:$jar:/usr/share/java/postgresql.jar:/usr/share/java/sqlite-jdbc.jar:/usr/share/java/mariadb-java-client.jar" \
    jov.jdbc.odbc.bench.Bench --floor "$build/bench/jov_bench_floor" --work "$build/dumps" \
    --rounds "$rounds" \
    --source SQLite sqliteodbc JovBenchSqlite "" "" sqlite-jdbc "jdbc:sqlite:$sqlite_file" beat \
    --source PostgreSQL psqlODBC JovBenchPg "$JOV_PG_USER" "$JOV_PG_PASSWORD" pgjdbc \
    "jdbc:postgresql://127.0.0.1:$JOV_PG_PORT/$JOV_PG_DATABASE" floor \
    --source MariaDB "Connector/ODBC" JovBenchMaria "$JOV_MARIA_USER" "$JOV_MARIA_PASSWORD" \
    "Connector/J" "jdbc:mariadb://127.0.0.1:$JOV_MARIA_PORT/$JOV_MARIA_DATABASE" floor \
    || bench_status=$?

echo
echo "Notes: times are measured inside each process (System.nanoTime, steady_clock) and cover"
echo "the query, every fetch and string, and the close. sqlite-jdbc decodes the SQLite file's"
echo "Windows-31J text as UTF-8, so its Japanese strings differ from the bridge's; pgjdbc"
echo "renders numbers and timestamps in its own forms. Both are compared for timing only."
if [[ $alloc_status -eq 0 && $bench_status -eq 0 ]]; then
    echo "bench.sh: ALL TARGETS MET"
else
    echo "bench.sh: TARGETS MISSED (allocations exit $alloc_status, timing exit $bench_status)"
    exit 1
fi
