// The CP932 stand-ins of WideCharToMultiByte and MultiByteToWideChar: mappings
// where CP932 differs from JIS, replacements, bounds, size queries, argument
// checks, agreement of the direct ASCII path with plain iconv, and threads.
#include <gtest/gtest.h>
#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32.h"

namespace {

using Wide = std::basic_string<WCHAR>;

std::string Bytes(std::initializer_list<unsigned> bytes) {
    std::string s;
    for (unsigned b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

Wide Units(std::initializer_list<unsigned> units) {
    Wide w;
    for (unsigned u : units) w.push_back(static_cast<WCHAR>(u));
    return w;
}

// Converts with a size query first, as a caller that sizes its buffer does.
std::string ToAnsi(const Wide& w, BOOL* usedDefault = nullptr) {
    if (w.empty()) return std::string();
    int size = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), nullptr, 0,
                                   nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    int n = WideCharToMultiByte(CP_ACP, 0, w.data(), static_cast<int>(w.size()), &out[0], size,
                                nullptr, usedDefault);
    EXPECT_EQ(n, size);
    return out;
}

Wide ToWide(const std::string& s) {
    if (s.empty()) return Wide();
    int size = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    Wide out(static_cast<size_t>(size), 0);
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), &out[0], size);
    EXPECT_EQ(n, size);
    return out;
}

std::string Hex(const std::string& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

std::string Hex(const Wide& w) {
    std::string out;
    char buf[6];
    for (WCHAR u : w) {
        std::snprintf(buf, sizeof buf, "%04X ", static_cast<unsigned>(u));
        out += buf;
    }
    return out;
}

// ---------------------------------------------------------------------------
// Mappings

struct MappingCase {
    const char* name;
    Wide wide;
    std::string ansi;
    bool roundTrip;  // false: only the wide-to-ANSI direction maps this way
};

TEST(CodePageMapping, KnownCharacters) {
    const MappingCase cases[] = {
        {"kanji nihon", Units({0x65E5, 0x672C}), Bytes({0x93, 0xFA, 0x96, 0x7B}), true},
        {"hiragana a", Units({0x3042}), Bytes({0x82, 0xA0}), true},
        {"half-width katakana a", Units({0xFF71}), Bytes({0xB1}), true},
        {"half-width katakana range", Units({0xFF61, 0xFF9F}), Bytes({0xA1, 0xDF}), true},
        {"ideographic space", Units({0x3000}), Bytes({0x81, 0x40}), true},
        {"backslash and tilde stay ASCII", Units({0x5C, 0x7E}), Bytes({0x5C, 0x7E}), true},
        {"fullwidth tilde (CP932, not JIS wave dash)", Units({0xFF5E}), Bytes({0x81, 0x60}), true},
        {"wave dash folds onto 0x8160", Units({0x301C}), Bytes({0x81, 0x60}), false},
        {"fullwidth hyphen-minus", Units({0xFF0D}), Bytes({0x81, 0x7C}), true},
        {"minus sign folds onto 0x817C", Units({0x2212}), Bytes({0x81, 0x7C}), false},
        {"fullwidth reverse solidus", Units({0xFF3C}), Bytes({0x81, 0x5F}), true},
        {"fullwidth cent sign", Units({0xFFE0}), Bytes({0x81, 0x91}), true},
        {"cent sign folds onto 0x8191", Units({0x00A2}), Bytes({0x81, 0x91}), false},
        {"yen sign folds onto 0x5C", Units({0x00A5}), Bytes({0x5C}), false},
        {"overline folds onto 0x7E", Units({0x203E}), Bytes({0x7E}), false},
        {"NEC special circled one", Units({0x2460}), Bytes({0x87, 0x40}), true},
        {"IBM extension small roman one", Units({0x2170}), Bytes({0xFA, 0x40}), true},
        {"IBM extension kanji", Units({0x7E8A}), Bytes({0xFA, 0x5C}), true},
        {"user-defined area", Units({0xE000}), Bytes({0xF0, 0x40}), true},
        {"trail byte in ASCII range", Units({0x30A2}), Bytes({0x83, 0x41}), true},
        {"katakana middle dot", Units({0x30FB}), Bytes({0x81, 0x45}), true},
    };
    for (const MappingCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hex(ToAnsi(c.wide)), Hex(c.ansi));
        if (c.roundTrip) {
            EXPECT_EQ(Hex(ToWide(c.ansi)), Hex(c.wide));
        }
    }
}

