// Balance behaviour the other tests do not reach: type texts long enough for a block of
// their own, a document of so many types that their 32-bit index hashes collide, and one
// context used by two threads at once (each call holds the context; nothing is lost).
#include "ardudf/ardudf.h"
#include "core/balance/context.h"
#include "core/balance/handles.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

using namespace ardudf::balance;

struct LongTypeCase {
    const char* name;
    std::size_t length;
};
class LongTypes : public ::testing::TestWithParam<LongTypeCase> {};

// Types beside and beyond the text block size, mixed with short ones, stay byte-exact keys.
TEST_P(LongTypes, AreFoundAndKeptWhole) {
    BalanceContext c;
    const std::string long_type(GetParam().length, 'L');
    const std::string longer = long_type + "X";
    add_row(c, "SHORT", 1.0, 0.0);
    add_row(c, long_type, 2.0, 0.0);
    add_row(c, longer, 3.0, 0.0);
    add_row(c, long_type, 4.0, 0.0);
    ASSERT_EQ(c.row_count(), 3);
    ASSERT_NE(find_row(c, long_type), nullptr);
    EXPECT_EQ(find_row(c, long_type)->amount, 6.0);
    EXPECT_EQ(find_row(c, long_type)->type(), long_type);
    EXPECT_EQ(find_row(c, longer)->amount, 3.0);
    EXPECT_EQ(find_row(c, "SHORT")->amount, 1.0);
    EXPECT_EQ(find_row(c, long_type.substr(1)), nullptr);
    reset_context(c);
    EXPECT_EQ(find_row(c, long_type), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongTypes,
                         ::testing::Values(LongTypeCase{"below_a_block", 4095}, LongTypeCase{"a_block", 4096},
                                           LongTypeCase{"sql_width", 32767}),
                         [](const auto& info) { return std::string(info.param.name); });

// 300,000 types: among so many, pairs whose 32-bit hashes are equal are all but certain
// (about ten), and each must still find its own row.
TEST(ManyTypes, EveryRowIsFoundByItsOwnType) {
    BalanceContext c;
    constexpr int n = 300000;
    for (int i = 0; i < n; ++i) add_row(c, "TYPE-" + std::to_string(i), i + 1.0, 0.0);
    ASSERT_EQ(c.row_count(), n);
    int wrong = 0;
    for (int i = 0; i < n; ++i) {
        const BalanceRow* row = find_row(c, "TYPE-" + std::to_string(i));
        wrong += row == nullptr || row->amount != i + 1.0;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(find_row(c, "TYPE-" + std::to_string(n)), nullptr);
}

// Two threads add to one context at once: every call holds the context for itself, so the
// total is every line's amount, none lost to an overlap.
TEST(SharedHandle, ConcurrentCallsOnOneContextLoseNothing) {
    const std::int32_t h = ib_scbcreate();
    ASSERT_NE(h, 0);
    constexpr int lines = 20000;
    auto worker = [h](const char* type) {
        const double amount = 1.0, vat = 0.25;
        for (int i = 0; i < lines; ++i) ib_scbaddrow(&h, type, &amount, &vat);
    };
    std::thread a(worker, "A"), b(worker, "B");
    a.join();
    b.join();
    {
        ContextLease c(h);
        ASSERT_TRUE(c);
        EXPECT_EQ(c->total_amount, 2.0 * lines);
        EXPECT_EQ(c->total_vat, 0.5 * lines);
        EXPECT_EQ(find_row(*c, "A")->amount, lines);
        EXPECT_EQ(find_row(*c, "B")->amount, lines);
    }
    EXPECT_EQ(ib_scbfree(&h), 1);
}

} // namespace
