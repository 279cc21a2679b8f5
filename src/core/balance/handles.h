// Handles of balance contexts. SQL keeps a 32-bit integer; a context's address does not
// fit in one on 64-bit servers, and a handle that is forged, freed or stale must not reach
// memory. So every handle goes through this table:
//   bits  0..19  slot number + 1 (never 0, so 0 is never a handle)
//   bits 20..31  the slot's generation, 1..4095, bumped on every free
// A freed handle stays invalid until its slot has gone round all 4095 generations, and
// slots are reused first-in first-out once 4096 of them exist, so that takes at least
// 16 million create/free cycles. Small integers (below 2^20) are never handles.
//
// Lookups take no global lock: the slot's state word is its own lock, held for the length
// of one call on the context. It is uncontended when SQL uses a context from one
// attachment at a time, and it keeps two calls on one context from overlapping when not.
#pragma once

#include <cstdint>

namespace ardudf::balance {

struct BalanceContext;
struct HandleSlot;

// Registers a context and returns its handle; 0 when the table is full (over a million
// live contexts) or out of memory.
std::int32_t register_context(BalanceContext* context) noexcept;

// Unregisters the context of a valid handle and returns it for the caller to destroy;
// null for any other handle. The handle and every copy of it become invalid.
BalanceContext* unregister_context(std::int32_t handle) noexcept;

// A new, empty context and its handle; 0 when memory or handles run out.
std::int32_t create_context() noexcept;

// Unregisters and destroys the context of a valid handle: 1, or 0 for any other handle.
std::int32_t free_context(std::int32_t handle) noexcept;

// The context of a handle, held for the duration of one call.
class ContextLease {
public:
    explicit ContextLease(std::int32_t handle) noexcept;
    ~ContextLease();
    ContextLease(const ContextLease&) = delete;
    ContextLease& operator=(const ContextLease&) = delete;

    BalanceContext* get() const noexcept { return context_; }
    explicit operator bool() const noexcept { return context_ != nullptr; }
    BalanceContext* operator->() const noexcept { return context_; }
    BalanceContext& operator*() const noexcept { return *context_; }

private:
    HandleSlot* slot_ = nullptr;
    BalanceContext* context_ = nullptr;
};

} // namespace ardudf::balance