TEST(CodePageMapping, BothFormsOfAnIbmKanjiReadBack) {
    // 0xED40 (NEC-selected) and 0xFA5C (IBM) both name U+7E8A; writing it picks 0xFA5C.
    EXPECT_EQ(Hex(ToWide(Bytes({0xFA, 0x5C}))), Hex(Units({0x7E8A})));
    EXPECT_EQ(Hex(ToWide(Bytes({0xED, 0x40}))), Hex(Units({0x7E8A})));
}

TEST(CodePageMapping, EveryAsciiByteIsItsOwnUnit) {
    std::string ansi;
    Wide wide;
    for (unsigned c = 0; c < 0x80; ++c) {
        ansi.push_back(static_cast<char>(c));
        wide.push_back(static_cast<WCHAR>(c));
    }
    EXPECT_EQ(ToWide(ansi), wide);
    EXPECT_EQ(ToAnsi(wide), ansi);
}

TEST(CodePageMapping, MixedJapaneseAndAsciiRoundTrip) {
    // "ID:日本 (ｱ) 全角　空白\" with an ideographic space.
    const std::string ansi =
        Bytes({0x49, 0x44, 0x3A, 0x93, 0xFA, 0x96, 0x7B, 0x20, 0x28, 0xB1, 0x29, 0x20,
               0x91, 0x53, 0x8A, 0x70, 0x81, 0x40, 0x8B, 0xF3, 0x94, 0x92, 0x5C});
    const Wide wide = Units({0x49, 0x44, 0x3A, 0x65E5, 0x672C, 0x20, 0x28, 0xFF71, 0x29, 0x20,
                             0x5168, 0x89D2, 0x3000, 0x7A7A, 0x767D, 0x5C});
    EXPECT_EQ(Hex(ToWide(ansi)), Hex(wide));
    EXPECT_EQ(Hex(ToAnsi(wide)), Hex(ansi));
}

TEST(CodePageMapping, LongAsciiText) {
    std::string ansi(100000, 'x');
    Wide wide(100000, static_cast<WCHAR>('x'));
    for (size_t i = 0; i < ansi.size(); i += 7) {
        ansi[i] = static_cast<char>(0x20 + i % 0x5F);
        wide[i] = static_cast<WCHAR>(0x20 + i % 0x5F);
    }
    EXPECT_EQ(ToWide(ansi), wide);
    EXPECT_EQ(ToAnsi(wide), ansi);
}

// ---------------------------------------------------------------------------
// Replacements

struct ToAnsiReplacementCase {
    const char* name;
    Wide wide;
    std::string ansi;
};

TEST(CodePageReplacement, UnmappableUnitsBecomeQuestionMarks) {
    const ToAnsiReplacementCase cases[] = {
        {"e acute", Units({0x41, 0xE9, 0x42}), "A?B"},
        {"emoji pair is one character", Units({0x41, 0xD83D, 0xDE00, 0x42}), "A?B"},
        {"lone high surrogate before ASCII", Units({0x41, 0xD83D, 0x42}), "A?B"},
        {"lone high surrogate at the end", Units({0x41, 0xD83D}), "A?"},
        {"lone low surrogate", Units({0xDE00, 0x42}), "?B"},
        {"reversed pair", Units({0xDE00, 0xD83D}), "??"},
        {"high surrogate before kanji", Units({0xD83D, 0x65E5}), Bytes({0x3F, 0x93, 0xFA})},
        {"unmappable between kanji", Units({0x65E5, 0xE9, 0x672C}),
         Bytes({0x93, 0xFA, 0x3F, 0x96, 0x7B})},
        {"byte order mark", Units({0xFEFF, 0x41}), "?A"},
    };
    for (const ToAnsiReplacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        BOOL used = 0;
        EXPECT_EQ(Hex(ToAnsi(c.wide, &used)), Hex(c.ansi));
        EXPECT_TRUE(used);
    }
    BOOL used = 1;
    ToAnsi(Units({0x65E5, 0x41}), &used);
    EXPECT_FALSE(used);
}

