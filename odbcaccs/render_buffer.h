// RenderBuffer: a caller's own room for the text of one rendered value.
//
// A text of up to kInlineSize bytes with its terminator is written inside the
// object, which lives on the caller's stack; a longer one takes a heap block
// of exactly its size, freed with the object. No other call ever writes it, so
// a text rendered here stays as it was while its caller reads it, whatever
// other threads fetch or render on the same connection.
//
// Usage:
//   RenderBuffer buffer;
//   char* out = buffer.Reserve(size);
//   if (out == nullptr) ...;  // the heap refused; buffer.Refused() says so later
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/heap.h"

namespace jov {

class RenderBuffer {
public:
    // Covers numbers, dates and the texts most columns hold.
    static constexpr int32_t kInlineSize = 512;

    RenderBuffer() = default;
    RenderBuffer(const RenderBuffer&) = delete;
    RenderBuffer& operator=(const RenderBuffer&) = delete;
    ~RenderBuffer() {
        if (heap_ != nullptr) FreeBytes(heap_);
    }

    // size bytes (at least 1) to write into, valid until the next Reserve or
    // the object's end; null when the heap refused them.
    char* Reserve(int32_t size) {
        refused_ = false;
        if (size <= kInlineSize) return inline_;
        FreeBytes(heap_);
        heap_ = static_cast<char*>(AllocateBytes(static_cast<std::size_t>(size)));
        refused_ = heap_ == nullptr;
        return heap_;
    }

    // Whether the latest Reserve found no heap block.
    bool Refused() const { return refused_; }

private:
    char inline_[kInlineSize];
    char* heap_ = nullptr;
    bool refused_ = false;
};

}  // namespace jov
