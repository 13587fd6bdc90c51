#include "driver/text/windows31j.h"

#include "driver/text/refusal.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace jov::driver::text {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

#ifdef _WIN32
constexpr UINT kWindows31j = 932;

// The raw conversion: false when a character has no mapping at all.
bool Encode(const char16_t* units, size_t count, std::string* out) {
    if (count == 0) return true;
    const auto* wide = reinterpret_cast<const wchar_t*>(units);
    const int n = static_cast<int>(count);
    BOOL usedDefault = FALSE;
    const int bytes = WideCharToMultiByte(kWindows31j, WC_NO_BEST_FIT_CHARS, wide, n, nullptr, 0,
                                          nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault) return false;
    const size_t start = out->size();
    out->resize(start + static_cast<size_t>(bytes));
    WideCharToMultiByte(kWindows31j, WC_NO_BEST_FIT_CHARS, wide, n, &(*out)[start], bytes,
                        nullptr, &usedDefault);
    return !usedDefault;
}

Utf16 Decode(const char* bytes, size_t length) {
    if (length == 0) return Utf16();
    const int n = static_cast<int>(length);
    const int units = MultiByteToWideChar(kWindows31j, 0, bytes, n, nullptr, 0);
    Utf16 out(static_cast<size_t>(units), u'\0');
    MultiByteToWideChar(kWindows31j, 0, bytes, n, reinterpret_cast<wchar_t*>(&out[0]), units);
    return out;
}
#else
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr char kUtf16[] = "UTF-16BE";
#else
constexpr char kUtf16[] = "UTF-16LE";
#endif
constexpr char kWindows31j[] = "CP932";
constexpr size_t kScratchSize = 4096;

// One iconv descriptor per direction and thread: a descriptor carries state
// and must not be shared between threads.
class Descriptor {
  public:
    Descriptor(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Descriptor() {
        if (ok()) iconv_close(cd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

  private:
    iconv_t cd_;
};

Descriptor& ToWindows31j() {
    thread_local Descriptor descriptor(kWindows31j, kUtf16);
    return descriptor;
}

Descriptor& ToUtf16() {
    thread_local Descriptor descriptor(kUtf16, kWindows31j);
    return descriptor;
}

bool Encode(const char16_t* units, size_t count, std::string* out) {
    Descriptor& d = ToWindows31j();
    if (!d.ok()) return false;
    iconv(d.get(), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(reinterpret_cast<const char*>(units));
    size_t inLeft = count * sizeof(char16_t);
    char scratch[kScratchSize];
    while (inLeft > 0) {
        char* target = scratch;
        size_t room = sizeof scratch;
        const size_t rc = iconv(d.get(), &in, &inLeft, &target, &room);
        out->append(scratch, static_cast<size_t>(target - scratch));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
}

Utf16 Decode(const char* bytes, size_t length) {
    Utf16 out;
    Descriptor& d = ToUtf16();
    if (!d.ok()) return Utf16(length, kReplacement);
    iconv(d.get(), nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes);
    size_t inLeft = length;
    char scratch[kScratchSize];
    while (inLeft > 0) {
        char* target = scratch;
        size_t room = sizeof scratch;
        const size_t rc = iconv(d.get(), &in, &inLeft, &target, &room);
        out.append(reinterpret_cast<const char16_t*>(scratch),
                   static_cast<size_t>(target - scratch) / sizeof(char16_t));
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // A byte that starts no character, or a lead byte at the end.
            out.push_back(kReplacement);
            ++in;
            --inLeft;
        }
    }
    return out;
}
#endif

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Whether the units encode to bytes that decode to the same units.
bool RoundTrips(const char16_t* units, size_t count, std::string* bytes) {
    bytes->clear();
    if (!Encode(units, count, bytes)) return false;
    return Decode(bytes->data(), bytes->size()) == Utf16(units, count);
}

// The first character of units that does not round-trip on its own.
Diagnostic FirstRefused(const Utf16& units) {
    std::string bytes;
    for (size_t i = 0; i < units.size(); ++i) {
        const bool pair = IsHigh(units[i]) && i + 1 < units.size() && IsLow(units[i + 1]);
        const size_t width = pair ? 2 : 1;
        if (!RoundTrips(&units[i], width, &bytes)) {
            char32_t c = units[i];
            if (pair) c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            return Unencodable(c, i, "has no mapping in Windows-31J");
        }
        i += width - 1;
    }
    return Unencodable(0xFFFD, 0, "has no mapping in Windows-31J");
}

}  // namespace

bool Utf16ToWindows31j(const Utf16& units, std::string* out, Diagnostic* failure) {
    std::string bytes;
    if (!RoundTrips(units.data(), units.size(), &bytes)) {
        *failure = FirstRefused(units);
        return false;
    }
    out->append(bytes);
    return true;
}

Utf16 Windows31jToUtf16(const char* bytes, size_t length) { return Decode(bytes, length); }

}  // namespace jov::driver::text
