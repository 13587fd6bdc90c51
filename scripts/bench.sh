#!/usr/bin/env bash
# The benchmark, in two parts, on SQLite (sqliteodbc), PostgreSQL (psqlODBC)
# and MariaDB (MariaDB Connector/ODBC), each beside its own JDBC driver
# (sqlite-jdbc, pgjdbc, MariaDB Connector/J).
#
# 1. The bridge: SELECT * FROM t (JOV_BENCH_BRIDGE_ROWS rows, six columns,
#    Windows-31J text: PostgreSQL's client encoding SJIS, MariaDB's cp932),
#    every value read as a string, by
#      floor      a C++ program using ODBC alone (bench/floor),
#      bridge     Java calling the library's natives,
#      JDBC       the native JDBC driver of the same database,
#      jni-floor  the floor's reading called from Java through JNI, one call
#                 per fetch and per value (bench/jnifloor): the least a JNI
#                 bridge pays,
#      driver     this project's JDBC driver (build-jar.sh's jar), getString
#                 for every value, and driver-typed: getInt/getLong/getDouble/
#                 getString by column type,
#    then the heap allocations per fetched row of the library's own fetch and
#    render path.
# 2. The suite (bench/java/.../Suite.java): this project's driver against the
#    database's JDBC driver and the C block program (bench/block: bound
#    columns, 1,000-row arrays) on tables of plain ASCII data: bulk reads of
#    1,000, ROWS/10 and ROWS rows (getString and typed getters), a 50-column
#    table, long text values, point queries by primary key through one
#    PreparedStatement, one executeBatch, connection opens, and the peak
#    resident memory of the ROWS-row read, each reader in its own JVM and
#    reading with a fetch size. It prints each ratio's median over the rounds,
#    its spread and its target.
#
# Installs what is missing, builds in Release into build-bench/ (the option
# JOV_BUILD_BENCH), creates the data when it is missing, starts a throwaway
# PostgreSQL cluster and a throwaway MariaDB server listening on 127.0.0.1
# (pgjdbc and Connector/J here use no unix sockets; all variants use the same
# TCP connection) and stops them on every way out. The default sizes take
# hours on a busy machine; JOV_BENCH_ROWS=20000 JOV_BENCH_ROUNDS=2 takes
# minutes. Exits 0 when every target of both parts is met.
#
# Environment (defaults): JOV_BENCH_ROUNDS (9), JOV_BENCH_ROWS (1000000),
# JOV_BENCH_BRIDGE_ROWS (ROWS/5), JOV_BENCH_WIDE_ROWS (ROWS/10),
# JOV_BENCH_LOB_ROWS (ROWS/100), JOV_BENCH_LOB_BYTES (61440),
# JOV_BENCH_POINTS (ROWS/100), JOV_BENCH_BATCH_ROWS (ROWS/10),
# JOV_BENCH_OPENS (100), JOV_BENCH_FETCH_SIZE (1000), JOV_BENCH_BRIDGE (1; 0
# skips part 1), JOV_BENCH_PG_PORT (54339), JOV_BENCH_MARIA_PORT (33069).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
rounds=${JOV_BENCH_ROUNDS:-9}
rows=${JOV_BENCH_ROWS:-1000000}
bridge_rows=${JOV_BENCH_BRIDGE_ROWS:-$((rows / 5))}
run_bridge=${JOV_BENCH_BRIDGE:-1}
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
# An interrupted run exits through the EXIT trap too.
trap 'exit 130' INT
trap 'exit 143' TERM
bash scripts/pg-cluster.sh start "$JOV_PG_DIR"
bash scripts/maria-server.sh start "$JOV_MARIA_DIR"

sqlite_driver_url="jdbc:jov:odbc:JovBenchSqlite;charset=Windows-31J"
pg_url="jdbc:postgresql://127.0.0.1:$JOV_PG_PORT/$JOV_PG_DATABASE"
maria_url="jdbc:mariadb://127.0.0.1:$JOV_MARIA_PORT/$JOV_MARIA_DATABASE"
class_path="$classes:$jar:/usr/share/java/postgresql.jar:/usr/share/java/sqlite-jdbc.jar"
class_path+=":/usr/share/java/mariadb-java-client.jar"
java_options=(-Djov.jdbc.odbc.library="$build/libJovJdbcOdbc.so"
    -Djov.bench.jnifloor="$build/bench/libJovBenchJniFloor.so"
    -Djava.library.path=/usr/lib/x86_64-linux-gnu/jni -cp "$class_path")

