#include "core/balance/handles.h"

#include "core/balance/context.h"
#include "core/balance/handle_cipher.h"
#include "core/balance/handle_table.h"

namespace ardudf::balance {

namespace {

// Keyed once, when the module is loaded; a new process numbers its handles anew.
HandleTable<KeyedNumbering> table{KeyedNumbering(module_key())};

} // namespace

std::int32_t register_context(BalanceContext* context) noexcept { return table.add(context); }

BalanceContext* unregister_context(std::int32_t handle) noexcept { return table.remove(handle); }

ContextLease::ContextLease(std::int32_t handle) noexcept : slot_(table.lock(handle)) {
    if (slot_ != nullptr) context_ = slot_->context;
}

ContextLease::~ContextLease() {
    if (slot_ != nullptr) decltype(table)::unlock(slot_);
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
