// The ANSI code page conversions on Linux: Windows-31J (CP932) to and from
// UTF-16, with the bounds of the Win32 calls they stand in for.
//
// Speed: text is mostly ASCII, and in CP932 the bytes 0x00-0x7F and the units
// U+0000-U+007F map one to one both ways (0x5C is U+005C, 0x7E is U+007E, as
// glibc's CP932 has them). Runs of ASCII are therefore copied directly, and
// only the stretches between them go through glibc's iconv, one call per
// stretch. The result is the same as converting the whole text with iconv.
//
// Replacements: a conversion never fails because of the text itself.
// - Towards CP932, a character without a mapping becomes one '?': a character
//   outside CP932 (U+00E9), a valid surrogate pair (one '?' for the pair) and
//   an unpaired surrogate.
// - Towards UTF-16, bytes without a mapping become U+30FB KATAKANA MIDDLE DOT,
//   the default character of code page 932 on Windows: one for a lead byte
//   with a trail byte that make no character, one for a lead byte followed by
//   a non-trail byte or by the end (that next byte is then read on its own),
//   and one for each of the single bytes 0x80, 0xA0 and 0xFD-0xFF.
//
// Threads: an iconv descriptor carries conversion state and must not be used
// by two threads at once. Each thread opens its own pair of descriptors on its
// first non-ASCII conversion and closes them when it exits; nothing else is
// shared, so any number of threads may convert at the same time.
#include <iconv.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>

#include "platform/win32.h"

namespace {

#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
constexpr char kUtf16[] = "UTF-16BE";
#else
constexpr char kUtf16[] = "UTF-16LE";
#endif
constexpr char kAnsiCodePage[] = "CP932";

static_assert(sizeof(WCHAR) == 2, "WCHAR must be a 16-bit UTF-16 code unit");

// An ASCII run shorter than this between two non-ASCII stretches is handed to
// iconv with them: one iconv call costs more than converting a few ASCII
// characters inside it.
constexpr size_t kMinDirectAsciiRun = 8;

// One iconv descriptor, open for the life of its owner.
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

// The calling thread's descriptors, opened on its first use.
struct ThreadDescriptors {
    Descriptor toAnsi{kAnsiCodePage, kUtf16};
    Descriptor toWide{kUtf16, kAnsiCodePage};
};

ThreadDescriptors& Descriptors() {
    thread_local ThreadDescriptors descriptors;
    return descriptors;
}

// Where converted output goes: the caller's buffer, once the whole result is
// known to fit, or nowhere while measuring (iconv then writes into a scratch
// area that is only counted). Never writes past the buffer's capacity.
template <typename Unit>
class Output {
  public:
    // Measuring: counts, keeps nothing.
    Output() : dst_(nullptr), capacity_(0) {}
    // Writing into dst, which has room for capacity units.
    Output(Unit* dst, size_t capacity) : dst_(dst), capacity_(capacity) {}

    size_t count() const { return count_; }
    bool measuring() const { return dst_ == nullptr; }

    // Where the next units go and how many fit there.
    Unit* Window(size_t* room) {
        if (measuring()) {
            *room = kScratchUnits;
            return scratch_;
        }
        *room = capacity_ - count_;
        return dst_ + count_;
    }
    void Advance(size_t units) { count_ += units; }

    bool Put(Unit unit) {
        if (measuring()) {
            ++count_;
            return true;
        }
        if (count_ == capacity_) return false;
        dst_[count_++] = unit;
        return true;
    }

    // ASCII maps one to one, so each source unit becomes one output unit.
    template <typename From>
    bool PutAscii(const From* src, size_t n) {
        if (!measuring()) {
            if (capacity_ - count_ < n) return false;
            Unit* out = dst_ + count_;
            for (size_t i = 0; i < n; ++i) out[i] = static_cast<Unit>(src[i]);
        }
        count_ += n;
        return true;
    }

