// A million balance contexts created, filled, paid, walked, credited, cleared and freed: the resident memory
// of the process must stay flat (a leak of one small block per cycle would add tens of
// megabytes). The sanitizers keep freed memory in quarantine, so the figure means
// something only in the plain build.
#include "ardudf/ardudf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ARDUDF_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ARDUDF_SANITIZED 1
#endif
#endif

namespace {

long resident_kib() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void cycle(int i) {
    const std::int32_t h = ib_scbcreate();
    static const char* const types[] = {"GOODS", "SERVICE", "A TYPE LONGER THAN ANY SHORT STRING", "DISCOUNT"};
    for (int r = 0; r < 12; ++r) {
        const double amount = r == 3 ? -5.0 : 10.0 + r, vat = 2.1;
        ib_scbaddrow(&h, types[(r + i) % 4], &amount, &vat);
    }
    const double pay = 37.5;
    ib_scbaddpayment(&h, &pay);
    while (ib_scbisaffectedrows(&h) == 1) {
        ib_scbreadamount(&h);
        ib_scbreadvat(&h);
    }
    const double note = 4.0, note_vat = 1.0;
    ib_scbaddcreditnote(&h, "NEW", &note, &note_vat);
    ib_scbclear(&h);
    ib_scbfree(&h);
}

TEST(ResidentMemory, AMillionContextCyclesKeepItFlat) {
#ifdef ARDUDF_SANITIZED
    GTEST_SKIP() << "the sanitizers' quarantine holds freed memory";
#endif
    for (int i = 0; i < 10000; ++i) cycle(i); // the allocator's pools and the handle table settle
    const long before = resident_kib();
    constexpr int cycles = 1000000;
    for (int i = 0; i < cycles; ++i) cycle(i);
    const long after = resident_kib();
    std::printf("resident memory: %ld KiB before, %ld KiB after %d cycles (%+ld KiB)\n", before, after, cycles,
                after - before);
    RecordProperty("rss_before_kib", static_cast<int>(before));
    RecordProperty("rss_after_kib", static_cast<int>(after));
    EXPECT_LT(after - before, 1024) << "KiB grown";
}

} // namespace
