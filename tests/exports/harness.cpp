#include "harness.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <stdexcept>
#include <string_view>

namespace {

std::atomic<harness::Support> support{harness::Support::counting};
std::atomic<int> loads{0};
std::atomic<int> releases{0};
std::atomic<void*> util_handle{nullptr};

using dlopen_fn = void* (*)(const char*, int);
using dlclose_fn = int (*)(void*);

dlopen_fn real_dlopen() {
    static auto f = reinterpret_cast<dlopen_fn>(dlsym(RTLD_NEXT, "dlopen"));
    return f;
}
dlclose_fn real_dlclose() {
    static auto f = reinterpret_cast<dlclose_fn>(dlsym(RTLD_NEXT, "dlclose"));
    return f;
}

void* counting_library() {
    static void* h = real_dlopen()(COUNTING_UTIL, RTLD_NOW | RTLD_LOCAL);
    return h;
}

} // namespace

// The module resolves dlopen and dlclose to these: requests for the support library by its
// plain name are counted and sent to the stand-in that the test chose.
extern "C" __attribute__((visibility("default"))) void* dlopen(const char* file, int mode) {
    if (file != nullptr && std::string_view(file) == "libib_util.so") {
        ++loads;
        void* h = nullptr;
        switch (support.load()) {
        case harness::Support::counting: h = real_dlopen()(COUNTING_UTIL, mode); break;
        case harness::Support::without_allocator: h = real_dlopen()(EMPTY_UTIL, mode); break;
        case harness::Support::missing: h = nullptr; break;
        }
        if (h != nullptr) util_handle = h;
        return h;
    }
    return real_dlopen()(file, mode);
}

extern "C" __attribute__((visibility("default"))) int dlclose(void* handle) {
    if (handle == util_handle.load()) ++releases;
    return real_dlclose()(handle);
}

namespace harness {

void use_support(Support s) { support = s; }
int support_loads() { return loads; }
int support_releases() { return releases; }

long allocations() {
    auto f = reinterpret_cast<long (*)()>(dlsym(counting_library(), "counting_allocations"));
    return f();
}

long last_allocation_size() {
    auto f = reinterpret_cast<long (*)()>(dlsym(counting_library(), "counting_last_size"));
    return f();
}

void fail_sizes_above(long size) {
    auto f = reinterpret_cast<void (*)(long)>(dlsym(counting_library(), "counting_fail_above"));
    f(size);
}

void reset_counters(long fail_from_call) {
    loads = 0;
    releases = 0;
    auto f = reinterpret_cast<void (*)(long)>(dlsym(counting_library(), "counting_reset"));
    f(fail_from_call);
}

void fail_only(long call) {
    loads = 0;
    releases = 0;
    auto f = reinterpret_cast<void (*)(long)>(dlsym(counting_library(), "counting_fail_only"));
    f(call);
}

Module::Module(bool fresh) {
    path_ = ARDUDF_MODULE;
    if (fresh) {
        // A copy under another name is a separate module with its own statics; the loaded
        // copy needs no file, so its folder goes as soon as it is loaded.
        static std::atomic<int> serial{0};
        dir_ = std::filesystem::temp_directory_path() /
               ("ardudf-test-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(dir_);
        auto copy = dir_ / "ardudf.so";
        std::filesystem::copy_file(path_, copy, std::filesystem::copy_options::overwrite_existing);
        path_ = copy.string();
    }
    handle_ = real_dlopen()(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* error = handle_ == nullptr ? dlerror() : nullptr;
    if (fresh) std::filesystem::remove_all(dir_);
    if (handle_ == nullptr) throw std::runtime_error(std::string("cannot load ") + path_ + ": " + error);
}

Module::~Module() { unload(); }

void Module::unload() {
    if (handle_ != nullptr) real_dlclose()(handle_);
    handle_ = nullptr;
}

void* Module::find(const char* name) const { return dlsym(handle_, name); }

Module& shared() {
    static Module m(false);
    return m;
}

} // namespace harness
