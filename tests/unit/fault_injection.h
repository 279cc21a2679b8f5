// This test program replaces the global operator new, so that a test can make one chosen
// allocation of the library fail and see what the library does about it.
#pragma once

namespace fault {

// The k-th operator new from now on throws bad_alloc (k >= 1); 0 disarms.
void fail_at(long k);
// operator new calls since the last fail_at.
long allocations();

// Arms for one scope; disarms when it ends.
struct Armed {
    explicit Armed(long k) { fail_at(k); }
    ~Armed() { fail_at(0); }
    Armed(const Armed&) = delete;
    Armed& operator=(const Armed&) = delete;
};

} // namespace fault
