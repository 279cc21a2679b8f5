// Handles that do not name a live context behave exactly like handle 0, and live ones
// cannot be guessed from their neighbours, from each other or from the slot-and-generation
// numbering of the table behind them.
#include "balance_api.h"
#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <thread>
#include <vector>

namespace {

using balance_api::Api;

// Every export given an invalid handle answers as for handle 0; the live context beside
// it must not change.
void expect_like_handle_zero(Api& api, std::int32_t bad, std::int32_t live, const std::string& live_type = "LIVE") {
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
    EXPECT_EQ(api.type(live), live_type);
}

TEST(BalanceHandles, ForgedFreedAndDoubleFreedHandlesActLikeZero) {
    Api api;
    const std::int32_t live = api.create();
    ASSERT_NE(live, 0);
    ASSERT_EQ(api.addrow(live, "LIVE", 5.0, 0.0), 1);

    const std::int32_t freed = api.create();
    ASSERT_NE(freed, 0);
    ASSERT_EQ(api.free(freed), 1);

    for (std::int32_t bad :
         {0, 12345, -1, 0x7fffffff, static_cast<std::int32_t>(0x80000000), 1, live + 1, live ^ (1 << 20), freed})
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

// SQL code may test a handle with h > 0.
TEST(BalanceHandles, HandlesArePositiveAndNeverSmallIntegers) {
    Api api;
    std::vector<std::int32_t> made;
    for (int i = 0; i < 200; ++i) made.push_back(api.create());
    for (const std::int32_t h : made) {
        EXPECT_GE(h, 1 << 20);
        EXPECT_EQ(api.free(h), 1);
    }
}

// How far apart two handles are, the shorter way round the 32-bit circle.
std::uint32_t distance(std::int32_t a, std::int32_t b) {
    const std::uint32_t d = static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b);
    return std::min(d, 0u - d);
}

// What a table of slots and generations would hand out plainly: generation in the high
// twelve bits, slot number + 1 in the low twenty.
std::int32_t plain_value(std::uint32_t generation, std::uint32_t slot_plus_one) {
    return static_cast<std::int32_t>((generation << 20) | slot_plus_one);
}

// Contexts with a row each, typed by their index, so that any change shows.
struct LiveContexts {
    Api& api;
    std::vector<std::int32_t> handles;
    std::set<std::int32_t> set;
    LiveContexts(Api& a, int n) : api(a) {
        for (int i = 0; i < n; ++i) {
            const std::int32_t h = api.create();
            EXPECT_NE(h, 0);
            EXPECT_EQ(api.addrow(h, ("LIVE" + std::to_string(i)).c_str(), 1.0, 0.0), 1);
            handles.push_back(h);
            set.insert(h);
        }
    }
    ~LiveContexts() {
        for (std::size_t i = 0; i < handles.size(); ++i) {
            EXPECT_EQ(api.type(handles[i]), "LIVE" + std::to_string(i)) << "context " << i << " was changed";
            EXPECT_EQ(api.free(handles[i]), 1);
        }
    }
};

// Every value within 1,000 of a live handle, and what a plain table numbering would have
// given the first contexts, reaches nothing; none of them is another live handle (odds of
// 2,256 x 3 / 2^31 that one is by chance).
TEST(BalanceHandles, NeighboursAndPlainNumbersOfALiveHandleReachNothing) {
    Api api;
    LiveContexts live(api, 3);
    const std::int32_t h = live.handles[1];
    std::vector<std::int32_t> guesses;
    for (std::int32_t d = -1000; d <= 1000; ++d)
        if (d != 0) guesses.push_back(static_cast<std::int32_t>(static_cast<std::uint32_t>(h) + d));
    for (std::uint32_t generation = 1; generation <= 4; ++generation)
        for (std::uint32_t slot = 1; slot <= 64; ++slot) guesses.push_back(plain_value(generation, slot));
    int hits = 0;
    for (const std::int32_t g : guesses) {
        if (live.set.count(g) != 0) {
            ++hits;
            continue;
        }
        expect_like_handle_zero(api, g, live.handles[0], "LIVE0");
    }
    EXPECT_EQ(hits, 0);
}

// Two random handles are that close with odds of 2,000 / 2^31.
TEST(BalanceHandles, HandlesMadeInARowAreFarApart) {
    Api api;
    std::vector<std::int32_t> made;
    for (int i = 0; i < 100; ++i) {
        made.push_back(api.create());
        ASSERT_NE(made.back(), 0);
    }
    // One freed and the next made at once.
    ASSERT_EQ(api.free(made.back()), 1);
    made.push_back(api.create());
    ASSERT_NE(made.back(), 0);
    for (std::size_t i = 1; i < made.size(); ++i)
        EXPECT_GE(distance(made[i], made[i - 1]), 1000u) << made[i - 1] << " then " << made[i];
    for (std::size_t i = 0; i < made.size(); ++i) {
        if (i == 99) continue; // freed above
        EXPECT_EQ(api.free(made[i]), 1);
    }
}

// 25,000 blind guesses, small numbers and the plain slot-and-generation numbers of the
// first 4,000 slots in their first generations (where the other tests of this process
// leave the table), against 100 live contexts. A guess that is a live handle reaches it,
// as it must; with keyed handles that happens with odds of 25,000 x 100 / 2^31, so once
// at most (a plain numbering hits all 100). Every other guess reaches nothing.
TEST(BalanceHandles, BlindGuessesReachNoLiveContext) {
    Api api;
    LiveContexts live(api, 100);
    std::vector<std::int32_t> guesses;
    for (std::int32_t g = -2500; g < 2500; ++g) guesses.push_back(g);
    for (std::uint32_t generation = 1; generation <= 5; ++generation)
        for (std::uint32_t slot = 1; slot <= 4000; ++slot) guesses.push_back(plain_value(generation, slot));
    ASSERT_EQ(guesses.size(), 25000u);
    int hits = 0, reached = 0;
    for (const std::int32_t g : guesses) {
        if (live.set.count(g) != 0) {
            ++hits;
            continue;
        }
        reached += api.affected(g) != 0 || api.amount(g) != 0.0 || api.clear(g) != 0;
    }
    EXPECT_LE(hits, 1);
    EXPECT_EQ(reached, 0);
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
