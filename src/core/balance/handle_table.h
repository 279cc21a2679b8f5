// The table behind handles (see handles.h), over a numbering that turns a slot-and-
// generation value into the handle SQL sees and back:
//   bits  0..19  slot number + 1 (never 0)
//   bits 20..30  the slot's generation, 1..2047, bumped on every free
// so every value lies in [2^20, 2^31). The module numbers them with KeyedNumbering
// (handle_cipher.h); the benchmarks also build a table on the plain values to measure
// what the keys cost.
//
// A freed handle stays invalid until its slot has gone round all 2047 generations, and
// slots are reused first-in first-out once 4096 of them exist, so that takes at least
// 8 million create/free cycles.
//
// A lookup finds a handle's value in a small memo that add() fills (the handle's low bits
// index it), and decodes the handle only when the memo holds another one's: the keyed
// numbering costs a lookup next to nothing for the handles in use. The memo is a hint, never
// trusted: its value counts only while the slot it names holds that very handle.
//
// Lookups take no global lock: the slot's state word is its own lock, held for the length
// of one call on the context. It is uncontended when SQL uses a context from one
// attachment at a time, and it keeps two calls on one context from overlapping when not.
#pragma once

#include "core/balance/context.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace ardudf::balance {

// state: bit 0 locked, bit 1 live, bits 2.. generation (1..2047)
struct HandleSlot {
    std::atomic<std::uint32_t> state{1u << 2};
    std::atomic<std::uint32_t> handle{0}; // the handle of the live context, as SQL holds it
    BalanceContext* context = nullptr;
};

