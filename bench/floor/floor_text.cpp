#include "bench/floor/floor_text.h"

#include <charconv>
#include <cstdio>
#include <cstring>

namespace jov::bench {

AnsiToUtf16::AnsiToUtf16() : cd_(iconv_open("UTF-16LE", "CP932")) {}

AnsiToUtf16::~AnsiToUtf16() {
    if (ok()) iconv_close(cd_);
}

int32_t AnsiToUtf16::Convert(const char* text, int32_t length, char16_t* out, int32_t capacity) {
    int32_t i = 0;
    while (i < length && static_cast<unsigned char>(text[i]) < 0x80) ++i;
    if (i == length) {
        for (int32_t k = 0; k < length; ++k) out[k] = static_cast<char16_t>(text[k]);
        return length;
    }
    char* in = const_cast<char*>(text);
    std::size_t inLeft = static_cast<std::size_t>(length);
    char* target = reinterpret_cast<char*>(out);
    std::size_t outLeft = static_cast<std::size_t>(capacity) * sizeof(char16_t);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd_, &in, &inLeft, &target, &outLeft) == static_cast<std::size_t>(-1)) return 0;
    return capacity - static_cast<int32_t>(outLeft / sizeof(char16_t));
}

// "%lf" through std::to_chars (the same text, without printf's cost), as the
// library renders it, so that both sides pay the same for a double.
int32_t FormatDouble(double value, char* out, int32_t outSize) {
    const std::to_chars_result result =
        std::to_chars(out, out + outSize - 1, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) {
        out[0] = 0;
        return 0;
    }
    *result.ptr = 0;
    const int32_t written = static_cast<int32_t>(result.ptr - out);
    const char* point = std::strrchr(out, '.');
    if (point == nullptr || point[1] == 0) return written;
    int32_t end = written;
    const int32_t keep = static_cast<int32_t>(point - out) + 2;
    while (end > keep && out[end - 1] == '0') --end;
    out[end] = 0;
    return end;
}

int32_t FormatInteger(int32_t value, char* out, int32_t outSize) {
    const std::to_chars_result result = std::to_chars(out, out + outSize - 1, value);
    *result.ptr = 0;
    return static_cast<int32_t>(result.ptr - out);
}

namespace {

// Reads width digits at p into *value; false when one is not a digit.
bool Digits(const char* p, int width, int* value) {
    int v = 0;
    for (int i = 0; i < width; ++i) {
        if (p[i] < '0' || p[i] > '9') return false;
        v = v * 10 + (p[i] - '0');
    }
    *value = v;
    return true;
}

char* Two(char* p, int value) {
    p[0] = static_cast<char>('0' + value / 10 % 10);
    p[1] = static_cast<char>('0' + value % 10);
    return p + 2;
}

}  // namespace

int32_t RewriteDateStyle21(char* text, int32_t length) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (length < 10 || !Digits(text, 4, &year) || text[4] != '-' || !Digits(text + 5, 2, &month) ||
        text[7] != '-' || !Digits(text + 8, 2, &day)) {
        return length;
    }
    if (length >= 19 &&
        (text[10] != ' ' || !Digits(text + 11, 2, &hour) || text[13] != ':' ||
         !Digits(text + 14, 2, &minute) || text[16] != ':' || !Digits(text + 17, 2, &second))) {
        return length;
    }
    int yy = year - 1900;
    if (yy >= 100) yy -= 100;
    char* p = Two(text, yy);
    *p++ = '/';
    p = Two(p, month);
    *p++ = '/';
    p = Two(p, day);
    *p++ = ' ';
    p = Two(p, hour);
    *p++ = ':';
    p = Two(p, minute);
    *p++ = ':';
    p = Two(p, second);
    *p = 0;
    return static_cast<int32_t>(p - text);
}

}  // namespace jov::bench
