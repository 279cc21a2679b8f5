// Filling, walking, reading and clearing a context through the exports.
#include "balance_api.h"

#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

namespace balance_api {
void PrintTo(const Seen& s, std::ostream* os);
} // namespace balance_api

namespace {

using namespace balance_api;

struct RowsCase {
    const char* name;
    std::vector<Line> lines;
    const char* type_at_cursor; // what ib_scbreadtype gives before any payment
    double payment;
    std::vector<Seen> seen;
};

TEST(BalanceRows, LinesBecomeRows) {
    const RowsCase cases[] = {
        {"a line zero at 6 places makes no row", {{"TINY", 0.0000004, -0.0000004}}, "", 10.0, {}},
        {"a line of VAT alone makes a row of amount 0.0",
         {{"VATONLY", 0.0, 5.0}, {"GOODS", 10.0, 0.0}},
         "VATONLY",
         8.0,
         {{"VATONLY", 0.0, 5.0}, {"GOODS", 3.0, 0.0}}},
        {"the same type twice is one row",
         {{"GOODS", 30.0, 0.0}, {"GOODS", 20.0, 0.0}},
         "GOODS",
         50.0,
         {{"GOODS", 50.0, 0.0}}},
        {"types differing in case or a trailing blank are separate",
         {{"GOODS", 10.0, 0.0}, {"goods", 10.0, 0.0}, {"GOODS ", 10.0, 0.0}},
         "GOODS",
         30.0,
         {{"GOODS", 10.0, 0.0}, {"goods", 10.0, 0.0}, {"GOODS ", 10.0, 0.0}}},
        {"a later VAT-only line keeps the row's amount",
         {{"GOODS", 10.0, 0.0}, {"GOODS", 0.0, 2.0}},
         "GOODS",
         12.0,
         {{"GOODS", 10.0, 2.0}}},
    };
    Api api;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const std::int32_t h = api.create();
        for (const Line& l : k.lines) EXPECT_EQ(api.addrow(h, l.type, l.amount, l.vat), 1);
        EXPECT_EQ(api.type(h), k.type_at_cursor) << "a new context's cursor is on slot 0";
        EXPECT_EQ(api.affected(h), 0) << "adding rows marks none";
        api.pay(h, k.payment);
        EXPECT_EQ(walk(api, h), k.seen);
        api.free(h);
    }
}

// 17 rows: the slots grow twice; the walk still goes in the order the rows were made.
TEST(BalanceRows, GrowthKeepsSlotOrder) {
    Api api;
    const std::int32_t h = api.create();
    std::vector<Seen> expected;
    for (int i = 0; i < 17; ++i) {
        const std::string type = std::string("T").append(std::to_string(16 - i));
        api.addrow(h, type.c_str(), 1.0 + i, 0.0);
        expected.push_back({type, 1.0 + i, 0.0});
    }
    EXPECT_EQ(api.pay(h, 153.0), 1);
    EXPECT_EQ(walk(api, h), expected);
    api.free(h);
}

TEST(BalanceRows, ReadsResetToZero) {
    Api api;
    const std::int32_t h = api.create();
    api.addrow(h, "GOODS", 100.0, 21.0);
    api.pay(h, 50.0);
    ASSERT_EQ(api.affected(h), 1);
    EXPECT_EQ(api.amount(h), 29.0);
    EXPECT_EQ(api.amount(h), 0.0);
    EXPECT_EQ(api.vat(h), 21.0);
    EXPECT_EQ(api.vat(h), 0.0);
    EXPECT_EQ(api.type(h), "GOODS") << "the type is not read-and-reset";
    EXPECT_EQ(api.type(h), "GOODS");
    EXPECT_EQ(api.affected(h), 0);
    api.free(h);
}

TEST(BalanceRows, ClearGivesANewContext) {
    Api api;
    const std::int32_t h = api.create();
    api.addrow(h, "GOODS", 100.0, 21.0);
    api.pay(h, 50.0);
    EXPECT_EQ(api.clear(h), 1);
    EXPECT_EQ(api.type(h), "");
    EXPECT_EQ(api.vat(h), 0.0);
    EXPECT_EQ(api.affected(h), 0);
    api.addrow(h, "SERVICE", 10.0, 0.0);
    EXPECT_EQ(api.type(h), "SERVICE") << "cursor 0 again";
    EXPECT_EQ(api.pay(h, 10.0), 1);
    EXPECT_EQ(walk(api, h), (std::vector<Seen>{{"SERVICE", 10.0, 0.0}})) << "totals started again from 0";
    api.free(h);
}

// NaN and infinities are no amounts, but they must not hang or crash the server.
TEST(BalanceRows, NonFiniteAmountsEnd) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    Api api;
    for (double bad : {nan, inf, -inf}) {
        const std::int32_t h = api.create();
        EXPECT_EQ(api.addrow(h, "GOODS", bad, bad), 1);
        EXPECT_EQ(api.addrow(h, "DISCOUNT", -10.0, 0.0), 1);
        for (double x : {bad, 10.0, -10.0, 0.0}) {
            const int r = api.pay(h, x);
            EXPECT_TRUE(r == 0 || r == 1);
            EXPECT_LE(walk(api, h).size(), 2u);
            EXPECT_EQ(api.credit(h, "GOODS", bad, bad), 1);
            EXPECT_LE(walk(api, h).size(), 2u);
        }
        api.free(h);
    }
}

} // namespace

namespace {

// The type's copy gets no memory: the empty text stands in; with no byte at all, null.
TEST(BalanceRows, ReadTypeFallsBackToTheEmptyText) {
    balance_api::Api api;
    const std::int32_t h = api.create();
    api.addrow(h, "GOODS", 100.0, 0.0);
    auto* readtype = api.m.fn<"ib_scbreadtype">();
    harness::reset_counters();
    harness::fail_sizes_above(1);
    EXPECT_EQ(harness::take(readtype(&h)), "");
    EXPECT_EQ(harness::allocations(), 2);
    harness::reset_counters(1);
    EXPECT_EQ(readtype(&h), nullptr);
    harness::reset_counters();
    EXPECT_EQ(api.type(h), "GOODS");
    api.free(h);
}

} // namespace