template <class Numbering> class HandleTable {
public:
    explicit HandleTable(Numbering numbering) : numbering_(std::move(numbering)) {}

    // The slots go with the table (when the module is unloaded), and with them any context
    // that SQL code never freed: no handle can reach them after that.
    ~HandleTable() {
        for (auto& chunk : chunks_) {
            HandleSlot* slots = chunk.exchange(nullptr, std::memory_order_acq_rel);
            if (slots == nullptr) continue;
            for (std::uint32_t i = 0; i < chunk_size; ++i)
                if ((slots[i].state.load(std::memory_order_relaxed) & live) != 0) delete slots[i].context;
            delete[] slots;
        }
    }
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;

    // The context's handle; 0 when the table is full or out of memory.
    std::int32_t add(BalanceContext* context) noexcept {
        if (context == nullptr) return 0;
        try {
            std::lock_guard lock(mutex_);
            std::uint32_t number;
            if (slots_made_ < reuse_after || free_slots_.empty()) {
                if (slots_made_ >= max_slots) {
                    if (free_slots_.empty()) return 0;
                    number = free_slots_.front();
                    free_slots_.pop_front();
                } else {
                    number = slots_made_;
                    auto& chunk = chunks_[number >> chunk_bits];
                    if (chunk.load(std::memory_order_relaxed) == nullptr)
                        chunk.store(new HandleSlot[chunk_size], std::memory_order_release);
                    ++slots_made_;
                }
            } else {
                number = free_slots_.front();
                free_slots_.pop_front();
            }
            HandleSlot* slot = slot_at(number);
            const std::uint32_t generation = generation_of(slot->state.load(std::memory_order_relaxed));
            const std::uint32_t value = (generation << slot_bits) | (number + 1);
            const std::uint32_t handle = numbering_.handle_of(value);
            slot->context = context;
            slot->handle.store(handle, std::memory_order_relaxed);
            slot->state.store((generation << 2) | live, std::memory_order_release);
            memo_[handle & memo_mask].store(value, std::memory_order_relaxed);
            return static_cast<std::int32_t>(handle);
        } catch (...) { // out of memory for a chunk, or the mutex failing
            return 0;
        }
    }

    // The context of a valid handle, taken out of the table; null for any other handle.
    BalanceContext* remove(std::int32_t handle) noexcept {
        std::uint32_t number;
        HandleSlot* slot = lock(handle, &number);
        if (slot == nullptr) return nullptr;
        BalanceContext* context = slot->context;
        slot->context = nullptr;
        const std::uint32_t generation = generation_of(slot->state.load(std::memory_order_relaxed));
        const std::uint32_t next = generation % generations + 1;
        slot->state.store(next << 2, std::memory_order_release);
        try {
            std::lock_guard lock(mutex_);
            free_slots_.push_back(number);
        } catch (...) {
            // The slot is lost for reuse; the handle is invalid all the same.
        }
        return context;
    }

    // Locks the slot that a handle names while it holds that handle's live context.
    HandleSlot* lock(std::int32_t handle, std::uint32_t* number_out = nullptr) noexcept {
        const auto h = static_cast<std::uint32_t>(handle);
        if (h == 0) return nullptr;
        if (HandleSlot* slot = lock_value(memo_[h & memo_mask].load(std::memory_order_relaxed), h, number_out))
            return slot;
        return lock_value(numbering_.value_of(h), 0, number_out);
    }

    static void unlock(HandleSlot* slot) noexcept { slot->state.fetch_and(~locked, std::memory_order_release); }

private:
    // Locks the slot of a slot-and-generation value while it holds a live context of that
    // generation; with a handle (not 0), only while that is the slot's handle too (the memo's
    // hint); the decoded value is checked by its generation alone.
    HandleSlot* lock_value(std::uint32_t value, std::uint32_t handle, std::uint32_t* number_out) noexcept {
        const std::uint32_t number_plus_one = value & slot_mask;
        if (number_plus_one == 0) return nullptr;
        HandleSlot* slot = slot_at(number_plus_one - 1);
        if (slot == nullptr) return nullptr;
        // Read before waiting on the slot: a hint that names another handle's slot is left at
        // once, not waited for (that slot may be the caller's own, held).
        if (handle != 0 && slot->handle.load(std::memory_order_relaxed) != handle) return nullptr;
        const std::uint32_t generation = value >> slot_bits;
        for (;;) {
            std::uint32_t state = slot->state.load(std::memory_order_acquire);
            if ((state & live) == 0 || generation_of(state) != generation) return nullptr;
            if ((state & locked) != 0) {
                std::this_thread::yield();
                continue;
            }
            if (slot->state.compare_exchange_weak(state, state | locked, std::memory_order_acquire)) {
                // Held, the slot's handle is the one of the generation just seen: a hint read
                // in a slot that changed hands meanwhile is refused here.
                if (handle != 0 && slot->handle.load(std::memory_order_relaxed) != handle) {
                    unlock(slot);
                    return nullptr;
                }
                if (number_out != nullptr) *number_out = number_plus_one - 1;
                return slot;
            }
        }
    }

    static constexpr std::uint32_t slot_bits = 20;
    static constexpr std::uint32_t slot_mask = (1u << slot_bits) - 1;
    static constexpr std::uint32_t max_slots = slot_mask; // slot numbers 0 .. 2^20 - 2
    static constexpr std::uint32_t chunk_bits = 10;
    static constexpr std::uint32_t chunk_size = 1u << chunk_bits;
    static constexpr std::uint32_t chunk_count = (max_slots + chunk_size - 1) / chunk_size;
    static constexpr std::uint32_t generations = 2047;
    static constexpr std::uint32_t reuse_after = 4096; // fresh slots first, up to this many
    static constexpr std::uint32_t memo_mask = 1023;

    static constexpr std::uint32_t locked = 1u;
    static constexpr std::uint32_t live = 2u;
    static constexpr std::uint32_t generation_of(std::uint32_t state) { return state >> 2; }

    HandleSlot* slot_at(std::uint32_t number) const noexcept {
        if (number >= max_slots) return nullptr;
        HandleSlot* chunk = chunks_[number >> chunk_bits].load(std::memory_order_acquire);
        return chunk == nullptr ? nullptr : &chunk[number & (chunk_size - 1)];
    }

    const Numbering numbering_;
    // A slot-and-generation value by its handle's low bits, as add() last gave one; 0: none.
    std::array<std::atomic<std::uint32_t>, memo_mask + 1> memo_{};
    // Chunks are made under the mutex and never freed while the table lives, so a lookup
    // may read them without it.
    std::array<std::atomic<HandleSlot*>, chunk_count> chunks_{};
    std::mutex mutex_;
    std::uint32_t slots_made_ = 0;         // guarded by mutex_
    std::deque<std::uint32_t> free_slots_; // guarded by mutex_
};

} // namespace ardudf::balance
