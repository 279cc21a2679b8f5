// Fault injection for the library's own heap, the one of every test program that needs it:
// this process's global operator new fails (throws std::bad_alloc, or gives null for the
// nothrow forms) at the k-th allocation, or from it on, counted on the calling thread only,
// so that a test framework's own threads and allocations outside the armed stretch are
// never hit.
#pragma once

namespace faults {

// From now on, on this thread, the n-th allocation and every later one fail (n >= 1);
// 0 disarms. Resets the count.
void fail_from(long n) noexcept;
// The same, but only the n-th allocation fails.
void fail_at(long n) noexcept;

// Allocations on this thread since the last fail_from (failed ones included).
long allocations() noexcept;

// Failures injected on this thread since the last fail_from.
long failures() noexcept;

enum class Mode { from, only };

// Arms for the lifetime of a scope.
class Armed {
public:
    explicit Armed(long n, Mode mode = Mode::from) noexcept { mode == Mode::from ? fail_from(n) : fail_at(n); }
    ~Armed() { fail_from(0); }
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

} // namespace faults
