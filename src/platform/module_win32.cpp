#ifdef _WIN32
#include "platform/module.h"

#include <windows.h>

namespace ardudf::platform {

Module load_support_library() noexcept { return LoadLibraryA("ib_util.dll"); }

Allocator find_allocator(Module module) noexcept {
    // A null module makes GetProcAddress search the host program's own exports.
    FARPROC symbol = GetProcAddress(static_cast<HMODULE>(module), "ib_util_malloc");
    return reinterpret_cast<Allocator>(reinterpret_cast<void*>(symbol));
}

void release_module(Module module) noexcept {
    if (module != nullptr) FreeLibrary(static_cast<HMODULE>(module));
}

const char* module_file_name() noexcept { return "ardudf.dll"; }

} // namespace ardudf::platform
#endif