struct ToWideReplacementCase {
    const char* name;
    std::string ansi;
    Wide wide;
};

TEST(CodePageReplacement, InvalidBytesBecomeKatakanaMiddleDot) {
    const ToWideReplacementCase cases[] = {
        {"lead byte before a non-trail byte", Bytes({0x81, 0x20}), Units({0x30FB, 0x20})},
        {"lead byte before DEL", Bytes({0x81, 0x7F}), Units({0x30FB, 0x7F})},
        {"lone lead byte at the end", Bytes({0x41, 0x82}), Units({0x41, 0x30FB})},
        {"lone lead byte alone", Bytes({0x82}), Units({0x30FB})},
        {"unassigned pair is one character", Bytes({0x85, 0x40, 0x41}), Units({0x30FB, 0x41})},
        {"unassigned pair with ASCII trail", Bytes({0x82, 0x41, 0x42}), Units({0x30FB, 0x42})},
        {"0x80", Bytes({0x80}), Units({0x30FB})},
        {"0xA0", Bytes({0xA0, 0x41}), Units({0x30FB, 0x41})},
        {"0xFD", Bytes({0xFD}), Units({0x30FB})},
        {"0xFE before a trail-like byte", Bytes({0xFE, 0x40}), Units({0x30FB, 0x40})},
        {"0xFF between kanji", Bytes({0x93, 0xFA, 0xFF, 0x96, 0x7B}),
         Units({0x65E5, 0x30FB, 0x672C})},
        {"lead byte before NUL", Bytes({0x81, 0x00, 0x41}), Units({0x30FB, 0x00, 0x41})},
        {"lead byte before a pair", Bytes({0x82, 0x0A, 0x81, 0x40}), Units({0x30FB, 0x0A, 0x3000})},
    };
    for (const ToWideReplacementCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hex(ToWide(c.ansi)), Hex(c.wide));
    }
}

// ---------------------------------------------------------------------------
// Bounds, size queries and terminated input

TEST(CodePageBounds, SizeQueryWritesNothing) {
    const Wide wide = Units({0x41, 0x65E5, 0xFF71});
    char dst[8] = "ZZZZZZZ";
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.data(), 3, dst, 0, nullptr, nullptr), 4);
    EXPECT_STREQ(dst, "ZZZZZZZ");
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide.data(), 3, nullptr, 0, nullptr, nullptr), 4);

    const std::string ansi = Bytes({0x41, 0x93, 0xFA, 0xB1});
    WCHAR units[4] = {9, 9, 9, 9};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi.data(), 4, units, 0), 3);
    EXPECT_EQ(units[0], 9);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi.data(), 4, nullptr, 0), 3);
}

TEST(CodePageBounds, MinusOneLengthIncludesTheTerminator) {
    const WCHAR wide[] = {0x65E5, 0x41, 0};
    char ansi[8];
    std::memset(ansi, 'Z', sizeof ansi);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, nullptr, 0, nullptr, nullptr), 4);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, 8, nullptr, nullptr), 4);
    EXPECT_EQ(Hex(std::string(ansi, 5)), Hex(Bytes({0x93, 0xFA, 0x41, 0x00, 'Z'})));

    const char bytes[] = {char(0x93), char(0xFA), 0x41, 0};
    WCHAR units[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, -1, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, bytes, -1, units, 5), 3);
    EXPECT_EQ(Hex(Wide(units, 4)), Hex(Units({0x65E5, 0x41, 0, 9})));
}

// Output that does not fit by one fails and leaves the buffer as it was; both
// the path that writes at once (room for the largest result) and the one
// that measures first are taken.
struct BoundCase {
    const char* name;
    Wide wide;
    std::string ansi;
};

