// jov_bench_floor DATA_SOURCE USER PASSWORD SQL
//
// The floor of the benchmark: the query read with ODBC alone, no library and
// no JVM. Connects once, then answers commands on stdin, one per line, so the
// Java runner can alternate it with the other variants on open connections:
//
//   pass        one timed pass; answers "pass NANOS CPUNANOS ROWS VALUES
//               LENGTHSUM": wall-clock and process CPU time, and what it read
//   dump PATH   one untimed pass writing every value to PATH (see FloorReader)
//               and answering like pass
//   quit        disconnect and exit
//
// It prints "ready" once connected; a failure answers "error" and exits 1.
#include <sys/resource.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>

#include "bench/common/odbc_session.h"
#include "bench/floor/floor_reader.h"

namespace jov::bench {
namespace {

// CPU time of the process so far, user and system.
int64_t CpuNanos() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto nanos = [](const timeval& t) {
        return static_cast<int64_t>(t.tv_sec) * 1000000000 + static_cast<int64_t>(t.tv_usec) * 1000;
    };
    return nanos(usage.ru_utime) + nanos(usage.ru_stime);
}

bool Answer(FloorReader& reader, SQLHDBC connection, const std::string& sql, std::FILE* dump) {
    PassTotals totals;
    const int64_t cpuStart = CpuNanos();
    const auto start = std::chrono::steady_clock::now();
    const bool ok = reader.Pass(connection, sql.c_str(), dump, &totals);
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    const int64_t cpuNanos = CpuNanos() - cpuStart;
    if (!ok) return false;
    std::printf("pass %lld %lld %lld %lld %lld\n", static_cast<long long>(nanos),
                static_cast<long long>(cpuNanos), static_cast<long long>(totals.rows),
                static_cast<long long>(totals.values), static_cast<long long>(totals.lengthSum));
    std::fflush(stdout);
    return true;
}

int Serve(const std::string& dataSource, const std::string& user, const std::string& password,
          const std::string& sql) {
    OdbcSession session;
    FloorReader reader;
    if (!session.Connect(dataSource, user, password)) {
        std::printf("error\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line) && line != "quit") {
        bool ok = false;
        if (line == "pass") {
            ok = Answer(reader, session.connection(), sql, nullptr);
        } else if (line.rfind("dump ", 0) == 0) {
            std::FILE* dump = std::fopen(line.substr(5).c_str(), "wb");
            ok = dump != nullptr && Answer(reader, session.connection(), sql, dump);
            if (dump != nullptr) std::fclose(dump);
        } else {
            std::fprintf(stderr, "floor: unknown command '%s'\n", line.c_str());
        }
        if (!ok) {
            std::printf("error\n");
            return 1;
        }
    }
    return 0;
}

}  // namespace
}  // namespace jov::bench

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s DATA_SOURCE USER PASSWORD SQL\n", argv[0]);
        return 2;
    }
    std::ios::sync_with_stdio(false);
    return jov::bench::Serve(argv[1], argv[2], argv[3], argv[4]);
}
