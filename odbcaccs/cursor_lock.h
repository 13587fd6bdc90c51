// CursorLock: the reader/writer lock of one cursor handle.
//
// Readers (the column accessors and rendering, through a lease until the
// native has copied what it read) take it shared; fetching, querying into and
// closing the cursor take it exclusively; a query looking for a free cursor
// only tries it shared and passes over one that a writer holds. In legal use
// it is never contended, so its cost is one atomic exchange to take it and one
// to leave it. When it is contended (a careless race on one cursor) a caller
// yields the processor and then sleeps a millisecond at a time: a writer may
// hold it for as long as the driver takes to fetch a row.
//
// A writer enters only when no reader is in. Readers are never kept out by a
// waiting writer, so a thread that already reads a cursor may read it again
// without deadlock; in legal use readers and writers of one cursor do not
// overlap, so no writer waits on a stream of readers. Usable with
// std::shared_lock and std::unique_lock.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "platform/win32.h"

namespace jov {

class CursorLock {
public:
    void lock_shared() {
        for (int tries = 0;; ++tries) {
            uint32_t state = state_.load(std::memory_order_relaxed);
            if ((state & kWriter) == 0 &&
                state_.compare_exchange_weak(state, state + 1, std::memory_order_acquire,
                                             std::memory_order_relaxed)) {
                return;
            }
            Wait(tries);
        }
    }
    // Fails only while a writer holds the lock; readers never make it fail.
    bool try_lock_shared() {
        uint32_t state = state_.load(std::memory_order_relaxed);
        while ((state & kWriter) == 0) {
            if (state_.compare_exchange_weak(state, state + 1, std::memory_order_acquire,
                                             std::memory_order_relaxed)) {
                return true;
            }
        }
        return false;
    }
    void unlock_shared() { state_.fetch_sub(1, std::memory_order_release); }

    void lock() {
        for (int tries = 0;; ++tries) {
            uint32_t state = 0;
            if (state_.compare_exchange_weak(state, kWriter, std::memory_order_acquire,
                                             std::memory_order_relaxed)) {
                return;
            }
            Wait(tries);
        }
    }
    void unlock() { state_.store(0, std::memory_order_release); }

private:
    static constexpr uint32_t kWriter = 0x80000000u;
    static constexpr int kYields = 64;

    static void Wait(int tries) {
        if (tries < kYields) {
            std::this_thread::yield();
        } else {
            Sleep(1);
        }
    }

    std::atomic<uint32_t> state_{0};
};

}  // namespace jov