TEST(CodePageBounds, OutputThatDoesNotFitLeavesNothing) {
    const BoundCase cases[] = {
        {"kanji", Units({0x65E5, 0x672C}), Bytes({0x93, 0xFA, 0x96, 0x7B})},
        {"ASCII then kanji", Units({0x61, 0x62, 0x65E5}), Bytes({0x61, 0x62, 0x93, 0xFA})},
        {"kanji then ASCII", Units({0x65E5, 0x61}), Bytes({0x93, 0xFA, 0x61})},
        {"half-width katakana", Units({0xFF71, 0xFF72}), Bytes({0xB1, 0xB2})},
        {"ASCII", Units({0x61, 0x62, 0x63}), "abc"},
        {"replacement at the end", Units({0x61, 0xE9}), "a?"},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int units = static_cast<int>(c.wide.size());
        const int bytes = static_cast<int>(c.ansi.size());
        for (int room = 1; room <= 2 * units + 1; ++room) {
            SCOPED_TRACE(room);
            std::string dst(static_cast<size_t>(room), 'Z');
            int n = WideCharToMultiByte(CP_ACP, 0, c.wide.data(), units, &dst[0], room, nullptr,
                                        nullptr);
            if (room < bytes) {
                EXPECT_EQ(n, 0);
                EXPECT_EQ(dst, std::string(static_cast<size_t>(room), 'Z'));
            } else {
                EXPECT_EQ(n, bytes);
                EXPECT_EQ(Hex(dst.substr(0, static_cast<size_t>(n))), Hex(c.ansi));
            }
        }
        for (int room = 1; room <= bytes + 1; ++room) {
            SCOPED_TRACE(room);
            Wide dst(static_cast<size_t>(room), 0x5A);
            int n = MultiByteToWideChar(CP_ACP, 0, c.ansi.data(), bytes, &dst[0], room);
            if (room < units) {
                EXPECT_EQ(n, 0);
                EXPECT_EQ(dst, Wide(static_cast<size_t>(room), 0x5A));
            } else if (c.ansi.find('?') == std::string::npos) {
                EXPECT_EQ(n, units);
                EXPECT_EQ(Hex(dst.substr(0, static_cast<size_t>(n))), Hex(c.wide));
            }
        }
    }
}

TEST(CodePageBounds, InvalidArgumentsFail) {
    const WCHAR wide[] = {0x41, 0};
    const char ansi[] = "A";
    char bytes[4] = "ZZZ";
    WCHAR units[4] = {9, 9, 9, 9};
    const char defaultChar[] = "*";
    EXPECT_EQ(WideCharToMultiByte(932, 0, wide, 1, bytes, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 1, wide, 1, bytes, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, 0, bytes, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, -2, bytes, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, nullptr, 1, bytes, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, 1, bytes, -1, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, 1, nullptr, 4, nullptr, nullptr), 0);
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, wide, 1, bytes, 4, defaultChar, nullptr), 0);
    EXPECT_STREQ(bytes, "ZZZ");
    EXPECT_EQ(MultiByteToWideChar(932, 0, ansi, 1, units, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 1, ansi, 1, units, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi, 0, units, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi, -2, units, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, 1, units, 4), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi, 1, units, -1), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, ansi, 1, nullptr, 4), 0);
    EXPECT_EQ(units[0], 9);
}

// ---------------------------------------------------------------------------
// Agreement with plain iconv over the whole text, with the same replacements

class PlainIconv {
  public:
    PlainIconv()
        : toAnsi_(iconv_open("CP932", "UTF-16LE")), toWide_(iconv_open("UTF-16LE", "CP932")) {}
    ~PlainIconv() {
        iconv_close(toAnsi_);
        iconv_close(toWide_);
    }

