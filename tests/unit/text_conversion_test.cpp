// JcharsToAnsi and AnsiToJchars: the bounded, always terminated conversions
// every native uses. Pinned at capacity - 1, capacity and capacity + 1 of the
// converted size, with a double-byte character straddling the end.
#include "jni/text_conversion.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using Units = std::vector<jchar>;
using ByteText = std::vector<unsigned char>;

constexpr unsigned char kUntouched = 0xEE;
constexpr jchar kUntouchedUnit = 0xEEEE;

std::string Hex(const unsigned char* p, size_t n) {
    std::string out;
    char buf[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%02X ", p[i]);
        out += buf;
    }
    return out;
}

std::string Hex(const jchar* p, size_t n) {
    std::string out;
    char buf[6];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(p[i]));
        out += buf;
    }
    return out;
}

// The result of JcharsToAnsi into a buffer one byte larger than capacity, so
// that a write past capacity shows.
struct AnsiResult {
    int32_t n;
    ByteText buffer;
};

AnsiResult ToAnsi(const Units& source, int32_t capacity) {
    AnsiResult r{0, ByteText(static_cast<size_t>(capacity) + 1, kUntouched)};
    r.n = jov::JcharsToAnsi(reinterpret_cast<char*>(r.buffer.data()), capacity, source.data(),
                            static_cast<int32_t>(source.size()));
    return r;
}

struct JcharResult {
    int32_t n;
    Units buffer;
};

JcharResult ToJchars(const ByteText& source, int32_t capacity) {
    JcharResult r{0, Units(static_cast<size_t>(capacity) + 1, kUntouchedUnit)};
    r.n = jov::AnsiToJchars(r.buffer.data(), capacity, reinterpret_cast<const char*>(source.data()),
                            static_cast<int32_t>(source.size()));
    return r;
}

// ---------------------------------------------------------------------------
// JcharsToAnsi

struct ToAnsiCase {
    const char* name;
    Units source;
    int32_t capacity;
    ByteText expected;  // the text kept, before its terminator
};

TEST(JcharsToAnsiConversion, CapacityBoundaries) {
    const Units nihon = {0x65E5, 0x672C};  // 4 bytes: 93 FA 96 7B
    const Units aNichi = {0x61, 0x65E5};   // 3 bytes: 61 93 FA
    const Units abcde = {0x61, 0x62, 0x63, 0x64, 0x65};
    const Units kana = {0xFF71, 0xFF72};  // 2 bytes: B1 B2
    const ToAnsiCase cases[] = {
        {"kanji, capacity + 1: whole", nihon, 5, {0x93, 0xFA, 0x96, 0x7B}},
        {"kanji, capacity: loses the whole last character", nihon, 4, {0x93, 0xFA}},
        {"kanji, capacity - 1: does not fit, empty", nihon, 3, {}},
        {"straddling, capacity + 1: whole", aNichi, 4, {0x61, 0x93, 0xFA}},
        {"straddling, capacity: keeps no lead byte", aNichi, 3, {0x61}},
        {"straddling, capacity - 1: empty", aNichi, 2, {}},
        {"ASCII, capacity + 1", abcde, 6, {0x61, 0x62, 0x63, 0x64, 0x65}},
        {"ASCII, capacity", abcde, 5, {0x61, 0x62, 0x63, 0x64}},
        {"ASCII, capacity - 1", abcde, 4, {}},
        {"ASCII, far too small", abcde, 1, {}},
        {"half-width katakana, capacity + 1", kana, 3, {0xB1, 0xB2}},
        {"half-width katakana, capacity", kana, 2, {0xB1}},
        {"half-width katakana, capacity - 1", kana, 1, {}},
        {"empty source", {}, 8, {}},
        {"emoji pair becomes one '?'", {0x41, 0xD83D, 0xDE00}, 8, {0x41, 0x3F}},
        {"lone surrogates", {0xDE00, 0x41, 0xD83D}, 8, {0x3F, 0x41, 0x3F}},
        {"e acute", {0xE9}, 8, {0x3F}},
        {"wave dash and fullwidth tilde", {0x301C, 0xFF5E}, 8, {0x81, 0x60, 0x81, 0x60}},
    };
    for (const ToAnsiCase& c : cases) {
        SCOPED_TRACE(c.name);
        AnsiResult r = ToAnsi(c.source, c.capacity);
        ASSERT_EQ(r.n, static_cast<int32_t>(c.expected.size()));
        EXPECT_EQ(Hex(r.buffer.data(), c.expected.size()),
                  Hex(c.expected.data(), c.expected.size()));
        EXPECT_EQ(r.buffer[c.expected.size()], 0);
        EXPECT_EQ(r.buffer[static_cast<size_t>(c.capacity)], kUntouched);
    }
}

