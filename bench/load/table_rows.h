// The rows of the benchmark table t, generated from their id alone so that
// every data source holds the same values:
//
//   id       integer         1..rows
//   name     varchar(40)     "Customer <id>"; every 13th a Japanese name
//   amount   numeric(12,2)   0.00..999999.99
//   ratio    double          NULL in every 10th row
//   created  timestamp       2020-01-01 00:00:00 onwards, whole seconds
//   note     text            up to about 120 bytes; every 7th Japanese
//
// Texts are UTF-8 here; the loader stores them as Windows-31J bytes.
#pragma once

#include <string>

namespace jov::bench {

// Bump when the generated values change, so that stored tables are rebuilt.
constexpr long kDataVersion = 1;

struct TableRow {
    long id;
    std::string name;
    std::string amount;  // SQL literal
    std::string ratio;   // SQL literal, "NULL" in every 10th row
    std::string created;
    std::string note;
};

TableRow MakeRow(long id);

}  // namespace jov::bench
