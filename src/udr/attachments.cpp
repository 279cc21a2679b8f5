#include "udr/attachments.h"

#include "core/balance/handles.h"

#include <atomic>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

namespace ardudf::udr {

struct AttachmentScope {
    const void* key = nullptr;
    std::int32_t references = 0;              // guarded by registry_mutex
    mutable std::mutex mutex;                 // one attachment runs one call at a time; cheap
    std::unordered_set<std::int32_t> handles; // guarded by mutex
    // The handle last found in handles (0: none). A walk asks about one handle four times a
    // row; this answers without the lock. Set and cleared under mutex, so it names a handle
    // of the set or nothing.
    std::atomic<std::int32_t> last_owned{0};
};

namespace {

std::mutex registry_mutex;
std::unordered_map<const void*, AttachmentScope*> registry; // guarded by registry_mutex

} // namespace

AttachmentRef::AttachmentRef(const void* attachment_key) {
    std::lock_guard lock(registry_mutex);
    auto [it, made] = registry.try_emplace(attachment_key, nullptr);
    if (made) {
        try {
            it->second = new AttachmentScope();
        } catch (...) {
            registry.erase(it);
            throw;
        }
        it->second->key = attachment_key;
    }
    scope_ = it->second;
    ++scope_->references;
}

AttachmentRef::~AttachmentRef() {
    if (scope_ == nullptr) return;
    std::unordered_set<std::int32_t> left;
    {
        std::lock_guard lock(registry_mutex);
        if (--scope_->references > 0) return;
        registry.erase(scope_->key);
        left.swap(scope_->handles);
    }
    // The attachment is gone (or no routine of it is left): what it did not free goes now.
    for (const std::int32_t handle : left) balance::free_context(handle);
    delete scope_;
}

std::int32_t AttachmentRef::create() noexcept {
    if (scope_ == nullptr) return 0;
    const std::int32_t handle = balance::create_context();
    if (handle == 0) return 0;
    try {
        std::lock_guard lock(scope_->mutex);
        scope_->handles.insert(handle);
    } catch (...) {
        balance::free_context(handle);
        return 0;
    }
    return handle;
}

std::int32_t AttachmentRef::free(std::int32_t handle) noexcept {
    if (scope_ == nullptr) return 0;
    {
        std::lock_guard lock(scope_->mutex);
        if (scope_->handles.erase(handle) == 0) return 0;
        std::int32_t cached = handle;
        scope_->last_owned.compare_exchange_strong(cached, 0, std::memory_order_release);
    }
    return balance::free_context(handle);
}

bool AttachmentRef::owns(std::int32_t handle) const noexcept {
    if (scope_ == nullptr || handle == 0) return false;
    if (scope_->last_owned.load(std::memory_order_acquire) == handle) return true;
    std::lock_guard lock(scope_->mutex);
    if (!scope_->handles.contains(handle)) return false;
    scope_->last_owned.store(handle, std::memory_order_release);
    return true;
}

} // namespace ardudf::udr