  private:
    static constexpr size_t kScratchUnits = 256;
    Unit* dst_;
    size_t capacity_;
    size_t count_ = 0;
    Unit scratch_[kScratchUnits];
};

// Length of the ASCII run at the start of p[0..n), eight bytes at a time.
size_t AsciiRun(const unsigned char* p, size_t n) {
    constexpr uint64_t kHighBits = 0x8080808080808080ull;
    size_t i = 0;
    for (uint64_t word; i + 8 <= n; i += 8) {
        std::memcpy(&word, p + i, 8);
        if (word & kHighBits) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

size_t AsciiRun(const WCHAR* p, size_t n) {
    constexpr uint64_t kNonAsciiBits = 0xFF80FF80FF80FF80ull;
    size_t i = 0;
    for (uint64_t word; i + 4 <= n; i += 4) {
        std::memcpy(&word, p + i, 8);
        if (word & kNonAsciiBits) break;
    }
    while (i < n && p[i] < 0x80) ++i;
    return i;
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }
bool IsHighSurrogate(WCHAR u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(WCHAR u) { return u >= 0xDC00 && u <= 0xDFFF; }

// UTF-16 to CP932.
struct ToAnsi {
    using From = WCHAR;
    using To = char;
    static constexpr To kReplacement = '?';
    // Each unit gives at most 2 bytes (a surrogate pair gives one '?').
    static constexpr size_t kMaxOutputPerInput = 2;

    static const Descriptor& Converter() { return Descriptors().toAnsi; }

    // Length of the stretch at p (which is not ASCII) to hand to iconv: up to
    // the next ASCII run that is long enough to copy directly, or the end.
    static size_t StretchLength(const WCHAR* p, size_t n) {
        size_t i = 0;
        while (i < n) {
            if (p[i] >= 0x80) {
                ++i;
                continue;
            }
            size_t run = AsciiRun(p + i, n - i);
            if (run >= kMinDirectAsciiRun || i + run == n) break;
            i += run;
        }
        return i;
    }

    // Units that one replacement stands for at p: a surrogate pair, or one unit.
    static size_t UnconvertibleLength(const WCHAR* p, size_t n) {
        return (n >= 2 && IsHighSurrogate(p[0]) && IsLowSurrogate(p[1])) ? 2 : 1;
    }
};

// CP932 to UTF-16.
struct ToWide {
    using From = unsigned char;
    using To = WCHAR;
    static constexpr To kReplacement = 0x30FB;
    // Each byte gives at most one unit: every CP932 character is in the BMP.
    static constexpr size_t kMaxOutputPerInput = 1;

    static const Descriptor& Converter() { return Descriptors().toWide; }

    // As ToAnsi::StretchLength; a byte after a lead byte belongs to its
    // character even when it is below 0x80, so the stretch never splits one.
    static size_t StretchLength(const unsigned char* p, size_t n) {
        size_t i = 0;
        while (i < n) {
            if (p[i] >= 0x80) {
                i += (IsLeadByte(p[i]) && i + 1 < n) ? 2 : 1;
                continue;
            }
            size_t run = AsciiRun(p + i, n - i);
            if (run >= kMinDirectAsciiRun || i + run == n) break;
            i += run;
        }
        return i;
    }

    // Bytes that one replacement stands for at p: a lead and a trail byte
    // together, otherwise the one byte.
    static size_t UnconvertibleLength(const unsigned char* p, size_t n) {
        return (n >= 2 && IsLeadByte(p[0]) && IsTrailByte(p[1])) ? 2 : 1;
    }
};

// Converts p[0..n) with iconv, replacing what has no mapping. False when the
// converter is unavailable or the output does not fit.
template <typename Direction>
bool ConvertStretch(const typename Direction::From* p, size_t n,
                    Output<typename Direction::To>& out, bool* replaced) {
    using From = typename Direction::From;
    using To = typename Direction::To;
    const Descriptor& converter = Direction::Converter();
    if (!converter.ok()) return false;
    char* in = const_cast<char*>(reinterpret_cast<const char*>(p));
    size_t inLeft = n * sizeof(From);
    while (inLeft > 0) {
        size_t room;
        To* window = out.Window(&room);
        char* outPos = reinterpret_cast<char*>(window);
        size_t outLeft = room * sizeof(To);
        size_t result = iconv(converter.get(), &in, &inLeft, &outPos, &outLeft);
        out.Advance(room - outLeft / sizeof(To));
        if (result != static_cast<size_t>(-1)) continue;
        if (errno == E2BIG) {
            if (out.measuring()) continue;
            return false;
        }
        // EILSEQ (no mapping, invalid sequence) or EINVAL (cut off at the end).
        iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
        const From* at = reinterpret_cast<const From*>(in);
        size_t skip = Direction::UnconvertibleLength(at, inLeft / sizeof(From)) * sizeof(From);
        if (!out.Put(Direction::kReplacement)) return false;
        *replaced = true;
        in += skip;
        inLeft -= skip;
    }
    return true;
}

// Converts src[0..n): ASCII runs directly, the stretches between through iconv.
template <typename Direction>
bool Convert(const typename Direction::From* src, size_t n, Output<typename Direction::To>& out,
             bool* replaced) {
    size_t i = 0;
    while (i < n) {
        size_t ascii = AsciiRun(src + i, n - i);
        if (!out.PutAscii(src + i, ascii)) return false;
        i += ascii;
        if (i == n) break;
        size_t stretch = Direction::StretchLength(src + i, n - i);
        if (!ConvertStretch<Direction>(src + i, stretch, out, replaced)) return false;
        i += stretch;
    }
    return true;
}

template <typename Unit>
size_t LengthWithTerminator(const Unit* s) {
    size_t n = 0;
    while (s[n] != 0) ++n;
    return n + 1;
}

// The common body of both calls once the arguments are valid. Writes into dst
// only when the whole result fits, so a caller's buffer never holds partial
// output: directly when even the largest possible result fits, otherwise
// after measuring. Returns the units written (or needed, for dstLen 0), 0 on
// failure.
template <typename Direction>
int ConvertBounded(const typename Direction::From* src, int srcLen, typename Direction::To* dst,
                   int dstLen, bool* replaced) {
    using To = typename Direction::To;
    size_t n = srcLen == -1 ? LengthWithTerminator(src) : static_cast<size_t>(srcLen);
    size_t capacity = static_cast<size_t>(dstLen);
    if (capacity > 0 && capacity / Direction::kMaxOutputPerInput >= n) {
        Output<To> direct(dst, capacity);
        return Convert<Direction>(src, n, direct, replaced) ? static_cast<int>(direct.count()) : 0;
    }
    Output<To> measure;
    if (!Convert<Direction>(src, n, measure, replaced)) return 0;
    if (measure.count() > INT_MAX) return 0;
    if (capacity == 0) return static_cast<int>(measure.count());
    if (measure.count() > capacity) return 0;
    *replaced = false;
    Output<To> write(dst, capacity);
    return Convert<Direction>(src, n, write, replaced) ? static_cast<int>(write.count()) : 0;
}

template <typename Source, typename Target>
bool ValidArguments(UINT codePage, DWORD flags, const Source* src, int srcLen, const Target* dst,
                    int dstLen) {
    return codePage == CP_ACP && flags == 0 && src != nullptr && (srcLen > 0 || srcLen == -1) &&
           dstLen >= 0 && (dstLen == 0 || dst != nullptr);
}

}  // namespace

// Flags and a default character are not supported: the call fails with 0.
int WideCharToMultiByte(UINT codePage, DWORD flags, const WCHAR* src, int srcUnits, char* dst,
                        int dstBytes, const char* defaultChar, BOOL* usedDefaultChar) {
    if (!ValidArguments(codePage, flags, src, srcUnits, dst, dstBytes) || defaultChar != nullptr)
        return 0;
    bool replaced = false;
    int n = ConvertBounded<ToAnsi>(src, srcUnits, dst, dstBytes, &replaced);
    if (usedDefaultChar != nullptr) *usedDefaultChar = (n > 0 && replaced) ? 1 : 0;
    return n;
}

BOOL IsDBCSLeadByte(BYTE testChar) { return IsLeadByte(testChar) ? 1 : 0; }

// Flags are not supported: the call fails with 0.
int MultiByteToWideChar(UINT codePage, DWORD flags, const char* src, int srcBytes, WCHAR* dst,
                        int dstUnits) {
    if (!ValidArguments(codePage, flags, src, srcBytes, dst, dstUnits)) return 0;
    bool replaced = false;
    return ConvertBounded<ToWide>(reinterpret_cast<const unsigned char*>(src), srcBytes, dst,
                                  dstUnits, &replaced);
}