    std::string ToAnsi(const Wide& w) {
        std::string out;
        Run(toAnsi_, reinterpret_cast<const char*>(w.data()), w.size() * 2, &out,
            [&](size_t at, std::string* o) {
                size_t i = at / 2;
                o->push_back('?');
                bool pair = i + 1 < w.size() && w[i] >= 0xD800 && w[i] <= 0xDBFF &&
                            w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF;
                return pair ? 4u : 2u;
            });
        return out;
    }

    Wide ToWide(const std::string& s) {
        std::string out;
        Run(toWide_, s.data(), s.size(), &out, [&](size_t at, std::string* o) {
            o->append("\xFB\x30", 2);
            unsigned char lead = static_cast<unsigned char>(s[at]);
            bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
            if (!isLead || at + 1 >= s.size()) return 1u;
            unsigned char trail = static_cast<unsigned char>(s[at + 1]);
            bool isTrail = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
            return isTrail ? 2u : 1u;
        });
        Wide w;
        for (size_t i = 0; i + 1 < out.size(); i += 2)
            w.push_back(static_cast<WCHAR>(static_cast<unsigned char>(out[i]) |
                                           static_cast<unsigned char>(out[i + 1]) << 8));
        return w;
    }

  private:
    template <typename Replace>
    static void Run(iconv_t cd, const char* data, size_t size, std::string* out, Replace replace) {
        char* in = const_cast<char*>(data);
        size_t inLeft = size;
        while (inLeft > 0) {
            char buffer[64];
            char* o = buffer;
            size_t oLeft = sizeof buffer;
            size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
            out->append(buffer, static_cast<size_t>(o - buffer));
            if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            size_t skip = replace(static_cast<size_t>(in - data), out);
            in += skip;
            inLeft -= skip;
        }
    }

    iconv_t toAnsi_;
    iconv_t toWide_;
};

TEST(CodePageAgreement, EveryBytePairInAsciiContext) {
    PlainIconv plain;
    for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
        for (unsigned trail = 0; trail <= 0xFF; ++trail) {
            // Long ASCII after the pair ends the iconv stretch; short ASCII is
            // converted inside it.
            for (const char* tail : {"BCDEFGHIJK", "B"}) {
                std::string s = "A" + Bytes({lead, trail}) + tail;
                Wide expected = plain.ToWide(s);
                if (ToWide(s) != expected) {
                    ADD_FAILURE() << "bytes " << Hex(s) << " expected " << Hex(expected) << " got "
                                  << Hex(ToWide(s));
                    return;
                }
            }
        }
    }
}

TEST(CodePageAgreement, EveryUnitInAsciiContext) {
    PlainIconv plain;
    for (unsigned u = 0; u <= 0xFFFF; ++u) {
        for (const Wide& tail :
             {Units({0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49}), Units({0x42})}) {
            Wide w = Units({0x41, u}) + tail;
            std::string expected = plain.ToAnsi(w);
            if (ToAnsi(w) != expected) {
                ADD_FAILURE() << "units " << Hex(w) << " expected " << Hex(expected) << " got "
                              << Hex(ToAnsi(w));
                return;
            }
        }
    }
}

// Random mixtures of ASCII runs of every length around the direct-copy
// threshold, Japanese text, and invalid input.
std::string RandomAnsi(std::mt19937& rng) {
    static const std::string kPieces[] = {
        Bytes({0x93, 0xFA}), Bytes({0x96, 0x7B}), Bytes({0x82, 0xA0}), Bytes({0x83, 0x41}),
        Bytes({0x81, 0x40}), Bytes({0x81, 0x60}), Bytes({0x87, 0x40}), Bytes({0xFA, 0x5C}),
        Bytes({0xB1}),       Bytes({0xDF}),       Bytes({0x81, 0x20}), Bytes({0x85, 0x40}),
        Bytes({0x80}),       Bytes({0xA0}),       Bytes({0xFF}),       Bytes({0x82}),
    };
    std::string s;
    int parts = std::uniform_int_distribution<int>(1, 12)(rng);
    for (int p = 0; p < parts; ++p) {
        int kind = std::uniform_int_distribution<int>(0, 2)(rng);
        if (kind == 0) {
            int run = std::uniform_int_distribution<int>(1, 20)(rng);
            for (int i = 0; i < run; ++i)
                s.push_back(static_cast<char>(std::uniform_int_distribution<int>(0, 0x7F)(rng)));
        } else if (kind == 1) {
            s += kPieces[std::uniform_int_distribution<size_t>(0, 15)(rng)];
        } else {
            s.push_back(static_cast<char>(std::uniform_int_distribution<int>(0x80, 0xFF)(rng)));
        }
    }
    return s;
}