alloc_status=0
bench_status=0
if [[ $run_bridge != 0 ]]; then
    # The natives' table: Windows-31J text written through ODBC, so the driver
    # reads the SQLite file with charset=Windows-31J.
    "$build/bench/jov_bench_load" JovBenchSqlite "" "" "$bridge_rows"
    "$build/bench/jov_bench_load" JovBenchPg "$JOV_PG_USER" "$JOV_PG_PASSWORD" "$bridge_rows"
    "$build/bench/jov_bench_load" JovBenchMaria "$JOV_MARIA_USER" "$JOV_MARIA_PASSWORD" \
        "$bridge_rows" datetime

    echo
    echo "== Heap allocations of the library's fetch and render path (SQLite) =="
    "$build/bench/jov_bench_alloc" JovBenchSqlite "" "" 3 || alloc_status=$?

    echo
    echo "== Part 1, time: floor, bridge and JDBC =="
    java "${java_options[@]}" jov.jdbc.odbc.bench.Bench --floor "$build/bench/jov_bench_floor" \
        --work "$build/dumps" --rounds "$rounds" \
        --source SQLite sqliteodbc JovBenchSqlite "" "" sqlite-jdbc "jdbc:sqlite:$sqlite_file" \
        "$sqlite_driver_url" \
        --source PostgreSQL psqlODBC JovBenchPg "$JOV_PG_USER" "$JOV_PG_PASSWORD" pgjdbc \
        "$pg_url" "jdbc:jov:odbc:JovBenchPg" \
        --source MariaDB "Connector/ODBC" JovBenchMaria "$JOV_MARIA_USER" "$JOV_MARIA_PASSWORD" \
        "Connector/J" "$maria_url" "jdbc:jov:odbc:JovBenchMaria" \
        || bench_status=$?

    echo
    echo "Notes: times are measured inside each process (System.nanoTime, steady_clock) and cover"
    echo "the query, every fetch and string, and the close. sqlite-jdbc decodes the SQLite file's"
    echo "Windows-31J text as UTF-8, so its Japanese strings differ from the bridge's; pgjdbc"
    echo "renders numbers and timestamps in its own forms. Both are compared for timing only."
fi

echo
echo "== Part 2: the driver against the database drivers and the C block program =="
suite_status=0
java "${java_options[@]}" jov.jdbc.odbc.bench.Suite --block "$build/bench/jov_bench_block" \
    --rounds "$rounds" --rows "$rows" --wide-rows "${JOV_BENCH_WIDE_ROWS:-$((rows / 10))}" \
    --lob-rows "${JOV_BENCH_LOB_ROWS:-$((rows / 100))}" \
    --lob-bytes "${JOV_BENCH_LOB_BYTES:-61440}" --points "${JOV_BENCH_POINTS:-$((rows / 100))}" \
    --batch "${JOV_BENCH_BATCH_ROWS:-$((rows / 10))}" --opens "${JOV_BENCH_OPENS:-100}" \
    --fetch-size "${JOV_BENCH_FETCH_SIZE:-1000}" \
    --source SQLite sqlite JovBenchSqlite "" "" sqlite-jdbc "jdbc:sqlite:$sqlite_file" \
    "$sqlite_driver_url" \
    --source PostgreSQL postgresql JovBenchPg "$JOV_PG_USER" "$JOV_PG_PASSWORD" pgjdbc \
    "$pg_url" "jdbc:jov:odbc:JovBenchPg" \
    --source MariaDB mariadb JovBenchMaria "$JOV_MARIA_USER" "$JOV_MARIA_PASSWORD" \
    "Connector/J" "$maria_url" "jdbc:jov:odbc:JovBenchMaria" \
    || suite_status=$?

if [[ $alloc_status -eq 0 && $bench_status -eq 0 && $suite_status -eq 0 ]]; then
    echo "bench.sh: ALL TARGETS MET"
else
    echo "bench.sh: TARGETS MISSED (allocations exit $alloc_status, bridge exit $bench_status," \
        "suite exit $suite_status)"
    exit 1
fi
