#include "host.h"

#include <dlfcn.h>

#include <string_view>

namespace {

thread_local long fail_at = 0;
thread_local long calls = 0;
thread_local long refused = 0;
thread_local void* last = nullptr;
thread_local long last_size = 0;

using dlopen_fn = void* (*)(const char*, int);

dlopen_fn real_dlopen() {
    static auto f = reinterpret_cast<dlopen_fn>(dlsym(RTLD_NEXT, "dlopen"));
    return f;
}

} // namespace

namespace fuzz {

void fail_results_from(long n) noexcept {
    fail_at = n;
    calls = 0;
    refused = 0;
    last = nullptr;
    last_size = 0;
}
long result_allocations() noexcept { return calls; }
long refused_results() noexcept { return refused; }
void* last_result() noexcept { return last; }
long last_result_size() noexcept { return last_size; }

void* find_export(const char* name) noexcept { return dlsym(RTLD_DEFAULT, name); }

} // namespace fuzz

// The server's allocator. A size below 1 is never a sound request (every text result has
// at least its terminator): it means the export's arithmetic went wrong.
extern "C" __attribute__((visibility("default"))) void* ib_util_malloc(long size) {
    ++calls;
    if (size < 1) fuzz::fail("ib_util_malloc asked for less than one byte", "result allocator");
    if ((fail_at != 0 && calls >= fail_at) || size > fuzz::max_result_bytes) {
        ++refused;
        return nullptr;
    }
    last = std::malloc(static_cast<std::size_t>(size));
    last_size = size;
    return last;
}

// The library asks for libib_util.so by name; it gets this program, whose ib_util_malloc
// is the one above.
extern "C" __attribute__((visibility("default"))) void* dlopen(const char* file, int mode) {
    if (file != nullptr && std::string_view(file) == "libib_util.so") return real_dlopen()(nullptr, mode);
    return real_dlopen()(file, mode);
}
