#include "bench/load/table_rows.h"

#include <cstdio>
#include <ctime>

namespace jov::bench {

namespace {

// No character here has a Windows-31J byte 0x5C ('\') or 0x27 ('), so the
// texts go into SQL literals as they are; the loader checks that.
const char* const kJapaneseNames[] = {
    "山田太郎", "佐藤花子", "鈴木一郎", "高橋美咲", "田中健二", "渡辺直美", "伊藤博", "中村さくら",
};
const char* const kJapaneseNotes[] = {
    "東京都千代田区の倉庫から発送しました", "お届け日時：午前中指定",
    "ギフト包装あり（のし付き）",           "在庫確認中のため、発送が遅れます",
    "ｶﾀｶﾅの半角文字と　全角の空白",
};
constexpr char kFiller[] =
    "Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor incididunt "
    "ut labore et dolore magna aliqua.";
constexpr long kFillerPeriod = 97;  // note lengths repeat with this period
static_assert(sizeof kFiller > kFillerPeriod, "the filler covers every length");

constexpr std::time_t kFirstCreated = 1577836800;  // 2020-01-01 00:00:00 UTC
constexpr long kCreatedStep = 617;                 // seconds between rows

template <std::size_t N>
const char* Pick(const char* const (&list)[N], long id) {
    return list[static_cast<std::size_t>(id) % N];
}

std::string Created(long id) {
    std::time_t moment = kFirstCreated + id * kCreatedStep;
    std::tm fields{};
    gmtime_r(&moment, &fields);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &fields);
    return text;
}

std::string Ratio(long id) {
    if (id % 10 == 0) return "NULL";
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", static_cast<double>(id % 1000) / 7.0);
    return text;
}

std::string Note(long id) {
    const std::string number = std::to_string(id);
    if (id % 7 == 0) return std::string(Pick(kJapaneseNotes, id / 7)) + " (" + number + ")";
    return "Note for row " + number + ": " +
           std::string(kFiller, static_cast<std::size_t>((id * 31) % kFillerPeriod));
}

}  // namespace

TableRow MakeRow(long id) {
    TableRow row;
    row.id = id;
    const std::string number = std::to_string(id);
    row.name = id % 13 == 0 ? std::string(Pick(kJapaneseNames, id / 13)) + " " + number
                            : "Customer " + number;
    const long cents = (id * 7919) % 100000000;
    char amount[32];
    std::snprintf(amount, sizeof amount, "%ld.%02ld", cents / 100, cents % 100);
    row.amount = amount;
    row.ratio = Ratio(id);
    row.created = Created(id);
    row.note = Note(id);
    return row;
}

}  // namespace jov::bench
