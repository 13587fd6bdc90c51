// Rendering of stored values as text: one table row per SQL type and stored
// form, then the cases around it (no value, destination copy, hex cap, wide
// conversion, date style) and the two text routines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/render_buffer.h"
#include "tests/unit/hand_built_catalogue.h"

namespace {

using Bytes = std::vector<unsigned char>;
using jov::ColumnInfo;

template <typename T>
Bytes BytesOf(T value) {
    Bytes bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// One column on cursor 1 with a row buffer, ready to render.
class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        t.AddRowBuffer();
        column = t.AddCatalogue(1, 1);
    }

    std::string Render(int16_t sqlType, const Bytes& bytes, int32_t valueIsText = 0) {
        column->sqlType = sqlType;
        column->valueIsText = valueIsText;
        HandBuiltCatalogue::SetValue(*column, bytes);
        const char* text = t.obj.GetColumnDataString(1, 1, nullptr, 0);
        EXPECT_NE(text, nullptr);
        if (text == nullptr) return "<null>";
        // The value natives' rendering: the same text, exactly its bytes.
        jov::RenderBuffer buffer;
        const jov::RenderedText rendered = t.obj.RenderColumnValue(1, 1, buffer);
        EXPECT_EQ(std::string(rendered.text, static_cast<size_t>(rendered.length)), text);
        EXPECT_TRUE(!rendered.terminated || rendered.text[rendered.length] == 0);
        return text;
    }

    HandBuiltCatalogue t;
    ColumnInfo* column = nullptr;
};

struct RenderCase {
    const char* what;
    int16_t sqlType;
    Bytes stored;
    int32_t valueIsText;
    std::string expected;
};

const RenderCase kCases[] = {
    // Floating point: "%f" then the trailing zeros trimmed.
    {"double 1.5", SQL_DOUBLE, BytesOf(1.5), 0, "1.5"},
    {"double 2.0", SQL_DOUBLE, BytesOf(2.0), 0, "2.0"},
    {"double 100.0", SQL_DOUBLE, BytesOf(100.0), 0, "100.0"},
    {"double -3.25", SQL_DOUBLE, BytesOf(-3.25), 0, "-3.25"},
    {"double below six decimals", SQL_DOUBLE, BytesOf(0.0000001), 0, "0.0"},
    {"float is a double", SQL_FLOAT, BytesOf(1.25), 0, "1.25"},
    {"real 0.1", SQL_REAL, BytesOf(0.1f), 0, "0.1"},
    {"real -2.5", SQL_REAL, BytesOf(-2.5f), 0, "-2.5"},
    // Fixed-width integers in their C types.
    {"integer -1", SQL_INTEGER, {0xFF, 0xFF, 0xFF, 0xFF}, 0, "-1"},
    {"integer min", SQL_INTEGER, {0x00, 0x00, 0x00, 0x80}, 0, "-2147483648"},
    {"smallint", SQL_SMALLINT, {0xFF, 0x7F}, 0, "32767"},
    {"tinyint is signed", SQL_TINYINT, {0xC8}, 0, "-56"},
    {"bit", SQL_BIT, {0x01}, 0, "1"},
    {"bigint max", SQL_BIGINT, BytesOf(INT64_C(9223372036854775807)), 0, "9223372036854775807"},
    {"bigint -1", SQL_BIGINT, BytesOf(INT64_C(-1)), 0, "-1"},
    // Values shorter than their type's width.
    {"short integer", SQL_INTEGER, {0x01, 0x02}, 0, ""},
    {"short smallint", SQL_SMALLINT, {0x01}, 0, ""},
    {"short bigint", SQL_BIGINT, {1, 2, 3, 4, 5, 6, 7}, 0, ""},
    {"short double", SQL_DOUBLE, BytesOf(1.5f), 0, ""},
    {"short real", SQL_REAL, {0x00, 0x00, 0x80}, 0, ""},
    // Numbers held as text: the driver's, or one too wide for its column.
    {"integer read as text", SQL_INTEGER, TextBytes("12345"), 1, "12345"},
    {"tinyint read as text", SQL_TINYINT, TextBytes("-56"), 1, "-56"},
    {"bigint read as text", SQL_BIGINT, TextBytes("-7"), 1, "-7"},
    {"double read as text", SQL_DOUBLE, TextBytes("1.50"), 1, "1.50"},
    {"wide read as text", SQL_WVARCHAR, TextBytes("abc"), 1, "abc"},
    // Texts as they are.
    {"char", SQL_CHAR, TextBytes("abc  "), 0, "abc  "},
    {"varchar Shift-JIS", SQL_VARCHAR, {0x93, 0xFA, 0x96, 0x7B}, 0, "\x93\xFA\x96\x7B"},
    {"longvarchar", SQL_LONGVARCHAR, TextBytes("x\ny"), 0, "x\ny"},
    {"char read as text", SQL_CHAR, TextBytes("abc"), 1, "abc"},
    {"decimal untrimmed", SQL_DECIMAL, TextBytes("123.4500"), 0, "123.4500"},
    {"numeric untrimmed", SQL_NUMERIC, TextBytes("-0.10"), 0, "-0.10"},
    // Binary as lowercase hex.
    {"binary", SQL_BINARY, {0x00, 0x0A, 0xFF}, 0, "000aff"},
    {"varbinary", SQL_VARBINARY, {0x12, 0xAB}, 0, "12ab"},
    {"longvarbinary", SQL_LONGVARBINARY, {0xC0}, 0, "c0"},
    // Types without a rendering.
    {"guid", SQL_GUID, Bytes(16, 0x11), 0, ""},
    {"guid read as text", SQL_GUID, TextBytes("1234"), 1, ""},
    {"type 0", 0, {0x31}, 0, ""},
    {"type 13", 13, {0x31}, 0, ""},
    {"type 90", 90, {0x31}, 0, ""},
    {"type 94", 94, {0x31}, 0, ""},
    {"type -12", -12, {0x31}, 0, ""},
};

