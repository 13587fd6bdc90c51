// An OdbcAccs whose column catalogues and current row are built by hand, for
// tests of the accessors and the rendering without a connection or a fetch.
//
// Usage:
//   HandBuiltCatalogue t;
//   jov::ColumnInfo* c = t.AddCatalogue(1, 3);      // cursor 1, three columns
//   c[0].sqlType = SQL_INTEGER;
//   t.SetValue(c[0], {0xFF, 0xFF, 0xFF, 0xFF});     // data sized exactly
//   t.AddRowBuffer();                               // as the first fetch does
//
// Everything comes from the library's heap (the fake in unit tests) and is
// given back on destruction, which then checks that nothing leaked.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "odbcaccs/OdbcAccs.h"
#include "platform/heap.h"
#include "tests/fakes/fake_platform.h"

class HandBuiltCatalogue {
  public:
    HandBuiltCatalogue() { FakePlatform::Reset(); }
    HandBuiltCatalogue(const HandBuiltCatalogue&) = delete;
    HandBuiltCatalogue& operator=(const HandBuiltCatalogue&) = delete;

    ~HandBuiltCatalogue() {
        for (int32_t h = 1; h <= jov::kMaxCursors; ++h) obj.FreeColumns(h);
        jov::FreeBytes(obj.rowBuffer);
        obj.rowBuffer = nullptr;
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
    }

    // A zero-filled catalogue of count columns for cursor h, as a query builds it.
    jov::ColumnInfo* AddCatalogue(int32_t h, int32_t count) {
        const std::size_t bytes = sizeof(jov::ColumnInfo) * static_cast<std::size_t>(count);
        auto* columns = static_cast<jov::ColumnInfo*>(jov::AllocateBytes(bytes));
        std::memset(columns, 0, bytes);
        obj.columns[h] = columns;
        obj.columnCount[h] = count;
        return columns;
    }

    void AddRowBuffer() {
        obj.rowBuffer = static_cast<unsigned char*>(jov::AllocateBytes(jov::kRowBufferSize));
    }

    // Stores a non-NULL value as a fetch does: the data buffer only grows and
    // a new one is sized exactly, so reading past dataLength runs off it.
    static void SetValue(jov::ColumnInfo& c, const std::vector<unsigned char>& bytes) {
        const auto length = static_cast<int32_t>(bytes.size());
        if (length > c.dataCapacity) {
            jov::FreeBytes(c.data);
            c.data = static_cast<unsigned char*>(jov::AllocateBytes(bytes.size()));
            c.dataCapacity = length;
        }
        if (length > 0) std::memcpy(c.data, bytes.data(), bytes.size());
        c.dataLength = length;
        c.isNull = 0;
    }

    static void SetValue(jov::ColumnInfo& c, const std::string& text) {
        SetValue(c, std::vector<unsigned char>(text.begin(), text.end()));
    }

    static void SetName(jov::ColumnInfo& c, const std::string& name) {
        ASSERT_LT(name.size(), sizeof c.name);
        std::memset(c.name, 0, sizeof c.name);
        std::memcpy(c.name, name.data(), name.size());
    }

    jov::OdbcAccs obj;
};
