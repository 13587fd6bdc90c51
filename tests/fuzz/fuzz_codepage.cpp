// The two code page conversions, JcharsToAnsi and AnsiToJchars, at every
// capacity from 1 to one past the whole converted text.
//
// Input: one byte choosing the direction, then the source: UTF-16 units (two
// bytes each, little-endian) or ANSI bytes, at most kMaxSourceBytes of them.
//
// Properties, against the conversion into ample room: the count is at most
// capacity - 1 and the terminator stands right after it, in a block of
// exactly capacity elements; a text that fits comes through whole, one of
// exactly capacity elements loses its last element (towards ANSI also the
// lead byte of a character split by that cut), a longer one becomes empty.
// Round trip: after one trip through the other encoding a text is stable, so
// a second trip gives the same text again.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "jni/text_conversion.h"
#include "platform/whole_characters.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr std::size_t kMaxSourceBytes = 96;

template <typename Out, typename In>
using Conversion = int32_t (*)(Out*, int32_t, const In*, int32_t);

// Converts source into a block of exactly capacity elements and checks the
// count and the terminator; returns the converted elements.
template <typename Out, typename In>
std::vector<Out> Convert(Conversion<Out, In> convert, const std::vector<In>& source,
                         int32_t capacity) {
    std::unique_ptr<Out[]> target(new Out[static_cast<std::size_t>(capacity)]);
    const int32_t n =
        convert(target.get(), capacity, source.data(), static_cast<int32_t>(source.size()));
    FUZZ_CHECK(n >= 0 && n <= capacity - 1);
    FUZZ_CHECK(target[static_cast<std::size_t>(n)] == 0);
    return std::vector<Out>(target.get(), target.get() + n);
}

// What a cut one element short of the whole text keeps.
std::size_t KeptAtCut(const std::vector<jchar>& whole) { return whole.size() - 1; }
std::size_t KeptAtCut(const std::vector<char>& whole) {
    return static_cast<std::size_t>(
        jov::WholeCharacterLength(whole.data(), static_cast<int32_t>(whole.size()) - 1));
}

template <typename Out, typename In>
std::vector<Out> CheckEveryCapacity(Conversion<Out, In> convert, const std::vector<In>& source) {
    // Every unit becomes at most two bytes; every byte at most one unit.
    const int32_t ample = static_cast<int32_t>(2 * source.size() + 2);
    const std::vector<Out> whole = Convert(convert, source, ample);
    FUZZ_CHECK(whole.size() <= 2 * source.size());
    const int32_t length = static_cast<int32_t>(whole.size());
    for (int32_t capacity = 1; capacity <= length + 1; ++capacity) {
        const std::vector<Out> cut = Convert(convert, source, capacity);
        if (length <= capacity - 1) {
            FUZZ_CHECK(cut == whole);
        } else if (length == capacity) {
            FUZZ_CHECK(cut.size() == KeptAtCut(whole));
            FUZZ_CHECK(std::equal(cut.begin(), cut.end(), whole.begin()));
        } else {
            FUZZ_CHECK(cut.empty());
        }
    }
    return whole;
}

std::vector<char> ToAnsi(const std::vector<jchar>& units) {
    return CheckEveryCapacity<char, jchar>(&jov::JcharsToAnsi, units);
}

std::vector<jchar> ToJchars(const std::vector<char>& bytes) {
    return CheckEveryCapacity<jchar, char>(&jov::AnsiToJchars, bytes);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool fromUnits = input.ConsumeBool();
    const std::vector<char> raw = input.ConsumeBytes<char>(kMaxSourceBytes);
    if (fromUnits) {
        std::vector<jchar> units(raw.size() / 2);
        for (std::size_t i = 0; i < units.size(); ++i) {
            units[i] = static_cast<jchar>(static_cast<unsigned char>(raw[2 * i]) |
                                          static_cast<unsigned char>(raw[2 * i + 1]) << 8);
        }
        const std::vector<char> bytes = ToAnsi(units);
        if (bytes.empty()) return 0;
        const std::vector<jchar> back = ToJchars(bytes);
        FUZZ_CHECK(ToAnsi(back) == bytes);
    } else {
        const std::vector<jchar> units = ToJchars(raw);
        if (units.empty()) return 0;
        const std::vector<char> back = ToAnsi(units);
        if (!back.empty()) FUZZ_CHECK(ToAnsi(ToJchars(back)) == back);
    }
    return 0;
}
