// What the fuzz targets stand in for: the server's ib_util_malloc (with failures on
// demand), the lookup of an export by name, and the checks that abort on a broken rule.
#pragma once

#include "catalogue/catalogue.h"

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

// ib_util_malloc on this thread: the n-th call from now on and every later one give null
// (0: none fail). Resets the counters.
void fail_results_from(long n) noexcept;
long result_allocations() noexcept; // calls since the last fail_results_from
long refused_results() noexcept;    // of which null was returned
void* last_result() noexcept;       // the block of the latest call that succeeded
long last_result_size() noexcept;

// The export of that name in this process, or null when this build does not have it yet.
void* find_export(const char* name) noexcept;

[[noreturn]] inline void fail(const char* what, const char* name) {
    std::fprintf(stderr, "fuzz check failed: %s: %s\n", name, what);
    std::fflush(stderr);
    std::abort();
}
#define FUZZ_CHECK(cond, name) \
    do { if (!(cond)) ::fuzz::fail(#cond, name); } while (0)

} // namespace fuzz
