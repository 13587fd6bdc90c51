// The driver path's text encodings at their edges: surrogate pairs whole,
// lone surrogates and U+0000 refused, Windows-31J refusing what it cannot
// carry (and what it would carry only one way) with the character and its
// index, undecodable bytes visible.
#include <gtest/gtest.h>

#include <string>

#include "driver/text/odbc_text.h"
#include "driver/text/utf8.h"
#include "driver/text/windows31j.h"

namespace {

using jov::driver::Diagnostic;
using jov::driver::Utf16;
using jov::driver::text::Charset;
using jov::driver::text::Codec;

std::string Message(const Diagnostic& d) { return std::string(d.message.begin(), d.message.end()); }

TEST(DriverUtf8Test, SurrogatePairsCrossAsOneFourByteSequenceBothWays) {
    const Utf16 text(u"a😀𠮷é\u0000z", 8);
    std::string bytes;
    Diagnostic failure;
    ASSERT_TRUE(jov::driver::text::Utf16ToUtf8(text, &bytes, &failure));
    EXPECT_EQ(bytes, std::string("a\xF0\x9F\x98\x80\xF0\xA0\xAE\xB7\xC3\xA9\0z", 13));
    EXPECT_EQ(jov::driver::text::Utf8ToUtf16(bytes.data(), bytes.size()), text);
}

TEST(DriverUtf8Test, LoneSurrogatesAreRefusedWithTheirIndex) {
    for (const Utf16& text : {Utf16(u"ab\xD83D"), Utf16(u"ab\xDE00x"), Utf16(u"ab\xD83Dx")}) {
        std::string bytes;
        Diagnostic failure;
        EXPECT_FALSE(jov::driver::text::Utf16ToUtf8(text, &bytes, &failure));
        EXPECT_EQ(failure.state, "22021");
        EXPECT_NE(Message(failure).find(" at index 2 "), std::string::npos) << Message(failure);
    }
}

TEST(DriverUtf8Test, BytesThatAreNotUtf8EachBecomeOneReplacement) {
    // A cut sequence, an overlong '/', an encoded surrogate, then valid text.
    const std::string bytes = "\xE4\xB8" "x" "\xC0\xAF" "\xED\xA0\x80" "\xC3\xA9";
    EXPECT_EQ(jov::driver::text::Utf8ToUtf16(bytes.data(), bytes.size()),
              u"\xFFFD\xFFFDx\xFFFD\xFFFD\xFFFD\xFFFD\xFFFDé");
}

TEST(DriverWindows31jTest, MappedTextCrossesBothWays) {
    const Utf16 text = u"ソ表能～\\~ｱ";
    std::string bytes;
    Diagnostic failure;
    ASSERT_TRUE(jov::driver::text::Utf16ToWindows31j(text, &bytes, &failure));
    EXPECT_EQ(bytes, "\x83\x5C\x95\x5C\x94\x5C\x81\x60\\~\xB1");
    EXPECT_EQ(jov::driver::text::Windows31jToUtf16(bytes.data(), bytes.size()), text);
}

TEST(DriverWindows31jTest, CharactersWithoutAnExactMappingAreRefusedByName) {
    const struct {
        Utf16 text;
        Utf16 named;
    } cases[] = {{u"ソé", u"U+00E9 'é' at index 1"},
                 {u"xx😀", u"U+1F600 '😀' at index 2"},
                 {u"〜", u"U+301C '〜' at index 0"},  // WAVE DASH: CP932 has FULLWIDTH TILDE only
                 {u"\\¥", u"U+00A5 '¥' at index 1"},  // kept apart from the backslash
                 {u"a\xDC00", u"U+DC00 at index 1"}};
    for (const auto& c : cases) {
        std::string bytes;
        Diagnostic failure;
        EXPECT_FALSE(jov::driver::text::Utf16ToWindows31j(c.text, &bytes, &failure));
        EXPECT_EQ(failure.state, "22021");
        EXPECT_NE(failure.message.find(c.named), Utf16::npos) << Message(failure);
    }
}

TEST(DriverWindows31jTest, UndecodableBytesBecomeTheCodePagesReplacement) {
    const std::string bytes = "ab\x81";  // a lead byte with no trail byte
    EXPECT_EQ(jov::driver::text::Windows31jToUtf16(bytes.data(), bytes.size()), u"ab\x30FB");
}

TEST(DriverCodecTest, NulIsRefusedInCommandsButCarriedInValues) {
    for (Charset charset : {Charset::kUnicode, Charset::kWindows31j}) {
        const Codec codec(charset);
        std::string bytes;
        Diagnostic failure;
        EXPECT_FALSE(codec.EncodeCommand(Utf16(u"DSN=a\u0000;PWD=b", 12), &bytes, &failure));
        EXPECT_EQ(failure.state, "HY009");
        EXPECT_NE(Message(failure).find("index 5"), std::string::npos);
        bytes.clear();
        EXPECT_TRUE(codec.EncodeValue(Utf16(u"a\u0000b", 3), &bytes, &failure));
        EXPECT_EQ(bytes, std::string("a\0b", 3));
    }
}

}  // namespace
