#include "bench/alloc/counting_heap.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "platform/heap.h"

namespace jov {
namespace {

std::atomic<int64_t> allocations{0};

void* Counted(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* AllocateBytes(std::size_t size) { return Counted(size); }

void FreeBytes(void* block) { std::free(block); }

int64_t bench::Allocations() { return allocations.load(std::memory_order_relaxed); }

}  // namespace jov

void* operator new(std::size_t size) {
    void* block = jov::AllocateBytes(size);
    if (block == nullptr) throw std::bad_alloc();
    return block;
}

void* operator new[](std::size_t size) { return operator new(size); }

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return jov::AllocateBytes(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return jov::AllocateBytes(size);
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
