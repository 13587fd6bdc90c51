// Test doubles for the run-time seams: Sleep never waits but counts, and the
// heap can be told to fail and counts the blocks it hands out.
//
// Usage:
//   FakePlatform::Reset();
//   FakePlatform::FailAllocationsAfter(2);   // the third allocation from now fails
//   ... code under test ...
//   EXPECT_EQ(FakePlatform::SleepCalls(1000), 179);
//   EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
#pragma once

#include <cstddef>
#include <functional>

namespace FakePlatform {

// Clears the counters and every scripted failure.
void Reset();

// Number of Sleep calls with exactly that many milliseconds, or with any.
int SleepCalls(unsigned milliseconds);
int SleepCallsTotal();
// Called on every Sleep (after counting), for tests that must change state
// while a caller waits, e.g. release a busy flag. Cleared by Reset.
void OnSleep(std::function<void(unsigned)> hook);

// The allocation after `successes` more successful ones fails (once); -1 never.
void FailAllocationsAfter(int successes);
// Every allocation from now on fails until Reset or FailAllocationsAfter(-1).
void FailAllAllocations();
// Blocks allocated and not yet freed since the last Reset.
long OutstandingBlocks();
long AllocationCount();

}  // namespace FakePlatform
