#include "core/balance/handles.h"

#include "core/balance/context.h"

#include <array>
#include <atomic>
#include <deque>
#include <memory>
#include <mutex>
#include <new>
#include <thread>

namespace ardudf::balance {

// state: bit 0 locked, bit 1 live, bits 2.. generation (1..4095)
struct HandleSlot {
    std::atomic<std::uint32_t> state{1u << 2};
    BalanceContext* context = nullptr;
};

namespace {

constexpr std::uint32_t slot_bits = 20;
constexpr std::uint32_t slot_mask = (1u << slot_bits) - 1;
constexpr std::uint32_t max_slots = slot_mask; // slot numbers 0 .. 2^20 - 2
constexpr std::uint32_t chunk_bits = 10;
constexpr std::uint32_t chunk_size = 1u << chunk_bits;
constexpr std::uint32_t chunk_count = (max_slots + chunk_size - 1) / chunk_size;
constexpr std::uint32_t generations = 4095;
constexpr std::uint32_t reuse_after = 4096; // fresh slots first, up to this many

constexpr std::uint32_t locked = 1u;
constexpr std::uint32_t live = 2u;
constexpr std::uint32_t generation_of(std::uint32_t state) { return state >> 2; }

// Chunks are made under the mutex and never freed, so a lookup may read them without it.
std::array<std::atomic<HandleSlot*>, chunk_count> chunks{};
std::mutex table_mutex;
std::uint32_t slots_made = 0;       // guarded by table_mutex
std::deque<std::uint32_t> free_slots; // guarded by table_mutex

HandleSlot* slot_at(std::uint32_t number) noexcept {
    if (number >= max_slots) return nullptr;
    HandleSlot* chunk = chunks[number >> chunk_bits].load(std::memory_order_acquire);
    return chunk == nullptr ? nullptr : &chunk[number & (chunk_size - 1)];
}

std::int32_t handle_of(std::uint32_t number, std::uint32_t generation) noexcept {
    return static_cast<std::int32_t>((generation << slot_bits) | (number + 1));
}

// Locks the slot that a handle names while it holds that handle's live context.
HandleSlot* lock_slot(std::int32_t handle) noexcept {
    const auto bits = static_cast<std::uint32_t>(handle);
    const std::uint32_t number_plus_one = bits & slot_mask;
    if (number_plus_one == 0) return nullptr;
    HandleSlot* slot = slot_at(number_plus_one - 1);
    if (slot == nullptr) return nullptr;
    const std::uint32_t generation = bits >> slot_bits;
    for (;;) {
        std::uint32_t state = slot->state.load(std::memory_order_acquire);
        if ((state & live) == 0 || generation_of(state) != generation) return nullptr;
        if ((state & locked) != 0) {
            std::this_thread::yield();
            continue;
        }
        if (slot->state.compare_exchange_weak(state, state | locked, std::memory_order_acquire))
            return slot;
    }
}

// When the module is unloaded (or the process ends) the slots go, and with them any
// context that SQL code never freed: no handle can reach them after that.
struct TableRelease {
    ~TableRelease() {
        for (auto& chunk : chunks) {
            HandleSlot* slots = chunk.exchange(nullptr, std::memory_order_acq_rel);
            if (slots == nullptr) continue;
            for (std::uint32_t i = 0; i < chunk_size; ++i)
                if ((slots[i].state.load(std::memory_order_relaxed) & live) != 0) delete slots[i].context;
            delete[] slots;
        }
    }
} table_release;

} // namespace

std::int32_t register_context(BalanceContext* context) noexcept {
    if (context == nullptr) return 0;
    try {
        std::lock_guard lock(table_mutex);
        std::uint32_t number;
        if (slots_made < reuse_after || free_slots.empty()) {
            if (slots_made >= max_slots) {
                if (free_slots.empty()) return 0;
                number = free_slots.front();
                free_slots.pop_front();
            } else {
                number = slots_made;
                auto& chunk = chunks[number >> chunk_bits];
                if (chunk.load(std::memory_order_relaxed) == nullptr)
                    chunk.store(new HandleSlot[chunk_size], std::memory_order_release);
                ++slots_made;
            }
        } else {
            number = free_slots.front();
            free_slots.pop_front();
        }
        HandleSlot* slot = slot_at(number);
        const std::uint32_t generation = generation_of(slot->state.load(std::memory_order_relaxed));
        slot->context = context;
        slot->state.store((generation << 2) | live, std::memory_order_release);
        return handle_of(number, generation);
    } catch (...) { // out of memory for a chunk, or the mutex failing
        return 0;
    }
}

BalanceContext* unregister_context(std::int32_t handle) noexcept {
    HandleSlot* slot = lock_slot(handle);
    if (slot == nullptr) return nullptr;
    BalanceContext* context = slot->context;
    slot->context = nullptr;
    const std::uint32_t generation = generation_of(slot->state.load(std::memory_order_relaxed));
    const std::uint32_t next = generation % generations + 1;
    slot->state.store(next << 2, std::memory_order_release);
    const std::uint32_t number = (static_cast<std::uint32_t>(handle) & slot_mask) - 1;
    try {
        std::lock_guard lock(table_mutex);
        free_slots.push_back(number);
    } catch (...) {
        // The slot is lost for reuse; the handle is invalid all the same.
    }
    return context;
}

ContextLease::ContextLease(std::int32_t handle) noexcept : slot_(lock_slot(handle)) {
    if (slot_ != nullptr) context_ = slot_->context;
}

ContextLease::~ContextLease() {
    if (slot_ != nullptr) slot_->state.fetch_and(~locked, std::memory_order_release);
}

std::int32_t create_context() noexcept {
    BalanceContext* context = nullptr;
    try {
        context = new BalanceContext();
    } catch (...) {
        return 0;
    }
    const std::int32_t handle = register_context(context);
    if (handle == 0) delete context;
    return handle;
}

std::int32_t free_context(std::int32_t handle) noexcept {
    BalanceContext* context = unregister_context(handle);
    if (context == nullptr) return 0;
    delete context;
    return 1;
}

} // namespace ardudf::balance
