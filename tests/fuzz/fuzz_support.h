// Shared pieces of the fuzz targets: a check that stops the run with the
// failing condition, and an OdbcAccs whose catalogues are built by hand.
//
// FUZZ_CHECK aborts, so libFuzzer keeps the input that broke a property as a
// crash artifact, exactly as it does for a sanitizer report.
//
// FuzzCatalogue takes every block from the library's heap (the fake), sized
// exactly, so that AddressSanitizer sees any read or write past a value, a
// catalogue or the row buffer. Its destructor gives everything back and
// checks that nothing else is outstanding.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "odbcaccs/OdbcAccs.h"
#include "platform/heap.h"
#include "tests/fakes/fake_platform.h"

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

class FuzzCatalogue {
  public:
    FuzzCatalogue() { FakePlatform::Reset(); }
    FuzzCatalogue(const FuzzCatalogue&) = delete;
    FuzzCatalogue& operator=(const FuzzCatalogue&) = delete;

    ~FuzzCatalogue() {
        for (int32_t h = 1; h <= jov::kMaxCursors; ++h) obj.FreeColumns(h);
        jov::FreeBytes(obj.rowBuffer);
        obj.rowBuffer = nullptr;
        FUZZ_CHECK(FakePlatform::OutstandingBlocks() == 0);
    }

    // A zero-filled catalogue of count columns (at least 1) for cursor h.
    jov::ColumnInfo* AddCatalogue(int32_t h, int32_t count) {
        const std::size_t bytes = sizeof(jov::ColumnInfo) * static_cast<std::size_t>(count);
        auto* columns = static_cast<jov::ColumnInfo*>(jov::AllocateBytes(bytes));
        FUZZ_CHECK(columns != nullptr);
        std::memset(columns, 0, bytes);
        obj.columns[h] = columns;
        obj.columnCount[h] = count;
        return columns;
    }

    void AddRowBuffer() {
        obj.rowBuffer = static_cast<unsigned char*>(jov::AllocateBytes(jov::kRowBufferSize));
        FUZZ_CHECK(obj.rowBuffer != nullptr);
    }

    // A non-NULL value in a buffer of exactly its size, as a fetch stores it.
    static void SetValue(jov::ColumnInfo& c, const std::vector<unsigned char>& bytes) {
        jov::FreeBytes(c.data);
        c.data = nullptr;
        c.dataCapacity = 0;
        c.dataLength = 0;
        c.isNull = 0;
        if (bytes.empty()) return;
        c.data = static_cast<unsigned char*>(jov::AllocateBytes(bytes.size()));
        FUZZ_CHECK(c.data != nullptr);
        std::memcpy(c.data, bytes.data(), bytes.size());
        c.dataCapacity = static_cast<int32_t>(bytes.size());
        c.dataLength = c.dataCapacity;
    }

    jov::OdbcAccs obj;
};

// Whether a fixed-size text field holds its terminator.
inline bool Terminated(const char* field, std::size_t size) {
    return std::memchr(field, 0, size) != nullptr;
}

// A heap copy of text and its terminator in a block of exactly size bytes (at
// least the text and its terminator), so that AddressSanitizer reports any
// access past it.
inline std::unique_ptr<char[]> ExactCopy(const std::string& text, std::size_t size = 0) {
    if (size < text.size() + 1) size = text.size() + 1;
    std::unique_ptr<char[]> block(new char[size]);
    std::memcpy(block.get(), text.c_str(), text.size() + 1);
    return block;
}
