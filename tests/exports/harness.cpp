#include "harness.h"

#include "dlopen_interposer.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <stdexcept>

namespace harness {

void use_support(Support s) { interposer::route_support(s); }

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
    handle_ = interposer::real_dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    const char* error = handle_ == nullptr ? dlerror() : nullptr;
    if (fresh) std::filesystem::remove_all(dir_);
    if (handle_ == nullptr) throw std::runtime_error(std::string("cannot load ") + path_ + ": " + error);
}

Module::~Module() { unload(); }

void Module::unload() {
    if (handle_ != nullptr) interposer::real_dlclose(handle_);
    handle_ = nullptr;
}

void* Module::find(const char* name) const { return dlsym(handle_, name); }

Module& shared() {
    static Module m(false);
    return m;
}

} // namespace harness
