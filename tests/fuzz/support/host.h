// What the fuzz targets stand in for: the server's ib_util_malloc (the stand-in support
// library, with failures on demand), the lookup of an export by name, and the checks that
// abort on a broken rule.
#pragma once

#include "catalogue/catalogue.h"
#include "ib_util_host.h"

#include <dlfcn.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "legacy/signature.h"

namespace fuzz {

// Requests above this many bytes are refused (null), as a server short of memory would:
// a count near 2^31 must then give null, not a write of 2 GB.
inline constexpr long max_result_bytes = 1L << 20;

// The stand-in's ib_util_malloc (tests/support/ib_util_host.h): the n-th call from now on
// and every later one give null (0: none fail), and so does any call above
// max_result_bytes. Resets the counters.
inline void fail_results_from(long n) noexcept {
    ib_util_host::reset(n);
    ib_util_host::fail_above(max_result_bytes);
}
inline long result_allocations() noexcept { return ib_util_host::allocations(); } // since fail_results_from
inline long refused_results() noexcept { return ib_util_host::refused(); }        // of which null was returned
inline void* last_result() noexcept { return ib_util_host::last_block(); }        // of the latest call that succeeded
inline long last_result_size() noexcept { return ib_util_host::last_block_size(); }

// The export of that name in this process, or null when this build does not have it yet.
inline void* find_export(const char* name) noexcept { return dlsym(RTLD_DEFAULT, name); }

[[noreturn]] inline void fail(const char* what, const char* name) {
    std::fprintf(stderr, "fuzz check failed: %s: %s\n", name, what);
    std::fflush(stderr);
    std::abort();
}
#define FUZZ_CHECK(cond, name)                                                                                         \
    do {                                                                                                               \
        if (!(cond)) ::fuzz::fail(#cond, name);                                                                        \
    } while (0)

} // namespace fuzz
