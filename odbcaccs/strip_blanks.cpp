// Blank removal from Windows-31J (Shift-JIS) texts, in place.
//
// A byte 0x80..0x9F or 0xE0..0xFF leads a double-byte character and is taken
// together with the byte after it, so a trail byte is never looked at on its
// own: 0x82 0x81 0x40 is one character and a single 0x40, not a full-width
// space. The full-width space 0x81 0x40 and the single-byte space, carriage
// return and line feed are dropped. A lead byte at the very end stays, and
// nothing beyond the terminator is read.
#include "odbcaccs/OdbcAccs.h"

namespace jov {

namespace {

bool IsLeadByte(unsigned char b) { return (b >= 0x80 && b <= 0x9F) || b >= 0xE0; }

bool IsBlank(unsigned char b) { return b == 0x20 || b == 0x0D || b == 0x0A; }

template <bool kUpperCase>
void Strip(char* text) {
    unsigned char* s = reinterpret_cast<unsigned char*>(text);
    std::size_t read = 0;
    std::size_t write = 0;
    while (s[read] != 0) {
        unsigned char b = s[read];
        if (IsLeadByte(b)) {
            if (s[read + 1] == 0) {  // lead byte without its second byte
                s[write++] = b;
                break;
            }
            unsigned char trail = s[read + 1];
            if (!(b == 0x81 && trail == 0x40)) {
                s[write++] = b;
                s[write++] = trail;
            }
            read += 2;
            continue;
        }
        if (!IsBlank(b)) s[write++] = kUpperCase && b >= 'a' && b <= 'z' ? b - 0x20 : b;
        ++read;
    }
    s[write] = 0;
}

}  // namespace

void OdbcAccs::StripBlanks(char* text) { Strip<false>(text); }

void OdbcAccs::StripBlanksUpper(char* text) { Strip<true>(text); }

}  // namespace jov
