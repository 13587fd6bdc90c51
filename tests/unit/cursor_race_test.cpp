// Races on one cursor that a careless Java program can start: closing a
// cursor, or running a query into it, while another thread fetches and reads
// it. Each must end in waits and failure values, never in freed memory being
// used (the sanitizer builds run these too).
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "odbcaccs/render_buffer.h"
#include "table/DataSourceTable.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

using jov::DataSourceTable;

constexpr int kRows = 150;
constexpr int kRounds = 40;

// Row i holds i + 1 letters 'x': every fetch grows the value buffer.
FakeResult GrowingRows() {
    FakeResult result;
    result.columns = {{"V", SQL_VARCHAR, kRows}, {"N", SQL_INTEGER, 4}};
    for (int i = 0; i < kRows; ++i) {
        result.rows.push_back({std::string(static_cast<size_t>(i) + 1, 'x'), Int32Bytes(i)});
    }
    return result;
}

// Fetches and reads until the cursor goes away; every text read must be one
// of the rows' values, whole.
void FetchAndRead(DataSourceTable& table, int32_t id, int32_t cursor) {
    for (int i = 0; i < kRows; ++i) {
        if (table.Fetch(id, cursor) != 1) return;
        jov::RenderBuffer buffer;
        jov::ValueText value = table.GetColumnValueText(id, cursor, 1, buffer);
        if (value.text.text == nullptr) continue;
        const std::string text(value.text.text, static_cast<size_t>(value.length));
        EXPECT_EQ(text, std::string(text.size(), 'x'));
        EXPECT_GE(table.GetColumnFetchDataLength(id, cursor, 1), 0);
    }
}

class CursorRaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
        id = table.Open("Sales", "", "");
        ASSERT_EQ(id, 1);
    }
    void TearDown() override {
        table.Close(id);
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty()) << FakeOdbc::Violations().front();
    }
    int32_t Query() {
        FakeOdbc::QueueResult(GrowingRows());
        int32_t cursor = 0;
        EXPECT_EQ(table.ExecSQLQuery(id, "SELECT V, N FROM T", &cursor), 2);
        return cursor;
    }

    DataSourceTable table;
    int32_t id = -1;
};

TEST_F(CursorRaceTest, ClosingACursorWhileItIsFetchedAndRead) {
    for (int round = 0; round < kRounds; ++round) {
        const int32_t cursor = Query();
        std::atomic<bool> go{false};
        std::thread reader([&] {
            while (!go.load()) std::this_thread::yield();
            FetchAndRead(table, id, cursor);
        });
        std::thread closer([&] {
            while (!go.load()) std::this_thread::yield();
            table.CloseCursor(id, cursor);
        });
        go = true;
        reader.join();
        closer.join();
        EXPECT_EQ(table.GetColumnNum(id, cursor), 0);
    }
}

TEST_F(CursorRaceTest, AQueryIntoAHandleThatAnotherThreadStillReads) {
    for (int round = 0; round < kRounds; ++round) {
        const int32_t cursor = Query();
        ASSERT_EQ(table.Fetch(id, cursor), 1);
        std::atomic<bool> go{false};
        std::thread reader([&] {
            while (!go.load()) std::this_thread::yield();
            FetchAndRead(table, id, cursor);
        });
        std::thread requery([&] {
            while (!go.load()) std::this_thread::yield();
            table.CloseCursor(id, cursor);
            // The lowest free handle again, unless the reader still holds it:
            // a query passes over a held cursor instead of waiting for it.
            const int32_t again = Query();
            EXPECT_GE(again, cursor);
            if (again != cursor) table.CloseCursor(id, again);
        });
        go = true;
        reader.join();
        requery.join();
        table.CloseCursor(id, cursor);
    }
}

// A query while another cursor's fetch pauses on a driver that is still
// executing finishes within that pause. A contended cursor hold sleeps 1 ms
// at a time, so a query that waited shows in the Sleep seam, and the fetch
// then goes on so that the test ends either way.
TEST_F(CursorRaceTest, AQueryWhileAnotherCursorsFetchIsStillExecuting) {
    const int32_t fetched = Query();
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_STILL_EXECUTING});
    std::atomic<bool> queryDone{false};
    std::atomic<bool> queryWaited{false};
    bool doneDuringPause = false;
    std::thread query;
    FakePlatform::OnSleep([&](unsigned milliseconds) {
        if (milliseconds == 1) queryWaited = true;
        if (milliseconds != jov::kStillExecutingPauseMs || query.joinable()) return;
        query = std::thread([&] {
            EXPECT_EQ(Query(), fetched + 1);
            queryDone = true;
        });
        while (!queryDone && !queryWaited) std::this_thread::yield();
        doneDuringPause = queryDone;
    });
    EXPECT_EQ(table.Fetch(id, fetched), 1);
    ASSERT_TRUE(query.joinable());
    query.join();
    EXPECT_TRUE(doneDuringPause);
    EXPECT_FALSE(queryWaited);
}

}  // namespace
