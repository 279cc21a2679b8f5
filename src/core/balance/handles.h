// Handles of balance contexts. SQL keeps a 32-bit integer; a context's address does not
// fit in one on 64-bit servers, and a handle that is forged, freed or stale must not reach
// memory. So every handle names a slot and its generation in a table (handle_table.h),
// through a permutation keyed when the module is loaded (handle_cipher.h): the handles of
// a process follow no order another caller could use to guess a live one. Handles are
// positive; 0, the integers below 2^20 and the negative ones are never handles.
//
// Lookups take no global lock: the slot's state word is its own lock, held for the length
// of one call on the context.
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
