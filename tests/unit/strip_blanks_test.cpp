// StripBlanks and StripBlanksUpper on Windows-31J texts: one table, each case
// run through both, with guard bytes after the terminator that must neither be
// read into the text nor be written.
#include <gtest/gtest.h>

#include <vector>

#include "odbcaccs/OdbcAccs.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct StripCase {
    const char* what;
    Bytes text;   // without terminator
    Bytes plain;  // StripBlanks
    Bytes upper;  // StripBlanksUpper
};

// Bytes that would change the result if the routines went on past the
// terminator: a lower-case letter, a blank and a full-width space.
const Bytes kGuard = {'a', ' ', 0x81, 0x40, 'b', 0};

const StripCase kCases[] = {
    {"blanks, CR and LF dropped",
     {'A', ' ', 'B', '\r', '\n', 'C'},
     {'A', 'B', 'C'},
     {'A', 'B', 'C'}},
    {"full-width space dropped", {'A', 0x81, 0x40, 'B'}, {'A', 'B'}, {'A', 'B'}},
    {"0x81 as a trail byte is no full-width space",
     {0x82, 0x81, 0x40},
     {0x82, 0x81, 0x40},
     {0x82, 0x81, 0x40}},
    {"blanks only", {' ', '\r', '\n', 0x81, 0x40, ' '}, {}, {}},
    {"empty", {}, {}, {}},
    {"a to z upper-cased only by the upper variant",
     {' ', 'a', '\r', '\n', 'b'},
     {'a', 'b'},
     {'A', 'B'}},
    {"letters around a to z kept",
     {'`', 'z', '{', '@'},
     {'`', 'z', '{', '@'},
     {'`', 'Z', '{', '@'}},
    {"tab kept", {'\t', 'x'}, {'\t', 'x'}, {'\t', 'X'}},
    {"double-byte letter kept", {0x82, 0x60}, {0x82, 0x60}, {0x82, 0x60}},
    {"trail byte of a lower-case code not upper-cased", {0x81, 0x61}, {0x81, 0x61}, {0x81, 0x61}},
    {"trail byte of a blank code kept",
     {0xE0, ' ', 0x9F, '\n'},
     {0xE0, ' ', 0x9F, '\n'},
     {0xE0, ' ', 0x9F, '\n'}},
    {"single-byte katakana kept", {0xB1, ' ', 0xDF, 0xA0}, {0xB1, 0xDF, 0xA0}, {0xB1, 0xDF, 0xA0}},
    {"lead byte at the end kept", {'a', 'b', 0x82}, {'a', 'b', 0x82}, {'A', 'B', 0x82}},
    {"lead byte 0xFF at the end kept", {' ', 0xFF}, {0xFF}, {0xFF}},
};

Bytes StripOnce(void (*strip)(char*), const Bytes& text, Bytes* after) {
    Bytes buffer = text;
    buffer.push_back(0);
    buffer.insert(buffer.end(), kGuard.begin(), kGuard.end());
    strip(reinterpret_cast<char*>(buffer.data()));
    std::size_t end = 0;
    while (buffer[end] != 0) ++end;
    after->assign(buffer.begin() + static_cast<std::ptrdiff_t>(text.size()) + 1, buffer.end());
    return Bytes(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(end));
}

TEST(StripBlanks, TableOfTexts) {
    for (const StripCase& c : kCases) {
        SCOPED_TRACE(c.what);
        Bytes after;
        EXPECT_EQ(StripOnce(jov::OdbcAccs::StripBlanks, c.text, &after), c.plain);
        EXPECT_EQ(after, kGuard) << "written past the terminator";
        EXPECT_EQ(StripOnce(jov::OdbcAccs::StripBlanksUpper, c.text, &after), c.upper);
        EXPECT_EQ(after, kGuard) << "written past the terminator";
    }
}

}  // namespace