TEST_F(RenderTest, TableOfTypes) {
    for (const RenderCase& c : kCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Render(c.sqlType, c.stored, c.valueIsText), c.expected);
    }
}

TEST_F(RenderTest, NonFiniteDoublesRenderWithoutHarm) {
    const double kValues[] = {std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    for (double v : kValues) {
        const std::string text = Render(SQL_DOUBLE, BytesOf(v));
        EXPECT_FALSE(text.empty());
        EXPECT_LT(text.size(), 8u) << text;
    }
    EXPECT_EQ(Render(SQL_REAL, BytesOf(std::numeric_limits<float>::infinity())).find('.'),
              std::string::npos);
}

// Doubles read as printf's "%lf" reads them, then trimmed: the rounding of
// the sixth decimal (ties included), tiny, huge and negative values, and any
// bit pattern at all.
TEST_F(RenderTest, DoublesReadAsPrintfWritesThem) {
    auto printed = [](double v) {
        char text[400];
        std::snprintf(text, sizeof text, "%lf", v);
        jov::OdbcAccs::TrimTrailingZeros(text);
        return std::string(text);
    };
    std::vector<double> values = {0.0000005, 0.0000015, 0.0000025, 1.0000005, 2.5e-7,
                                  -0.0,      -1e-7,     5e-324,    123456789.1234565,
                                  1e22,      -1.7e308,  0.1f,      9007199254740993.0};
    uint64_t bits = 0x9E3779B97F4A7C15u;
    for (int i = 0; i < 5000; ++i) {
        bits ^= bits << 13;
        bits ^= bits >> 7;
        bits ^= bits << 17;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        values.push_back(v);
    }
    for (double v : values) {
        SCOPED_TRACE(v);
        EXPECT_EQ(Render(SQL_DOUBLE, BytesOf(v)), printed(v));
    }
}

TEST_F(RenderTest, LargestDoubleFitsAndIsTrimmed) {
    const std::string text = Render(SQL_DOUBLE, BytesOf(std::numeric_limits<double>::max()));
    EXPECT_EQ(text.size(), 311u);
    EXPECT_EQ(text.substr(text.size() - 2), ".0");
}

TEST_F(RenderTest, BinaryHexIsCappedAt32768Bytes) {
    struct Size {
        std::size_t stored;
        std::size_t digits;
    };
    const Size kSizes[] = {
        {32767, 65534}, {32768, 65536}, {32769, 65536}, {40000, 65536}, {65536, 65536}};
    for (const Size& s : kSizes) {
        SCOPED_TRACE(s.stored);
        Bytes value(s.stored);
        for (std::size_t i = 0; i < value.size(); ++i) value[i] = static_cast<unsigned char>(i);
        const std::string text = Render(SQL_LONGVARBINARY, value);
        ASSERT_EQ(text.size(), s.digits);
        EXPECT_EQ(text.substr(0, 8), "00010203");
        EXPECT_EQ(text.substr(text.size() - 4), s.digits == 65536 ? "feff" : "fdfe");
    }
}

TEST_F(RenderTest, EmptyValueAfterALongerOneIsTheEmptyText) {
    Render(SQL_CHAR, TextBytes("longer"));
    HandBuiltCatalogue::SetValue(*column, Bytes());
    char destination[8] = "xxxxxxx";
    const char* text = t.obj.GetColumnDataString(1, 1, destination, sizeof destination);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "");
    EXPECT_STREQ(destination, "");
}