TEST(JcharsToAnsiConversion, NegativeCountAndZeroCapacity) {
    const Units text = {0x41, 0x42};
    char buffer[4] = {'Z', 'Z', 'Z', 'Z'};
    EXPECT_EQ(jov::JcharsToAnsi(buffer, 4, text.data(), -5), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(jov::JcharsToAnsi(buffer, 4, nullptr, 0), 0);
    EXPECT_EQ(buffer[0], 0);
    buffer[0] = 'Z';
    EXPECT_EQ(jov::JcharsToAnsi(buffer, 0, text.data(), 2), 0);
    EXPECT_EQ(buffer[0], 'Z');
}

TEST(JcharsToAnsiConversion, LongAsciiText) {
    Units source(100000);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<jchar>(0x20 + i % 0x5F);
    AnsiResult r = ToAnsi(source, 100001);
    ASSERT_EQ(r.n, 100000);
    for (size_t i = 0; i < source.size(); ++i) ASSERT_EQ(r.buffer[i], source[i]) << i;
    EXPECT_EQ(r.buffer[100000], 0);
    EXPECT_EQ(ToAnsi(source, 100000).n, 99999);
    EXPECT_EQ(ToAnsi(source, 99999).n, 0);
}

// ---------------------------------------------------------------------------
// AnsiToJchars

struct ToJcharsCase {
    const char* name;
    ByteText source;
    int32_t capacity;
    Units expected;
};

TEST(AnsiToJcharsConversion, CapacityBoundaries) {
    const ByteText nihon = {0x93, 0xFA, 0x96, 0x7B};  // 2 units
    const ByteText mixed = {0x61, 0x93, 0xFA, 0xB1};  // a, nichi, ka: 3 units
    const ToJcharsCase cases[] = {
        {"kanji, capacity + 1: whole", nihon, 3, {0x65E5, 0x672C}},
        {"kanji, capacity: loses the last unit", nihon, 2, {0x65E5}},
        {"kanji, capacity - 1: empty", nihon, 1, {}},
        {"mixed, capacity + 1", mixed, 4, {0x61, 0x65E5, 0xFF71}},
        {"mixed, capacity", mixed, 3, {0x61, 0x65E5}},
        {"mixed, capacity - 1", mixed, 2, {}},
        {"byte count cuts a double-byte character", {0x93, 0xFA, 0x96}, 8, {0x65E5, 0x30FB}},
        {"empty source", {}, 8, {}},
        {"fullwidth tilde (not the JIS wave dash)", {0x81, 0x60}, 8, {0xFF5E}},
        {"invalid trail byte", {0x81, 0x20}, 8, {0x30FB, 0x20}},
        {"single bytes without a mapping",
         {0x80, 0xA0, 0xFD, 0xFE, 0xFF},
         8,
         {0x30FB, 0x30FB, 0x30FB, 0x30FB, 0x30FB}},
    };
    for (const ToJcharsCase& c : cases) {
        SCOPED_TRACE(c.name);
        JcharResult r = ToJchars(c.source, c.capacity);
        ASSERT_EQ(r.n, static_cast<int32_t>(c.expected.size()));
        EXPECT_EQ(Hex(r.buffer.data(), c.expected.size()),
                  Hex(c.expected.data(), c.expected.size()));
        EXPECT_EQ(r.buffer[c.expected.size()], 0);
        EXPECT_EQ(r.buffer[static_cast<size_t>(c.capacity)], kUntouchedUnit);
    }
}

TEST(AnsiToJcharsConversion, NegativeCountAndZeroCapacity) {
    const char text[] = "AB";
    jchar buffer[4] = {9, 9, 9, 9};
    EXPECT_EQ(jov::AnsiToJchars(buffer, 4, text, -5), 0);
    EXPECT_EQ(buffer[0], 0);
    buffer[0] = 9;
    EXPECT_EQ(jov::AnsiToJchars(buffer, 0, text, 2), 0);
    EXPECT_EQ(buffer[0], 9);
}

TEST(AnsiToJcharsConversion, LongAsciiText) {
    ByteText source(100000);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = static_cast<unsigned char>(0x20 + i % 0x5F);
    JcharResult r = ToJchars(source, 100001);
    ASSERT_EQ(r.n, 100000);
    for (size_t i = 0; i < source.size(); ++i) ASSERT_EQ(r.buffer[i], source[i]) << i;
    EXPECT_EQ(r.buffer[100000], 0);
    EXPECT_EQ(ToJchars(source, 100000).n, 99999);
    EXPECT_EQ(ToJchars(source, 99999).n, 0);
}

// ---------------------------------------------------------------------------
// Both ways

TEST(TextConversionRoundTrip, JapaneseTextComesBackUnchanged) {
    // "SELECT 名前 FROM 社員 WHERE 部署='ｿﾌﾄ'"
    const Units text = {0x53,   0x45,   0x4C, 0x45, 0x43,   0x54,   0x20,   0x540D,
                        0x524D, 0x20,   0x46, 0x52, 0x4F,   0x4D,   0x20,   0x793E,
                        0x54E1, 0x20,   0x57, 0x48, 0x45,   0x52,   0x45,   0x20,
                        0x90E8, 0x7F72, 0x3D, 0x27, 0xFF7F, 0xFF8C, 0xFF84, 0x27};
    char ansi[128];
    int32_t bytes =
        jov::JcharsToAnsi(ansi, sizeof ansi, text.data(), static_cast<int32_t>(text.size()));
    EXPECT_EQ(bytes, 38);
    jchar back[128];
    int32_t units = jov::AnsiToJchars(back, 128, ansi, bytes);
    ASSERT_EQ(units, static_cast<int32_t>(text.size()));
    EXPECT_EQ(Hex(back, text.size()), Hex(text.data(), text.size()));
}

}  // namespace
