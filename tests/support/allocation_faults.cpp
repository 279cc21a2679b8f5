#include "allocation_faults.h"

#include <cstdlib>
#include <new>

namespace {

thread_local long fail_on = 0;
thread_local bool only_one = false;
thread_local long count = 0;
thread_local long injected = 0;

void* allocate(std::size_t size) noexcept {
    ++count;
    if (fail_on != 0 && (only_one ? count == fail_on : count >= fail_on)) {
        ++injected;
        return nullptr;
    }
    return std::malloc(size == 0 ? 1 : size);
}

void* allocate_or_throw(std::size_t size) {
    void* p = allocate(size);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

} // namespace

namespace faults {
namespace {
void arm(long n, bool one) noexcept {
    fail_on = n;
    only_one = one;
    count = 0;
    injected = 0;
}
} // namespace
void fail_from(long n) noexcept { arm(n, false); }
void fail_at(long n) noexcept { arm(n, true); }
long allocations() noexcept { return count; }
long failures() noexcept { return injected; }
} // namespace faults

// The replaceable forms that the library's containers and strings use. The aligned forms
// are left to the runtime: nothing in the library over-aligns.
void* operator new(std::size_t size) { return allocate_or_throw(size); }
void* operator new[](std::size_t size) { return allocate_or_throw(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
