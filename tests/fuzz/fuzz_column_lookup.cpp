// Column lookup by name, GetColumnNoFromName, on a hand-built catalogue.
//
// Input: a column count (0..8), then for each column a name of up to 31
// bytes, or (selector bit) a raw 32-byte field that need not be terminated;
// the rest is the requested name, of any length, in a buffer of exactly its
// size.
//
// Properties: the result is -1 or a column number of the cursor; a found
// column matches the request once both are blank-stripped and upper-cased,
// and no lower column does; the catalogue is never written; invalid cursor
// handles give -1.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int32_t kMaxFuzzColumns = 8;
constexpr std::size_t kNameSize = jov::kColumnNameSize;
// Requests up to the natives' longest (127 bytes) and a little beyond are
// stripped whole; a longer one may simply match nothing.
constexpr std::size_t kLongestWholeRequest = 128;

std::string Normalised(std::string text) {
    std::unique_ptr<char[]> copy = ExactCopy(text);
    jov::OdbcAccs::StripBlanksUpper(copy.get());
    return copy.get();
}

void FillName(FuzzedDataProvider& input, jov::ColumnInfo& column) {
    if (input.ConsumeBool()) {
        const std::string raw = input.ConsumeBytesAsString(kNameSize);
        std::memcpy(column.name, raw.data(), raw.size());
    } else {
        const std::string name = input.ConsumeRandomLengthString(kNameSize - 1);
        std::memcpy(column.name, name.data(), name.size());
    }
}

// The name as the lookup may see it: at most 31 bytes of the field.
std::string FieldText(const jov::ColumnInfo& column) {
    return std::string(column.name, strnlen(column.name, kNameSize - 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzCatalogue t;
    const int32_t count = input.ConsumeIntegralInRange<int32_t>(0, kMaxFuzzColumns);
    jov::ColumnInfo* columns = count > 0 ? t.AddCatalogue(3, count) : nullptr;
    for (int32_t i = 0; i < count; ++i) FillName(input, columns[i]);
    const std::string request = input.ConsumeRemainingBytesAsString();
    std::unique_ptr<char[]> requested = ExactCopy(request);
    const std::string wanted = request.c_str();

    std::vector<jov::ColumnInfo> before(columns, columns + count);
    const int32_t found = t.obj.GetColumnNoFromName(3, requested.get());
    if (count > 0) FUZZ_CHECK(std::memcmp(before.data(), columns, sizeof before[0] * count) == 0);
    FUZZ_CHECK(std::strcmp(requested.get(), wanted.c_str()) == 0);

    if (count == 0) {
        FUZZ_CHECK(found == -1);
    } else {
        FUZZ_CHECK(found == -1 || (found >= 1 && found <= count));
        const std::string key = Normalised(wanted);
        const bool mayFailLong = found == -1 && wanted.size() > kLongestWholeRequest;
        const int32_t last = found == -1 ? (mayFailLong ? 0 : count) : found - 1;
        for (int32_t i = 0; i < last; ++i) FUZZ_CHECK(Normalised(FieldText(columns[i])) != key);
        if (found != -1) FUZZ_CHECK(Normalised(FieldText(columns[found - 1])) == key);
    }

    for (int32_t h : {0, 1, -1, jov::kMaxCursors + 1}) {
        FUZZ_CHECK(t.obj.GetColumnNoFromName(h, requested.get()) == -1);
    }
    const int32_t forNull = t.obj.GetColumnNoFromName(3, nullptr);
    FUZZ_CHECK(forNull == -1 || (forNull >= 1 && forNull <= count));
    return 0;
}
