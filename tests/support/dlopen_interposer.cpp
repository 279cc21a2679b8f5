#include "dlopen_interposer.h"

#include <dlfcn.h>

#include <atomic>
#include <string_view>

namespace {

std::atomic<ib_util_host::Support> route{ib_util_host::Support::counting};
std::atomic<void*> support_handle{nullptr};

using dlopen_fn = void* (*)(const char*, int);
using dlclose_fn = int (*)(void*);

dlopen_fn next_dlopen() {
    static auto f = reinterpret_cast<dlopen_fn>(dlsym(RTLD_NEXT, "dlopen"));
    return f;
}
dlclose_fn next_dlclose() {
    static auto f = reinterpret_cast<dlclose_fn>(dlsym(RTLD_NEXT, "dlclose"));
    return f;
}

} // namespace

namespace interposer {

void route_support(ib_util_host::Support support) { route = support; }
void* real_dlopen(const char* file, int mode) { return next_dlopen()(file, mode); }
int real_dlclose(void* handle) { return next_dlclose()(handle); }

} // namespace interposer

extern "C" __attribute__((visibility("default"))) void* dlopen(const char* file, int mode) {
    if (file != nullptr && std::string_view(file) == "libib_util.so") {
        ib_util_host::count_load();
        void* h = nullptr;
        switch (route.load()) {
        case ib_util_host::Support::counting:
            h = next_dlopen()(IB_UTIL_STAND_IN, mode);
            break;
        case ib_util_host::Support::without_allocator:
            h = next_dlopen()(IB_UTIL_WITHOUT_ALLOCATOR, mode);
            break;
        case ib_util_host::Support::missing:
            break;
        }
        if (h != nullptr) support_handle = h;
        return h;
    }
    return next_dlopen()(file, mode);
}

extern "C" __attribute__((visibility("default"))) int dlclose(void* handle) {
    if (handle == support_handle.load()) ib_util_host::count_release();
    return next_dlclose()(handle);
}
