// jov_bench_alloc DATA_SOURCE USER PASSWORD PASSES [SQL]
//
// Heap allocations of the library's fetch and render path, counted per row.
// The library's own objects are linked with a counting heap (counting_heap.h)
// and called through their natives, as Java calls them: per row JNIODBCfetch,
// then JNIODBCgetColumnDataString of every column; the query through
// JNIODBCexecSQLQuery on one open connection, the cursor closed after each pass.
//
// Pass 1 finds the row by which every column has shown its longest value;
// from then on a fetch may not allocate. Passes 2..PASSES count what the rows
// after that one allocate. The last line reads
// "allocations per row in steady state: N" (N must be 0).
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/alloc/bench_jni.h"
#include "bench/alloc/counting_heap.h"
#include "jni/natives.h"

namespace jov::bench {
namespace {

struct PassCounts {
    int64_t rows = 0;
    int64_t queryAllocations = 0;
    int64_t rowAllocations = 0;
    int64_t lastAllocatingRow = 0;
    int64_t steadyAllocations = 0;  // in rows after steadyFrom
    int64_t closeAllocations = 0;
    double milliseconds = 0;
};

std::u16string Widen(const char* text) {
    std::u16string wide;
    for (const char* p = text; *p != 0; ++p) wide += static_cast<char16_t>(*p);
    return wide;
}

class AllocBench {
public:
    AllocBench(BenchJni& jni, jint id, jstring sql) : jni_(jni), id_(id), sql_(sql) {}

    // Runs one pass; rows after steadyFrom count as steady state. With
    // longest, records per column the longest value and its first row.
    bool Pass(int64_t steadyFrom, std::vector<std::pair<jlong, int64_t>>* longest,
              PassCounts* counts) {
        JNIEnv* env = jni_.env();
        const auto start = std::chrono::steady_clock::now();
        int64_t mark = Allocations();
        const jint cursor =
            Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(env, nullptr, id_, sql_);
        if (cursor < 0) return false;
        const jint columns =
            Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNum(env, nullptr, id_, cursor);
        if (longest != nullptr) longest->assign(static_cast<std::size_t>(columns), {-1, 0});
        counts->queryAllocations = Allocations() - mark;
        for (;;) {
            mark = Allocations();
            const jint fetched =
                Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env, nullptr, id_, cursor);
            if (fetched < 0) return false;
            if (fetched == 0) break;
            ++counts->rows;
            for (jint c = 1; c <= columns; ++c) {
                if (Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataString(
                        env, nullptr, id_, cursor, c) == nullptr) {
                    return false;
                }
                if (longest != nullptr) Longest(cursor, c, counts->rows, longest);
            }
            const int64_t made = Allocations() - mark;
            counts->rowAllocations += made;
            if (made != 0) counts->lastAllocatingRow = counts->rows;
            if (counts->rows > steadyFrom) counts->steadyAllocations += made;
        }
        mark = Allocations();
        Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcloseCursor(env, nullptr, id_, cursor);
        counts->closeAllocations = Allocations() - mark;
        counts->milliseconds =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        return true;
    }

private:
    void Longest(jint cursor, jint column, int64_t row,
                 std::vector<std::pair<jlong, int64_t>>* longest) {
        const jlong length = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnFetchDataLength(
            jni_.env(), nullptr, id_, cursor, column);
        auto& entry = (*longest)[static_cast<std::size_t>(column - 1)];
        if (length > entry.first) entry = {length, row};
    }

    BenchJni& jni_;
    jint id_;
    jstring sql_;
};

void Print(int pass, const PassCounts& c) {
    std::printf(
        "alloc: pass %d: %lld rows in %.0f ms; allocations: query %lld, rows %lld (last in row "
        "%lld), close %lld\n",
        pass, static_cast<long long>(c.rows), c.milliseconds,
        static_cast<long long>(c.queryAllocations), static_cast<long long>(c.rowAllocations),
        static_cast<long long>(c.lastAllocatingRow), static_cast<long long>(c.closeAllocations));
}

int Run(const char* dataSource, const char* user, const char* password, int passes,
        const char* sqlText) {
    BenchJni jni;
    JNIEnv* env = jni.env();
    const jint id = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCopen(
        env, nullptr, jni.String(Widen(dataSource)), jni.String(Widen(user)),
        jni.String(Widen(password)));
    if (id < 0) {
        std::fprintf(stderr, "alloc: cannot open %s\n", dataSource);
        return 1;
    }
    AllocBench bench(jni, id, jni.String(Widen(sqlText)));
    std::vector<std::pair<jlong, int64_t>> longest;
    PassCounts first;
    if (!bench.Pass(INT64_MAX, &longest, &first)) return 1;
    Print(1, first);
    int64_t steadyFrom = 0;
    for (const auto& column : longest) steadyFrom = std::max(steadyFrom, column.second);
    std::printf("alloc: every column has shown its longest value by row %lld\n",
                static_cast<long long>(steadyFrom));

    int64_t steadyRows = 0;
    int64_t steadyAllocations = 0;
    for (int pass = 2; pass <= passes; ++pass) {
        PassCounts counts;
        if (!bench.Pass(steadyFrom, nullptr, &counts)) return 1;
        Print(pass, counts);
        steadyRows += counts.rows - steadyFrom;
        steadyAllocations += counts.steadyAllocations;
    }
    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCclose(env, nullptr, id);
    if (steadyRows <= 0) {
        std::fprintf(stderr, "alloc: no rows in steady state (passes must be 2 or more)\n");
        return 1;
    }
    std::printf("alloc: %lld allocations in %lld rows after row %lld of passes 2..%d\n",
                static_cast<long long>(steadyAllocations), static_cast<long long>(steadyRows),
                static_cast<long long>(steadyFrom), passes);
    std::printf("allocations per row in steady state: %g\n",
                static_cast<double>(steadyAllocations) / static_cast<double>(steadyRows));
    return steadyAllocations == 0 ? 0 : 3;
}

}  // namespace
}  // namespace jov::bench

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fprintf(stderr, "usage: %s DATA_SOURCE USER PASSWORD PASSES [SQL]\n", argv[0]);
        return 2;
    }
    const char* sql = argc == 6 ? argv[5] : "SELECT * FROM t";
    return jov::bench::Run(argv[1], argv[2], argv[3], std::atoi(argv[4]), sql);
}
