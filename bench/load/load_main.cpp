// jov_bench_load DATA_SOURCE USER PASSWORD ROWS [CREATED_TYPE]
//
// Makes sure the data source holds the benchmark table t with ROWS rows of
// the current data version (table_rows.h), and builds it otherwise: texts go
// in as Windows-31J bytes in multi-row INSERTs inside one transaction.
// CREATED_TYPE is the SQL type of the column created (default timestamp;
// MariaDB's datetime keeps the text as given, where its timestamp would
// convert it through the session's time zone).
#include <iconv.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/common/odbc_session.h"
#include "bench/load/table_rows.h"

namespace jov::bench {
namespace {

constexpr long kRowsPerInsert = 250;

const char kDefaultCreatedType[] = "timestamp";

std::string CreateTable(const std::string& createdType) {
    return "CREATE TABLE t (id integer, name varchar(40), amount numeric(12,2), "
           "ratio double precision, created " +
           createdType + ", note text)";
}

// UTF-8 to Windows-31J for SQL literals: fails (exits) on a character without
// a mapping and on a result holding a quote or a backslash byte, which a
// literal would have to escape.
class Cp932Encoder {
public:
    Cp932Encoder() : cd_(iconv_open("CP932", "UTF-8")) {
        if (cd_ == reinterpret_cast<iconv_t>(-1)) Fail("iconv_open CP932", "");
    }
    ~Cp932Encoder() { iconv_close(cd_); }
    Cp932Encoder(const Cp932Encoder&) = delete;
    Cp932Encoder& operator=(const Cp932Encoder&) = delete;

    std::string Encode(const std::string& utf8) {
        std::string out(utf8.size() * 2 + 1, '\0');
        char* in = const_cast<char*>(utf8.data());
        std::size_t inLeft = utf8.size();
        char* target = out.data();
        std::size_t outLeft = out.size();
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd_, &in, &inLeft, &target, &outLeft) == static_cast<std::size_t>(-1)) {
            Fail("no Windows-31J form", utf8);
        }
        out.resize(out.size() - outLeft);
        if (out.find_first_of("'\\") != std::string::npos) Fail("quote or backslash byte", utf8);
        return out;
    }

private:
    [[noreturn]] static void Fail(const char* what, const std::string& text) {
        std::fprintf(stderr, "jov_bench_load: %s: %s\n", what, text.c_str());
        std::exit(1);
    }
    iconv_t cd_;
};

bool IsPresent(OdbcSession& session, long rows) {
    long version = 0;
    long count = 0;
    return session.QueryInteger("SELECT version FROM t_version", &version, true) &&
           version == kDataVersion &&
           session.QueryInteger("SELECT COUNT(*) FROM t", &count, true) && count == rows;
}

std::string ValuesOf(const TableRow& row, Cp932Encoder& encoder) {
    return "(" + std::to_string(row.id) + ",'" + encoder.Encode(row.name) + "'," + row.amount +
           "," + row.ratio + ",'" + row.created + "','" + encoder.Encode(row.note) + "')";
}

bool Load(OdbcSession& session, long rows, const std::string& createdType) {
    Cp932Encoder encoder;
    if (!session.Execute("DROP TABLE IF EXISTS t") ||
        !session.Execute("DROP TABLE IF EXISTS t_version") || !session.SetAutoCommit(false) ||
        !session.Execute(CreateTable(createdType))) {
        return false;
    }
    for (long first = 1; first <= rows; first += kRowsPerInsert) {
        std::string sql = "INSERT INTO t VALUES ";
        for (long id = first; id < first + kRowsPerInsert && id <= rows; ++id) {
            if (id != first) sql += ',';
            sql += ValuesOf(MakeRow(id), encoder);
        }
        if (!session.Execute(sql)) return false;
    }
    return session.Execute("CREATE TABLE t_version (version integer)") &&
           session.Execute("INSERT INTO t_version VALUES (" + std::to_string(kDataVersion) + ")") &&
           session.Commit() && session.SetAutoCommit(true);
}

int Run(const std::string& dataSource, const std::string& user, const std::string& password,
        long rows, const std::string& createdType) {
    OdbcSession session;
    if (!session.Connect(dataSource, user, password)) return 1;
    if (IsPresent(session, rows)) {
        std::printf("%s: table t with %ld rows is present\n", dataSource.c_str(), rows);
        return 0;
    }
    const auto start = std::chrono::steady_clock::now();
    if (!Load(session, rows, createdType)) return 1;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%s: loaded table t with %ld rows in %.1f s\n", dataSource.c_str(), rows,
                took.count());
    return 0;
}

}  // namespace
}  // namespace jov::bench

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: %s DATA_SOURCE USER PASSWORD ROWS [CREATED_TYPE]\n", argv[0]);
        return 2;
    }
    const std::string createdType = argc == 6 ? argv[5] : jov::bench::kDefaultCreatedType;
    return jov::bench::Run(argv[1], argv[2], argv[3], std::atol(argv[4]), createdType);
}
