// The test libib_util.so (built twice: with the allocator, counting what the module asks
// of it, and without it under WITHOUT_ALLOCATOR).
#ifndef WITHOUT_ALLOCATOR
#include <atomic>
#include <cstdlib>

namespace {
std::atomic<long> allocations{0};
std::atomic<long> fail_at{0}; // fail the n-th call from now on (0: never)
std::atomic<long> last_size{-1}; // the size of the latest call, failed or not
std::atomic<long> fail_above{0}; // fail every call for more bytes than this (0: never)
std::atomic<long> fail_only{0}; // fail just the n-th call from now on (0: none)
}

extern "C" {
__attribute__((visibility("default"))) void* ib_util_malloc(long size) {
    const long n = ++allocations;
    last_size = size;
    const long k = fail_at.load();
    if ((k != 0 && n >= k) || n == fail_only.load()) return nullptr;
    const long limit = fail_above.load();
    if (limit != 0 && size > limit) return nullptr;
    return std::malloc(static_cast<std::size_t>(size));
}
__attribute__((visibility("default"))) long counting_allocations() { return allocations.load(); }
__attribute__((visibility("default"))) long counting_last_size() { return last_size.load(); }
__attribute__((visibility("default"))) void counting_reset(long fail_from_call) {
    allocations = 0;
    last_size = -1;
    fail_at = fail_from_call;
    fail_above = 0;
    fail_only = 0;
}
__attribute__((visibility("default"))) void counting_fail_only(long call) {
    counting_reset(0);
    fail_only = call;
}
__attribute__((visibility("default"))) void counting_fail_above(long size) { fail_above = size; }
}
#else
extern "C" __attribute__((visibility("default"))) int empty_ib_util_marker() { return 1; }
#endif
