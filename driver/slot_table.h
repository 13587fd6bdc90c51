// Objects that Java names by a long token, never by a pointer.
//
// A token is tag (8 bits, one per table, so a token of another table is
// foreign) | generation (24 bits) | slot (32 bits). Removing an object bumps
// its slot's generation, so its token, and any copy of it, is stale for good
// (until the generation wraps after 16 million reuses of that slot); a token
// that is 0, foreign, stale or out of range finds nothing.
//
// Leases: every use of an object holds a shared lease on it, and removal
// takes the exclusive lease before the object is finished, so an object is
// never finished while a call (a cancel from another thread included) is
// using it. Thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <utility>
#include <vector>

namespace jov::driver {

template <typename T>
class SlotTable {
  public:
    // An object with its lease.
    struct Entry {
        template <typename... Args>
        explicit Entry(Args&&... args) : value(std::forward<Args>(args)...) {}
        T value;
        std::shared_mutex lease;
    };

    // A shared lease on an object: empty when the token found nothing.
    class Lease {
      public:
        Lease() = default;
        explicit Lease(std::shared_ptr<Entry> entry)
            : entry_(std::move(entry)), lock_(entry_->lease) {}
        explicit operator bool() const { return entry_ != nullptr; }
        T& operator*() const { return entry_->value; }
        T* operator->() const { return &entry_->value; }

      private:
        std::shared_ptr<Entry> entry_;
        std::shared_lock<std::shared_mutex> lock_;
    };

    explicit SlotTable(uint8_t tag) : tag_(tag) {}

    int64_t Add(std::shared_ptr<Entry> entry) {
        std::lock_guard<std::mutex> guard(lock_);
        uint32_t slot = 0;
        while (slot < slots_.size() && slots_[slot].entry != nullptr) ++slot;
        if (slot == slots_.size()) slots_.emplace_back();
        slots_[slot].entry = std::move(entry);
        return TokenOf(slot);
    }

    // A lease on the token's object; only is an extra condition, checked
    // under the table's lock (the object is not leased yet then).
    Lease Find(int64_t token, const std::function<bool(const T&)>& only = nullptr) {
        std::shared_ptr<Entry> entry;
        {
            std::lock_guard<std::mutex> guard(lock_);
            Slot* slot = SlotOf(token);
            if (slot == nullptr || (only && !only(slot->entry->value))) return Lease();
            entry = slot->entry;
        }
        return Lease(std::move(entry));
    }

    // Whether the token names an object now, without leasing it.
    bool Contains(int64_t token) {
        std::lock_guard<std::mutex> guard(lock_);
        return SlotOf(token) != nullptr;
    }

    // Takes the object out (its token is stale from now on), waits for the
    // calls using it to end and hands it over for finishing; null when the
    // token found nothing.
    std::shared_ptr<Entry> Remove(int64_t token) {
        std::shared_ptr<Entry> entry;
        {
            std::lock_guard<std::mutex> guard(lock_);
            Slot* slot = SlotOf(token);
            if (slot == nullptr) return nullptr;
            entry.swap(slot->entry);
            ++slot->generation;
        }
        std::unique_lock<std::shared_mutex> wait(entry->lease);
        return entry;
    }

    // The tokens of the objects that match.
    std::vector<int64_t> TokensWhere(const std::function<bool(const T&)>& match) {
        std::lock_guard<std::mutex> guard(lock_);
        std::vector<int64_t> tokens;
        for (uint32_t slot = 0; slot < slots_.size(); ++slot) {
            if (slots_[slot].entry != nullptr && match(slots_[slot].entry->value)) {
                tokens.push_back(TokenOf(slot));
            }
        }
        return tokens;
    }

  private:
    static constexpr uint32_t kGenerationMask = 0xFFFFFF;

    struct Slot {
        std::shared_ptr<Entry> entry;
        uint32_t generation = 1;
    };

    int64_t TokenOf(uint32_t slot) const {
        const uint64_t generation = slots_[slot].generation & kGenerationMask;
        return static_cast<int64_t>((uint64_t{tag_} << 56) | (generation << 32) | slot);
    }

    Slot* SlotOf(int64_t token) {
        const auto bits = static_cast<uint64_t>(token);
        const auto slot = static_cast<uint32_t>(bits);
        if ((bits >> 56) != tag_ || slot >= slots_.size()) return nullptr;
        Slot& s = slots_[slot];
        const bool current = ((bits >> 32) & kGenerationMask) == (s.generation & kGenerationMask);
        return current && s.entry != nullptr ? &s : nullptr;
    }

    const uint8_t tag_;
    std::mutex lock_;
    std::vector<Slot> slots_;
};

}  // namespace jov::driver
