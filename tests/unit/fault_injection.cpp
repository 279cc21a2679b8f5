#include "fault_injection.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> fail_on{0};
std::atomic<long> count{0};
} // namespace

namespace fault {
void fail_at(long k) {
    count = 0;
    fail_on = k;
}
long allocations() { return count; }
} // namespace fault

void* operator new(std::size_t size) {
    const long n = ++count;
    if (n == fail_on) throw std::bad_alloc();
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return operator new(size, std::nothrow); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
