// Blank stripping of Shift-JIS texts, StripBlanks and StripBlanksUpper.
//
// Input: the text (any bytes; the first NUL ends it), placed in a buffer of
// exactly its size so that a read or write past the terminator is reported.
//
// Properties: the result is never longer than the text; stripping is
// idempotent (what remains is whole characters without blanks, so a second
// pass keeps it); the two routines agree apart from case (each applied to
// the other's result gives its own result); and no single-byte blank is left
// outside a double-byte character.
#include <string>

#include "tests/fuzz/fuzz_support.h"

namespace {

using Strip = void (*)(char*);

std::string Stripped(const std::string& text, Strip strip) {
    std::unique_ptr<char[]> buffer = ExactCopy(text);
    strip(buffer.get());
    FUZZ_CHECK(Terminated(buffer.get(), text.size() + 1));
    return std::string(buffer.get());
}

bool IsLeadByte(unsigned char b) { return (b >= 0x80 && b <= 0x9F) || b >= 0xE0; }

// Walks the result unit by unit: single bytes must not be blanks, and no
// full-width space may remain.
void CheckNoBlanks(const std::string& text, bool upper) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (IsLeadByte(b)) {
            if (i + 1 < text.size()) {
                FUZZ_CHECK(!(b == 0x81 && static_cast<unsigned char>(text[i + 1]) == 0x40));
            }
            ++i;
            continue;
        }
        FUZZ_CHECK(b != 0x20 && b != 0x0D && b != 0x0A);
        if (upper) FUZZ_CHECK(!(b >= 'a' && b <= 'z'));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data),
                           strnlen(reinterpret_cast<const char*>(data), size));
    const std::string plain = Stripped(text, &jov::OdbcAccs::StripBlanks);
    const std::string upper = Stripped(text, &jov::OdbcAccs::StripBlanksUpper);

    FUZZ_CHECK(plain.size() <= text.size());
    FUZZ_CHECK(upper.size() == plain.size());
    CheckNoBlanks(plain, false);
    CheckNoBlanks(upper, true);
    FUZZ_CHECK(Stripped(plain, &jov::OdbcAccs::StripBlanks) == plain);
    FUZZ_CHECK(Stripped(upper, &jov::OdbcAccs::StripBlanksUpper) == upper);
    FUZZ_CHECK(Stripped(plain, &jov::OdbcAccs::StripBlanksUpper) == upper);
    FUZZ_CHECK(Stripped(upper, &jov::OdbcAccs::StripBlanks) == upper);
    return 0;
}
