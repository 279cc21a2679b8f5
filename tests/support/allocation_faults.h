// Fault injection for the library's own heap: this process's global operator new fails
// (throws std::bad_alloc, or gives null for the nothrow forms) from the k-th allocation on,
// counted on the calling thread only, so that a test framework's own threads and
// allocations outside the armed stretch are never hit.
#pragma once

namespace faults {

// From now on, on this thread, the n-th allocation and every later one fail (n >= 1);
// 0 disarms. Resets the count.
void fail_from(long n) noexcept;

// Allocations on this thread since the last fail_from (failed ones included).
long allocations() noexcept;

// Failures injected on this thread since the last fail_from.
long failures() noexcept;

// Arms for the lifetime of a scope.
class Armed {
public:
    explicit Armed(long n) noexcept { fail_from(n); }
    ~Armed() { fail_from(0); }
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

} // namespace faults
