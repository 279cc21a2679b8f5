// The harness on Windows: the module is loaded with LoadLibraryA and its exports found
// with GetProcAddress, as the server does. LoadLibraryA cannot be interposed simply, so
// the module's requests for ib_util.dll are steered by the DLL search path and observed
// by the stand-in ib_util.dll itself, which reports its process attach and detach and asks
// the program for each allocation (tests/support/ib_util_host.cpp).
#include "harness.h"

#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

// Wine maps the Unix root to drive Z:; a path from the build tree is a Unix path.
std::string windows_path(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return path;
}

std::string last_error() { return std::to_string(GetLastError()); }

} // namespace

namespace harness {

void use_support(Support s) {
    // The folder searched after the program's own, which holds no ib_util.dll.
    const char* dir = s == Support::counting            ? IB_UTIL_COUNTING_DIR
                      : s == Support::without_allocator ? IB_UTIL_WITHOUT_ALLOCATOR_DIR
                                                        : IB_UTIL_MISSING_DIR;
    if (!SetDllDirectoryA(windows_path(dir).c_str())) throw std::runtime_error("SetDllDirectoryA: " + last_error());
}

bool support_loaded() { return GetModuleHandleA("ib_util.dll") != nullptr; }

Module::Module(bool fresh) {
    // ARDUDF_MODULE_PATH: the DLL as a user unpacks it from the release archive.
    const char* given = std::getenv("ARDUDF_MODULE_PATH");
    path_ = windows_path(given && *given ? given : ARDUDF_MODULE);
    if (fresh) {
        // A copy under another name is a separate module with its own statics.
        static std::atomic<int> serial{0};
        dir_ = std::filesystem::temp_directory_path() /
               ("ardudf-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(dir_);
        auto copy = dir_ / "ardudf.dll";
        std::filesystem::copy_file(path_, copy, std::filesystem::copy_options::overwrite_existing);
        path_ = copy.string();
        copy_ = true;
    }
    handle_ = LoadLibraryA(path_.c_str());
    if (handle_ == nullptr) {
        const std::string error = last_error();
        unload();
        throw std::runtime_error("cannot load " + path_ + ": " + error);
    }
}

Module::~Module() { unload(); }

void Module::unload() {
    if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
    handle_ = nullptr;
    if (copy_) {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        copy_ = false;
    }
}

void* Module::find(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

Module& shared() {
    static Module m((use_support(Support::counting), false));
    return m;
}

} // namespace harness