TEST_F(RenderTest, NothingToRenderGivesNullAndAnEmptyDestination) {
    column->sqlType = SQL_CHAR;
    char destination[8];

    std::strcpy(destination, "xxx");
    EXPECT_EQ(t.obj.GetColumnDataString(1, 1, destination, 8), nullptr) << "never held a value";
    EXPECT_STREQ(destination, "");

    HandBuiltCatalogue::SetValue(*column, TextBytes("abc"));
    column->isNull = 1;
    std::strcpy(destination, "xxx");
    EXPECT_EQ(t.obj.GetColumnDataString(1, 1, destination, 8), nullptr) << "NULL";
    EXPECT_STREQ(destination, "");
    column->isNull = 0;

    const int32_t kInvalid[][2] = {{1, 0}, {1, 2}, {0, 1}, {33, 1}, {2, 1}, {-1, 1}};
    for (const auto& where : kInvalid) {
        SCOPED_TRACE(testing::Message() << where[0] << "/" << where[1]);
        std::strcpy(destination, "xxx");
        EXPECT_EQ(t.obj.GetColumnDataString(where[0], where[1], destination, 8), nullptr);
        EXPECT_STREQ(destination, "");
    }
    EXPECT_STREQ(t.obj.errorMessage, "");
    EXPECT_STREQ(t.obj.errorCode, "");
}

TEST(RenderBeforeFetch, NoRowBufferGivesNull) {
    HandBuiltCatalogue t;
    ColumnInfo* column = t.AddCatalogue(1, 1);
    column->sqlType = SQL_CHAR;
    HandBuiltCatalogue::SetValue(*column, TextBytes("abc"));
    char destination[4] = "xxx";
    EXPECT_EQ(t.obj.GetColumnDataString(1, 1, destination, 4), nullptr);
    EXPECT_STREQ(destination, "");
}

TEST_F(RenderTest, DestinationReceivesWhatFits) {
    struct Copy {
        int32_t size;
        const char* expected;
    };
    const Copy kCopies[] = {{1, ""}, {4, "123"}, {5, "1234"}, {6, "12345"}, {64, "12345"}};
    column->sqlType = SQL_CHAR;
    HandBuiltCatalogue::SetValue(*column, TextBytes("12345"));
    for (const Copy& c : kCopies) {
        SCOPED_TRACE(c.size);
        std::vector<char> destination(static_cast<std::size_t>(c.size) + 4, '#');
        const char* text = t.obj.GetColumnDataString(1, 1, destination.data(), c.size);
        ASSERT_NE(text, nullptr);
        EXPECT_STREQ(text, "12345") << "the result is the whole text";
        EXPECT_STREQ(destination.data(), c.expected);
        EXPECT_EQ(destination[static_cast<std::size_t>(c.size)], '#') << "written past its size";
    }
}

TEST_F(RenderTest, DestinationStopsAtAnEmbeddedTerminator) {
    column->sqlType = SQL_VARCHAR;
    HandBuiltCatalogue::SetValue(*column, Bytes{'a', 0, 'b'});
    char destination[8] = "xxxxxxx";
    ASSERT_NE(t.obj.GetColumnDataString(1, 1, destination, 8), nullptr);
    EXPECT_STREQ(destination, "a");
}

