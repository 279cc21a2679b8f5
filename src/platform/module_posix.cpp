#ifndef _WIN32
#include "platform/module.h"

#include <dlfcn.h>

namespace ardudf::platform {

Module load_support_library() noexcept { return dlopen("libib_util.so", RTLD_NOW | RTLD_LOCAL); }

Allocator find_allocator(Module module) noexcept {
    void* symbol = dlsym(module != nullptr ? module : RTLD_DEFAULT, "ib_util_malloc");
    return reinterpret_cast<Allocator>(symbol);
}

void release_module(Module module) noexcept {
    if (module != nullptr) dlclose(module);
}

const char* module_file_name() noexcept { return "ardudf.so"; }

} // namespace ardudf::platform
#endif
