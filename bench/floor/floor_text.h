// The floor's own text work, written apart from the library so that the
// floor measures ODBC and nothing of the bridge: Windows-31J bytes to UTF-16,
// the "%lf" rendering of doubles without trailing zeros, and the rewrite of a
// driver's date/time text in date style 21 (yy/mm/dd hh:mm:ss).
#pragma once

#include <iconv.h>

#include <cstdint>

namespace jov::bench {

// Windows-31J to UTF-16 through iconv; ASCII texts are widened directly.
class AnsiToUtf16 {
public:
    AnsiToUtf16();
    ~AnsiToUtf16();
    AnsiToUtf16(const AnsiToUtf16&) = delete;
    AnsiToUtf16& operator=(const AnsiToUtf16&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    // Converts length bytes into out (capacity units, at least length); returns
    // the units written, 0 when the text has no UTF-16 form or does not fit.
    int32_t Convert(const char* text, int32_t length, char16_t* out, int32_t capacity);

private:
    iconv_t cd_;
};

// "%lf" of value at out (outSize bytes) without the trailing zeros after the
// point, one digit after it kept: 1.500000 -> 1.5, 2.000000 -> 2.0. Returns
// the length.
int32_t FormatDouble(double value, char* out, int32_t outSize);

// "%d" of value at out (outSize bytes); returns the length.
int32_t FormatInteger(int32_t value, char* out, int32_t outSize);

// Rewrites the date/time text of length bytes at text (room for at least 18
// bytes) as "yy/mm/dd hh:mm:ss", yy being the year less 1900, less 100 more
// while 100 or more. Reads "yyyy-mm-dd hh:mm:ss" with an optional fraction, or
// a date alone; other texts stay as they are. Returns the new length.
int32_t RewriteDateStyle21(char* text, int32_t length);

}  // namespace jov::bench
