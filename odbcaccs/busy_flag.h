// A busy flag admits one caller at a time to one kind of operation.
//
// A caller that finds the flag taken sleeps kBusyPollMs and looks again,
// without limit. Seeing the flag clear and taking it is one atomic exchange,
// so two callers never both pass. BusyGuard releases the flag on every way out
// of the scope that took it.
#pragma once

#include <atomic>
#include <cstdint>

#include "platform/win32.h"

namespace jov {

constexpr DWORD kBusyPollMs = 100;

class BusyFlag {
public:
    void Take() {
        while (value_.exchange(1, std::memory_order_acquire) != 0) {
            Sleep(kBusyPollMs);
        }
    }
    void Release() { value_.store(0, std::memory_order_release); }
    bool IsTaken() const { return value_.load(std::memory_order_acquire) != 0; }

private:
    std::atomic<int32_t> value_{0};
};

// Usage: { BusyGuard guard(fetchBusy); ... }  -- the flag is clear again after the block.
class BusyGuard {
public:
    explicit BusyGuard(BusyFlag& flag) : flag_(flag) { flag_.Take(); }
    ~BusyGuard() { flag_.Release(); }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;

private:
    BusyFlag& flag_;
};

}  // namespace jov
