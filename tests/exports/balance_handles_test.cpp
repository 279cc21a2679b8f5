// Handles that do not name a live context behave exactly like handle 0.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>
#include <vector>

namespace {

struct Api {
    harness::Module& m = harness::shared();
    std::int32_t create() { return m.fn<"ib_scbcreate">()(); }
    std::int32_t addrow(std::int32_t h, const char* t, double a, double v) {
        return m.fn<"ib_scbaddrow">()(&h, t, &a, &v);
    }
    std::int32_t affected(std::int32_t h) { return m.fn<"ib_scbisaffectedrows">()(&h); }
    std::string type(std::int32_t h) { return harness::take(m.fn<"ib_scbreadtype">()(&h)); }
    double amount(std::int32_t h) { return m.fn<"ib_scbreadamount">()(&h); }
    double vat(std::int32_t h) { return m.fn<"ib_scbreadvat">()(&h); }
    std::int32_t clear(std::int32_t h) { return m.fn<"ib_scbclear">()(&h); }
    std::int32_t free(std::int32_t h) { return m.fn<"ib_scbfree">()(&h); }
    std::int32_t start(std::int32_t h) { return m.fn<"ib_scbstartcreditnote">()(&h); }
};

// Every export given an invalid handle answers as for handle 0; the live context beside
// it must not change.
void expect_like_handle_zero(Api& api, std::int32_t bad, std::int32_t live) {
    SCOPED_TRACE(bad);
    EXPECT_EQ(api.addrow(bad, "X", 1.0, 1.0), 0);
    EXPECT_EQ(api.affected(bad), 0);
    EXPECT_EQ(api.type(bad), "");
    EXPECT_EQ(api.amount(bad), 0.0);
    EXPECT_EQ(api.vat(bad), 0.0);
    EXPECT_EQ(api.clear(bad), 0);
    EXPECT_EQ(api.free(bad), 0);
    EXPECT_EQ(api.start(bad), 1);
    // The live context still has its one row at the cursor.
    EXPECT_EQ(api.type(live), "LIVE");
}

TEST(BalanceHandles, ForgedFreedAndDoubleFreedHandlesActLikeZero) {
    Api api;
    const std::int32_t live = api.create();
    ASSERT_NE(live, 0);
    ASSERT_EQ(api.addrow(live, "LIVE", 5.0, 0.0), 1);

    const std::int32_t freed = api.create();
    ASSERT_NE(freed, 0);
    ASSERT_EQ(api.free(freed), 1);

    for (std::int32_t bad : {0, 12345, -1, 0x7fffffff, static_cast<std::int32_t>(0x80000000), 1, live + 1,
                             live ^ (1 << 20), freed})
        expect_like_handle_zero(api, bad, live);
    EXPECT_EQ(api.free(live), 1);
    EXPECT_EQ(api.free(live), 0) << "second free";
}

TEST(BalanceHandles, AReusedSlotDoesNotRevalidateOldHandles) {
    Api api;
    std::vector<std::int32_t> old;
    for (int i = 0; i < 10000; ++i) {
        const std::int32_t h = api.create();
        ASSERT_NE(h, 0);
        for (std::int32_t o : old) ASSERT_NE(h, o);
        if (i % 1000 == 0) old.push_back(h);
        ASSERT_EQ(api.free(h), 1);
    }
    for (std::int32_t o : old) EXPECT_EQ(api.clear(o), 0);
}

TEST(BalanceHandles, HandlesAreNeverSmallIntegers) {
    Api api;
    const std::int32_t h = api.create();
    EXPECT_TRUE(h >= (1 << 20) || h < 0) << h;
    api.free(h);
}

TEST(BalanceHandles, ContextsOnManyThreadsStayApart) {
    Api api;
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 2000; ++i) {
                const std::int32_t h = api.create();
                const std::string type = "T" + std::to_string(t);
                if (h == 0 || api.addrow(h, type.c_str(), 1.0 + t, 0.0) != 1) ++failures[t];
                if (api.type(h) != type) ++failures[t];
                if (api.free(h) != 1) ++failures[t];
            }
        });
    for (auto& th : threads) th.join();
    for (int f : failures) EXPECT_EQ(f, 0);
}

} // namespace
