// Link-time replacements of Sleep and the library's heap for the unit tests.
#include "tests/fakes/fake_platform.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/heap.h"
#include "platform/win32.h"

namespace {

std::mutex gLock;
std::map<unsigned, int> gSleeps;
int gSleepTotal = 0;
std::function<void(unsigned)> gSleepHook;
int gAllocationsBeforeFailure = -1;  // -1: never fail
bool gFailAll = false;
std::atomic<long> gOutstanding{0};
std::atomic<long> gAllocations{0};

bool NextAllocationFails() {
    std::lock_guard<std::mutex> lock(gLock);
    if (gFailAll) return true;
    if (gAllocationsBeforeFailure < 0) return false;
    if (gAllocationsBeforeFailure == 0) {
        gAllocationsBeforeFailure = -1;
        return true;
    }
    --gAllocationsBeforeFailure;
    return false;
}

}  // namespace

void Sleep(DWORD milliseconds) {
    std::function<void(unsigned)> hook;
    {
        std::lock_guard<std::mutex> lock(gLock);
        ++gSleeps[milliseconds];
        ++gSleepTotal;
        hook = gSleepHook;
    }
    if (hook) hook(milliseconds);
}

namespace jov {

void* AllocateBytes(std::size_t size) {
    if (NextAllocationFails()) {
        errno = ENOMEM;
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) {
        ++gOutstanding;
        ++gAllocations;
    }
    return block;
}

void FreeBytes(void* block) {
    if (block == nullptr) return;
    --gOutstanding;
    std::free(block);
}

}  // namespace jov

namespace FakePlatform {

void Reset() {
    std::lock_guard<std::mutex> lock(gLock);
    gSleeps.clear();
    gSleepTotal = 0;
    gSleepHook = nullptr;
    gAllocationsBeforeFailure = -1;
    gFailAll = false;
    gOutstanding = 0;
    gAllocations = 0;
}

int SleepCalls(unsigned milliseconds) {
    std::lock_guard<std::mutex> lock(gLock);
    auto it = gSleeps.find(milliseconds);
    return it == gSleeps.end() ? 0 : it->second;
}

int SleepCallsTotal() {
    std::lock_guard<std::mutex> lock(gLock);
    return gSleepTotal;
}

void OnSleep(std::function<void(unsigned)> hook) {
    std::lock_guard<std::mutex> lock(gLock);
    gSleepHook = std::move(hook);
}

void FailAllocationsAfter(int successes) {
    std::lock_guard<std::mutex> lock(gLock);
    gFailAll = false;
    gAllocationsBeforeFailure = successes;
}

void FailAllAllocations() {
    std::lock_guard<std::mutex> lock(gLock);
    gFailAll = true;
}

long OutstandingBlocks() { return gOutstanding.load(); }

long AllocationCount() { return gAllocations.load(); }

}  // namespace FakePlatform