TEST_F(RenderTest, RenderingAllocatesNothing) {
    Render(SQL_DOUBLE, BytesOf(1.5));  // the value buffer is allocated here
    const long before = FakePlatform::AllocationCount();
    t.obj.GetColumnDataString(1, 1, nullptr, 0);
    column->sqlType = SQL_BINARY;
    t.obj.GetColumnDataString(1, 1, nullptr, 0);
    column->sqlType = SQL_WCHAR;
    t.obj.GetColumnDataString(1, 1, nullptr, 0);
    EXPECT_EQ(FakePlatform::AllocationCount(), before);
}

// The two cases below need the CP932 conversion and the date styles.

TEST_F(RenderTest, WideCharactersBecomeWindows31J) {
    const Bytes kNihon = {0xE5, 0x65, 0x2C, 0x67};  // U+65E5 U+672C, UTF-16LE
    EXPECT_EQ(TextBytes(Render(SQL_WCHAR, kNihon)), (Bytes{0x93, 0xFA, 0x96, 0x7B}));
    Bytes odd = kNihon;
    odd.push_back(0x41);  // an odd last byte is no code unit
    EXPECT_EQ(TextBytes(Render(SQL_WVARCHAR, odd)), (Bytes{0x93, 0xFA, 0x96, 0x7B}));
    EXPECT_EQ(Render(SQL_WLONGVARCHAR, {0x41, 0x00, 0x42, 0x00}), "AB");
    EXPECT_EQ(Render(SQL_WCHAR, {0x41}), "") << "no whole code unit";
}

TEST_F(RenderTest, TimestampInDateStyle21) {
    EXPECT_EQ(Render(SQL_TYPE_TIMESTAMP, TextBytes("2004-04-30 21:50:08")), "04/04/30 21:50:08");
}

// --- TrimTrailingZeros and WideToAnsi ---

TEST(RenderTrimTrailingZeros, TableOfTexts) {
    struct Trim {
        const char* text;
        const char* expected;
    };
    const Trim kTrims[] = {
        {"1.500000", "1.5"},  {"1.000000", "1.0"},  {"100.000000", "100.0"},
        {"1.230000", "1.23"}, {"0.000000", "0.0"},  {"-3.250000", "-3.25"},
        {"100", "100"},       {"100.", "100."},     {"", ""},
        {"1.5", "1.5"},       {"10.0500", "10.05"}, {"1.2.300", "1.2.3"},
        {"inf", "inf"},       {"-nan", "-nan"},     {"0.0", "0.0"},
    };
    for (const Trim& c : kTrims) {
        SCOPED_TRACE(c.text);
        char buffer[32];
        std::strcpy(buffer, c.text);
        jov::OdbcAccs::TrimTrailingZeros(buffer);
        EXPECT_STREQ(buffer, c.expected);
    }
}

TEST(RenderWideToAnsi, OutputBounds) {
    const WCHAR kNihon[] = {0x65E5, 0x672C};
    struct Bound {
        int32_t outputSize;
        int32_t expected;
    };
    // Two double-byte characters need 4 bytes and the terminator; a text that
    // does not fit whole gives the empty text, never half a character.
    const Bound kBounds[] = {{5, 4}, {64, 4}, {4, 0}, {3, 0}, {1, 0}};
    for (const Bound& b : kBounds) {
        SCOPED_TRACE(b.outputSize);
        std::vector<char> output(static_cast<std::size_t>(b.outputSize) + 1, '#');
        EXPECT_EQ(jov::OdbcAccs::WideToAnsi(output.data(), b.outputSize, kNihon, 2), b.expected);
        EXPECT_EQ(output[static_cast<std::size_t>(b.expected)], 0);
        EXPECT_EQ(output[static_cast<std::size_t>(b.outputSize)], '#') << "written past its size";
    }
    char untouched = '#';
    EXPECT_EQ(jov::OdbcAccs::WideToAnsi(&untouched, 0, kNihon, 2), 0);
    EXPECT_EQ(untouched, '#');
}

}  // namespace
