#include "legacy/result.h"

#include "platform/module.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>

namespace ardudf::legacy {
namespace {

// Both values are null when the library is loaded. The handle, once a load succeeded, is
// never cleared; the entry is cleared at process detach. Readers on the fast path only
// load the entry; the slow path is serialised so that concurrent first uses load the
// support library once.
std::atomic<platform::Module> support_library{nullptr};
std::atomic<platform::Allocator> allocator_entry{nullptr};
std::mutex first_use;

void report_missing_allocator() noexcept {
    // One line in one write, so that concurrent messages do not interleave.
    char line[256];
    std::snprintf(line, sizeof line, "%s: %s\n", platform::module_file_name(), std::strerror(errno));
    std::fputs(line, stderr);
    std::fflush(stderr);
}

platform::Allocator resolve_allocator() noexcept {
    std::lock_guard lock(first_use);
    if (support_library.load(std::memory_order_acquire) != nullptr)
        return allocator_entry.load(std::memory_order_acquire);
    platform::Module module = platform::load_support_library();
    platform::Allocator entry = platform::find_allocator(module);
    allocator_entry.store(entry, std::memory_order_release);
    support_library.store(module, std::memory_order_release);
    if (entry == nullptr) report_missing_allocator();
    return entry;
}

} // namespace

char* allocate_result(std::size_t size) noexcept {
    if (size == 0 || size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return nullptr;
    platform::Allocator entry;
    // While no load has succeeded, every text result tries again (the host may still serve
    // the allocator meanwhile); after a successful load the cached entry is final.
    if (support_library.load(std::memory_order_acquire) == nullptr)
        entry = resolve_allocator();
    else
        entry = allocator_entry.load(std::memory_order_acquire);
    if (entry == nullptr) return nullptr;
    return static_cast<char*>(entry(static_cast<std::int32_t>(size)));
}

char* allocate_text(std::size_t length) noexcept {
    // The allocator takes an int32: a longer text has no result rather than a short one.
    if (length >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return nullptr;
    return allocate_result(length + 1);
}

char* copy_result(std::string_view text) noexcept {
    char* result = allocate_text(text.size());
    if (result == nullptr) return nullptr;
    if (!text.empty()) std::memcpy(result, text.data(), text.size());
    result[text.size()] = '\0';
    return result;
}

void detach() noexcept {
    std::lock_guard lock(first_use);
    allocator_entry.store(nullptr, std::memory_order_release);
    platform::release_module(support_library.load(std::memory_order_acquire));
}

} // namespace ardudf::legacy
