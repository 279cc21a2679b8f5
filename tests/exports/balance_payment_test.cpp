// Payments through the exports: the document, the payments, the result of the last one and
// what the walk after it reads.
#include "balance_api.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace balance_api {
void PrintTo(const Seen& s, std::ostream* os) { *os << "{" << s.type << ", " << s.amount << ", " << s.vat << "}"; }
} // namespace balance_api

namespace {

using namespace balance_api;

struct PaymentCase {
    const char* name;
    std::vector<Line> lines;
    std::vector<double> earlier; // payments before, each walked to the end
    double amount;
    int result;
    std::vector<Seen> seen;
};

TEST(BalancePayment, WalkAfterPayment) {
    const PaymentCase cases[] = {
        {"1 partial payment: all the VAT read with the first row",
         {{"GOODS", 100.0, 31.5}, {"SERVICE", 50.0, 0.0}},
         {},
         100.0,
         1,
         {{"GOODS", 68.5, 31.5}}},
        {"2 overpayment stays on the first positive row",
         {{"GOODS", 100.0, 0.0}, {"SERVICE", 50.0, 0.0}},
         {},
         200.0,
         1,
         {{"GOODS", 150.0, 0.0}, {"SERVICE", 50.0, 0.0}}},
        {"3 credit line settled, freed amount spread again",
         {{"GOODS", 30.0, 0.0}, {"DISCOUNT", -10.0, 0.0}},
         {},
         20.0,
         1,
         {{"GOODS", 30.0, 0.0}, {"DISCOUNT", -10.0, 0.0}}},
        {"4 refund releases amounts before VAT",
         {{"GOODS", 100.0, 31.5}, {"SERVICE", 50.0, 0.0}},
         {100.0},
         -40.0,
         1,
         {{"GOODS", -40.0, 0.0}}},
        {"5 negative document", {{"RETURN", -50.0, -10.5}}, {}, -60.5, 1, {{"RETURN", -50.0, -10.5}}},
        {"6 surplus passes over a credit line in slot 0",
         {{"DISCOUNT", -10.0, 0.0}, {"GOODS", 30.0, 0.0}},
         {},
         30.0,
         1,
         {{"DISCOUNT", -10.0, 0.0}, {"GOODS", 40.0, 0.0}}},
        {"exact take leaves the next row unmarked",
         {{"GOODS", 100.0, 0.0}, {"SERVICE", 50.0, 0.0}},
         {},
         100.0,
         1,
         {{"GOODS", 100.0, 0.0}}},
        {"a take zero at 6 places marks nothing", {{"GOODS", 100.0, 0.0}}, {}, 0.0000004, 0, {}},
        {"payment 0.0 settles a credit line",
         {{"GOODS", 30.0, 0.0}, {"DISCOUNT", -10.0, 0.0}},
         {},
         0.0,
         1,
         {{"GOODS", 10.0, 0.0}, {"DISCOUNT", -10.0, 0.0}}},
        {"payment 0.0 with nothing to do", {{"GOODS", 30.0, 0.0}}, {}, 0.0, 0, {}},
        {"VAT-only second payment: row reported for its VAT, last VAT replaced",
         {{"GOODS", 100.0, 21.0}},
         {5.0},
         10.0,
         1,
         {{"GOODS", 0.0, 10.0}}},
        {"second pass serves the rest of the VAT",
         {{"GOODS", 100.0, 16.0}, {"DISCOUNT", -20.0, 0.0}},
         {},
         10.0,
         1,
         {{"GOODS", 14.0, 6.0}, {"DISCOUNT", -20.0, 0.0}}},
        {"refund beyond what was paid stays on the first row",
         {{"GOODS", 100.0, 0.0}, {"SERVICE", 50.0, 0.0}},
         {30.0},
         -50.0,
         1,
         {{"GOODS", -50.0, 0.0}}},
        {"refund: amounts released first, then the VAT",
         {{"GOODS", 100.0, 21.0}},
         {50.0},
         -40.0,
         1,
         {{"GOODS", -29.0, -11.0}}},
        {"refund into the VAT", {{"GOODS", 100.0, 21.0}}, {71.0}, -60.0, 1, {{"GOODS", -50.0, -10.0}}},
        {"negative document paid beyond its total",
         {{"RETURN", -50.0, 0.0}},
         {-60.0},
         -5.0,
         1,
         {{"RETURN", -15.0, 0.0}}},
        {"positive amount on a negative document serves amounts before VAT",
         {{"RETURN", -50.0, -10.5}},
         {-60.5},
         20.0,
         1,
         {{"RETURN", 20.0, 0.0}}},
    };
    Api api;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const std::int32_t h = api.create();
        ASSERT_NE(h, 0);
        for (const Line& l : k.lines) ASSERT_EQ(api.addrow(h, l.type, l.amount, l.vat), 1);
        for (double e : k.earlier) {
            api.pay(h, e);
            walk(api, h);
        }
        EXPECT_EQ(api.pay(h, k.amount), k.result);
        // The cursor stands before the first row until the walk moves it.
        EXPECT_EQ(api.type(h), "");
        EXPECT_EQ(api.amount(h), 0.0);
        EXPECT_EQ(walk(api, h), k.seen);
        EXPECT_EQ(api.free(h), 1);
    }
}

TEST(BalancePayment, UnwalkedMarksMakeTheResultOne) {
    Api api;
    const std::int32_t h = api.create();
    api.addrow(h, "GOODS", 100.0, 0.0);
    ASSERT_EQ(api.pay(h, 10.0), 1);
    EXPECT_EQ(api.pay(h, 0.0), 1) << "the mark of the first payment is still there";
    EXPECT_EQ(walk(api, h), (std::vector<Seen>{{"GOODS", 10.0, 0.0}}));
    EXPECT_EQ(api.pay(h, 0.0), 0);
    api.free(h);
}

// After a walk the cursor stays on the last row it examined; a payment moves it back.
TEST(BalancePayment, CursorAfterTheWalk) {
    Api api;
    const std::int32_t h = api.create();
    for (const char* t : {"A", "B", "C"}) api.addrow(h, t, 10.0, 0.0);
    EXPECT_EQ(api.type(h), "A") << "a new context's cursor is on slot 0";
    api.pay(h, 15.0);
    EXPECT_EQ(walk(api, h), (std::vector<Seen>{{"A", 10.0, 0.0}, {"B", 5.0, 0.0}}));
    EXPECT_EQ(api.type(h), "C");
    EXPECT_EQ(api.amount(h), 0.0);
    EXPECT_EQ(api.affected(h), 0);
    api.free(h);
}

TEST(BalancePayment, InvalidHandleOrEmptyContext) {
    Api api;
    EXPECT_EQ(api.pay(0, 10.0), 0);
    const std::int32_t h = api.create();
    EXPECT_EQ(api.pay(h, 10.0), 0) << "no rows: the amount is dropped";
    EXPECT_EQ(api.vat(h), 0.0);
    api.free(h);
    EXPECT_EQ(api.pay(h, 10.0), 0) << "freed";
    auto pay = api.m.fn<"ib_scbaddpayment">();
    EXPECT_EQ(pay(nullptr, nullptr), 0);
}

} // namespace