Wide RandomWide(std::mt19937& rng) {
    static const Wide kPieces[] = {
        Units({0x65E5}), Units({0x672C}),         Units({0x3042}), Units({0xFF71}),
        Units({0xFF5E}), Units({0x301C}),         Units({0x00A5}), Units({0x203E}),
        Units({0x00E9}), Units({0xD83D, 0xDE00}), Units({0xD83D}), Units({0xDE00}),
        Units({0x3000}), Units({0x2460}),         Units({0x7E8A}), Units({0xE000}),
    };
    Wide w;
    int parts = std::uniform_int_distribution<int>(1, 12)(rng);
    for (int p = 0; p < parts; ++p) {
        int kind = std::uniform_int_distribution<int>(0, 2)(rng);
        if (kind == 0) {
            int run = std::uniform_int_distribution<int>(1, 20)(rng);
            for (int i = 0; i < run; ++i)
                w.push_back(static_cast<WCHAR>(std::uniform_int_distribution<int>(0, 0x7F)(rng)));
        } else if (kind == 1) {
            w += kPieces[std::uniform_int_distribution<size_t>(0, 15)(rng)];
        } else {
            w.push_back(static_cast<WCHAR>(std::uniform_int_distribution<int>(0x80, 0xFFFF)(rng)));
        }
    }
    return w;
}

TEST(CodePageAgreement, RandomMixturesMatchPlainIconv) {
    PlainIconv plain;
    std::mt19937 rng(20240430);
    for (int i = 0; i < 20000; ++i) {
        std::string s = RandomAnsi(rng);
        ASSERT_EQ(Hex(ToWide(s)), Hex(plain.ToWide(s))) << "bytes " << Hex(s);
        Wide w = RandomWide(rng);
        ASSERT_EQ(Hex(ToAnsi(w)), Hex(plain.ToAnsi(w))) << "units " << Hex(w);
    }
}

// ---------------------------------------------------------------------------
// Threads

TEST(CodePageThreads, EightThreadsConvertAtOnce) {
    constexpr int kThreads = 8;
    constexpr int kRounds = 2000;
    std::vector<std::string> ansi;
    std::vector<Wide> wide;
    std::vector<std::string> ansiBack;  // wide converted back: replacements differ from ansi
    PlainIconv plain;
    std::mt19937 rng(7);
    for (int t = 0; t < kThreads; ++t) {
        std::string s;
        while (s.size() < 200) s += RandomAnsi(rng);
        ansi.push_back(s);
        wide.push_back(plain.ToWide(s));
        ansiBack.push_back(plain.ToAnsi(wide.back()));
    }
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            Wide back(wide[t].size(), 0);
            std::string forth(2 * wide[t].size(), '\0');
            for (int r = 0; r < kRounds; ++r) {
                int n =
                    MultiByteToWideChar(CP_ACP, 0, ansi[t].data(), static_cast<int>(ansi[t].size()),
                                        &back[0], static_cast<int>(back.size()));
                if (n != static_cast<int>(wide[t].size()) || back != wide[t]) ++mismatches;
                int m = WideCharToMultiByte(CP_ACP, 0, wide[t].data(),
                                            static_cast<int>(wide[t].size()), &forth[0],
                                            static_cast<int>(forth.size()), nullptr, nullptr);
                if (m <= 0 || forth.compare(0, static_cast<size_t>(m), ansiBack[t]) != 0 ||
                    static_cast<size_t>(m) != ansiBack[t].size())
                    ++mismatches;
            }
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(mismatches.load(), 0);
}

}  // namespace
