// jov_bench_block DATA_SOURCE USER PASSWORD
//
// The C block program of the benchmark (see block_reader.h): connects once,
// prints "ready", then answers commands on stdin, one per line:
//
//   read SQL    one timed pass over SQL; answers "pass NANOS ROWS VALUES
//               BYTES": its wall-clock time and what it read
//   quit        disconnect and exit
//
// A failure answers "error" and exits 1.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <string>

#include "bench/block/block_reader.h"
#include "bench/common/odbc_session.h"

namespace jov::bench {
namespace {

constexpr char kRead[] = "read ";
constexpr std::size_t kReadLength = sizeof kRead - 1;

bool Answer(BlockReader& reader, SQLHDBC connection, const std::string& sql) {
    BlockTotals totals;
    const auto start = std::chrono::steady_clock::now();
    if (!reader.Pass(connection, sql.c_str(), &totals)) return false;
    const auto nanos = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    std::printf("pass %lld %lld %lld %lld\n", static_cast<long long>(nanos),
                static_cast<long long>(totals.rows), static_cast<long long>(totals.values),
                static_cast<long long>(totals.bytes));
    std::fflush(stdout);
    return true;
}

int Serve(const std::string& dataSource, const std::string& user, const std::string& password) {
    OdbcSession session;
    if (!session.Connect(dataSource, user, password)) {
        std::printf("error\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    BlockReader reader;
    std::string line;
    while (std::getline(std::cin, line) && line != "quit") {
        if (line.rfind(kRead, 0) != 0 ||
            !Answer(reader, session.connection(), line.substr(kReadLength))) {
            std::fprintf(stderr, "block: failed: '%s'\n", line.c_str());
            std::printf("error\n");
            return 1;
        }
    }
    return 0;
}

}  // namespace
}  // namespace jov::bench

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DATA_SOURCE USER PASSWORD\n", argv[0]);
        return 2;
    }
    std::ios::sync_with_stdio(false);
    return jov::bench::Serve(argv[1], argv[2], argv[3]);
}
