// One slot of the data source table: shared ownership of an object, or empty.
//
// Each slot has a lock of its own, so that calls on different connections
// never wait for each other. The lock is held only while the pointer is
// copied or replaced, never while an object is closed, so a caller that
// finds it taken spins briefly, yielding the processor.
#pragma once

#include <atomic>
#include <memory>
#include <thread>
#include <utility>

#include "odbcaccs/OdbcAccs.h"

namespace jov {

using OdbcAccsRef = std::shared_ptr<OdbcAccs>;

class Slot {
public:
    OdbcAccsRef Get() {
        Lock();
        OdbcAccsRef object = object_;
        Unlock();
        return object;
    }

    bool IsFree() {
        Lock();
        const bool free = !object_;
        Unlock();
        return free;
    }

    void Set(OdbcAccsRef object) {
        Lock();
        object_.swap(object);
        Unlock();
        // The previous content, if any, is released here, outside the lock.
    }

    // Empties the slot when it still holds object.
    void ResetIf(const OdbcAccsRef& object) {
        OdbcAccsRef previous;
        Lock();
        if (object_ == object) object_.swap(previous);
        Unlock();
    }

private:
    void Lock() {
        while (taken_.exchange(true, std::memory_order_acquire)) {
            while (taken_.load(std::memory_order_relaxed)) std::this_thread::yield();
        }
    }
    void Unlock() { taken_.store(false, std::memory_order_release); }

    std::atomic<bool> taken_{false};
    OdbcAccsRef object_;
};

}  // namespace jov
