#include "ib_util_host.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#define HOST_EXPORT __declspec(dllexport)
#else
#define HOST_EXPORT __attribute__((visibility("default")))
#endif

namespace {

std::atomic<long> calls{0};
std::atomic<long> refusals{0};
std::atomic<long> fail_from{0};
std::atomic<long> fail_just{0};
std::atomic<long> fail_larger{0};
std::atomic<long> latest_size{-1};
std::atomic<void*> block{nullptr};
std::atomic<long> block_size{0};
std::atomic<int> load_count{0};
std::atomic<int> release_count{0};

} // namespace

namespace ib_util_host {

void reset(long fail_from_call) {
    calls = 0;
    refusals = 0;
    fail_from = fail_from_call;
    fail_just = 0;
    fail_larger = 0;
    latest_size = -1;
    block = nullptr;
    block_size = 0;
    load_count = 0;
    release_count = 0;
}

void fail_only(long call) {
    reset();
    fail_just = call;
}

void fail_above(long size) { fail_larger = size; }

long allocations() { return calls; }
long refused() { return refusals; }
long last_size() { return latest_size; }
void* last_block() { return block; }
long last_block_size() { return block_size; }
int loads() { return load_count; }
int releases() { return release_count; }
void count_load() { ++load_count; }
void count_release() { ++release_count; }

} // namespace ib_util_host

// What the stand-in's ib_util_malloc does. A size below 1 is never a sound request (every
// text result has at least its terminator): the module's arithmetic went wrong.
extern "C" HOST_EXPORT void* ardudf_test_ib_util_malloc(long size) {
    const long n = ++calls;
    latest_size = size;
    if (size < 1) {
        std::fprintf(stderr, "ib_util_malloc asked for %ld bytes\n", size);
        std::abort();
    }
    const long k = fail_from.load();
    const long limit = fail_larger.load();
    if ((k != 0 && n >= k) || n == fail_just.load() || (limit != 0 && size > limit)) {
        ++refusals;
        return nullptr;
    }
    void* p = std::malloc(static_cast<std::size_t>(size));
    block = p;
    block_size = size;
    return p;
}

// The Windows stand-in reports its process attach and detach.
extern "C" HOST_EXPORT void ardudf_test_ib_util_attached(int attached) {
    if (attached != 0)
        ib_util_host::count_load();
    else
        ib_util_host::count_release();
}
