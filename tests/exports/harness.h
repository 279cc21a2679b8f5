// Loads the built module by path and calls its exports by name, as the server does.
#pragma once

#include "ib_util_host.h"
#include "legacy/signature.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace harness {

// An export's name as a template argument: its function type comes from the catalogue,
// and a name the catalogue lacks does not compile.
template <std::size_t N> struct Export {
    char name[N]{};
    consteval Export(const char (&s)[N]) { std::copy_n(s, N, name); }
    constexpr std::string_view view() const { return {name, N - 1}; }
};

consteval std::size_t entry_of(std::string_view name) { return signature::index_of(name); }

// The pointer type of the export named X, as the catalogue declares it.
template <Export X> using function_of = signature::pointer<entry_of(X.view())>;

// Which libib_util.so (ib_util.dll) the module finds when it asks for one by name.
using Support = ib_util_host::Support;
void use_support(Support support);

// Counters of the module's requests for libib_util.so since the last reset. On Windows
// the test ib_util.dll counts its own process attach and detach instead: a failed load is
// not seen, and a load or release that only moves the reference count is not either.
inline int support_loads() { return ib_util_host::loads(); }
inline int support_releases() { return ib_util_host::releases(); }
inline long allocations() { return ib_util_host::allocations(); } // ib_util_malloc calls
// The size asked for by the latest call, -1 if none.
inline long last_allocation_size() { return ib_util_host::last_size(); }
// The n-th allocation and later give null.
inline void reset_counters(long fail_from_call = 0) { ib_util_host::reset(fail_from_call); }
inline void fail_only(long call) { ib_util_host::fail_only(call); } // resets; just the n-th gives null
// Allocations of more bytes give null, until the next reset.
inline void fail_sizes_above(long size) { ib_util_host::fail_above(size); }

#ifdef _WIN32
// Whether ib_util.dll is mapped into the process at all.
bool support_loaded();
inline constexpr const char* message_prefix = "ardudf.dll: ";
#else
inline constexpr const char* message_prefix = "ardudf.so: ";
#endif

class Module {
public:
    explicit Module(bool fresh); // fresh: a private copy with its own state
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    void* symbol(const char* name) const; // throws when the module lacks it
    void* find(const char* name) const;   // null when the module lacks it
    // The export named X through its catalogue type: fn throws when the module lacks it,
    // find gives null.
    template <Export X> function_of<X> fn() const { return reinterpret_cast<function_of<X>>(symbol(X.name)); }
    template <Export X> function_of<X> find() const { return reinterpret_cast<function_of<X>>(find(X.name)); }
    void unload(); // dlclose: runs the module's process-detach
    void* handle() const { return handle_; }

private:
    void* handle_ = nullptr;
    std::string path_;
    std::filesystem::path dir_; // the folder of a fresh copy
    bool copy_ = false;         // a fresh copy, removed at unload where it cannot be before
};

// The module shared by the tests that need no private state, with the counting library.
Module& shared();

// Text results are the caller's: free them as the server would.
std::string take(char* result);

} // namespace harness
