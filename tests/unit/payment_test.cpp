#include "core/balance/payment.h"
#include "balance_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace ardudf::balance;
using balance_state::Doc;

struct TakeCase {
    double pool, wanted, taken, pool_after;
    int nonzero;
};
TEST(Payment, TakeFromPool) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TakeCase cases[] = {
        {10.0, 4.0, 4.0, 6.0, 1},
        {10.0, 10.0, 10.0, 0.0, 1}, // wanted == pool: taken whole by the first rule
        {10.0, 12.0, 10.0, 0.0, 1},
        {0.0, 5.0, 0.0, 0.0, 0},                           // an empty pool gives nothing, reported as zero
        {10.0, 0.0000004, 0.0000004, 10.0 - 0.0000004, 0}, // taken, but zero at 6 places
        {10.0, 0.0000005, 0.0000005, 10.0 - 0.0000005, 1},
        {5.0, -10.0, -10.0, 15.0, 1}, // a negative want grows the pool
        {10.0, nan, 10.0, 0.0, 1},    // NaN is not <= anything: the whole pool
    };
    for (const auto& k : cases) {
        double pool = k.pool;
        const Take t = take_from_pool(pool, k.wanted);
        EXPECT_EQ(t.taken, k.taken) << k.pool << " " << k.wanted;
        EXPECT_EQ(pool, k.pool_after) << k.pool << " " << k.wanted;
        EXPECT_EQ(t.nonzero, k.nonzero) << k.pool << " " << k.wanted;
    }
}

struct SplitCase {
    const char* name;
    double t, tv, pa, pv, x;
    double excess, amount, vat, surplus;
};
TEST(Payment, SplitPayment) {
    const SplitCase cases[] = {
        // T >= 0, x >= 0: VAT before amounts
        {"partial payment", 150.0, 31.5, 0.0, 0.0, 100.0, 0.0, 68.5, 31.5, 0.0},
        {"overpayment", 150.0, 0.0, 0.0, 0.0, 200.0, 0.0, 150.0, 0.0, 50.0},
        {"credit line doc", 20.0, 0.0, 0.0, 0.0, 30.0, 0.0, 20.0, 0.0, 10.0},
        {"second pass", 100.0, 16.0, 0.0, 10.0, 20.0, 0.0, 14.0, 6.0, 0.0},
        {"paid below zero", 103.0, 0.0, -25.0, 0.0, 25.0, 25.0, 0.0, 0.0, 0.0},
        {"paid below zero, T wanted whole", 100.0, 0.0, -10.0, 0.0, 150.0, 10.0, 100.0, 0.0, 40.0},
        {"fully paid: surplus", 30.0, 0.0, 30.0, 0.0, 10.0, 0.0, 0.0, 0.0, 10.0},
        {"zero amount stops before the surplus", 20.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0},
        // T >= 0, x < 0: amounts before VAT
        {"refund", 150.0, 31.5, 68.5, 31.5, -40.0, 0.0, 40.0, 0.0, 0.0},
        {"refund into VAT", 100.0, 21.0, 50.0, 21.0, -60.0, 0.0, 50.0, 10.0, 0.0},
        {"refund beyond paid", 100.0, 21.0, 50.0, 21.0, -80.0, 0.0, 50.0, 21.0, 9.0},
        {"overpaid: excess first", 100.0, 0.0, 130.0, 0.0, -50.0, 30.0, 20.0, 0.0, 0.0},
        // T < 0, x >= 0
        {"positive on negative", -50.0, -10.5, -60.0, -10.5, 100.0, 10.0, 60.0, 10.5, 19.5},
        // T < 0, x < 0
        {"negative document", -50.0, -10.5, 0.0, 0.0, -60.5, 0.0, 50.0, 10.5, 0.0},
        {"paid below T: negative amount pool", -50.0, 0.0, -60.0, 0.0, -5.0, 0.0, -10.0, 0.0, 15.0},
        {"excess from positive paid", -50.0, 0.0, 30.0, 0.0, -100.0, 30.0, 50.0, 0.0, 20.0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        BalanceContext c;
        c.total_amount = k.t;
        c.total_vat = k.tv;
        c.paid_amount = k.pa;
        c.paid_vat = k.pv;
        const PaymentPools p = split_payment(c, k.x);
        EXPECT_EQ(p.excess_pool, k.excess);
        EXPECT_EQ(p.amount_pool, k.amount);
        EXPECT_EQ(p.vat_pool, k.vat);
        EXPECT_EQ(p.surplus_pool, k.surplus);
    }
}

struct DistributeCase {
    const char* name;
    Doc before;
    double x;
    Doc after;
    int result;
};

TEST(Payment, DistributePayment) {
    const DistributeCase cases[] = {
        {"1 partial payment: VAT taken at the first row",
         {150.0, 31.5, 0.0, 0.0, 0.0, {{"GOODS", 100.0}, {"SERVICE", 50.0}}},
         100.0,
         {150.0, 31.5, 68.5, 31.5, 31.5, {{"GOODS", 100.0, 68.5, 68.5, 1}, {"SERVICE", 50.0}}},
         1},
        {"2 overpayment: surplus to the first positive row",
         {150.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0}, {"SERVICE", 50.0}}},
         200.0,
         {150.0, 0.0, 200.0, 0.0, 0.0, {{"GOODS", 100.0, 150.0, 150.0, 1}, {"SERVICE", 50.0, 50.0, 50.0, 1}}},
         1},
        {"3 credit line settled, freed amount spread in a second pass",
         {20.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 30.0}, {"DISCOUNT", -10.0}}},
         20.0,
         {30.0, 0.0, 30.0, 0.0, 0.0, {{"GOODS", 30.0, 30.0, 30.0, 1}, {"DISCOUNT", -10.0, -10.0, -10.0, 1}}},
         1},
        {"4 refund: amounts released before VAT",
         {150.0, 31.5, 68.5, 31.5, 0.0, {{"GOODS", 100.0, 68.5}, {"SERVICE", 50.0}}},
         -40.0,
         {150.0, 31.5, 28.5, 31.5, 0.0, {{"GOODS", 100.0, 28.5, -40.0, 1}, {"SERVICE", 50.0}}},
         1},
        {"5 negative document",
         {-50.0, -10.5, 0.0, 0.0, 0.0, {{"RETURN", -50.0}}},
         -60.5,
         {-50.0, -10.5, -50.0, -10.5, -10.5, {{"RETURN", -50.0, -50.0, -50.0, 1}}},
         1},
        {"6 surplus passes over a credit line",
         {20.0, 0.0, 0.0, 0.0, 0.0, {{"DISCOUNT", -10.0}, {"GOODS", 30.0}}},
         30.0,
         {30.0, 0.0, 40.0, 0.0, 0.0, {{"DISCOUNT", -10.0, -10.0, -10.0, 1}, {"GOODS", 30.0, 40.0, 40.0, 1}}},
         1},
        {"exact take empties the pool: the next row is untouched",
         {150.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0}, {"SERVICE", 50.0}}},
         100.0,
         {150.0, 0.0, 100.0, 0.0, 0.0, {{"GOODS", 100.0, 100.0, 100.0, 1}, {"SERVICE", 50.0}}},
         1},
        {"take zero at 6 places moves paid but does not mark",
         {100.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0}}},
         0.0000004,
         {100.0, 0.0, 0.0000004, 0.0, 0.0, {{"GOODS", 100.0, 0.0000004, 0.0000004, 0}}},
         0},
        {"payment 0.0 still settles a credit line",
         {20.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 30.0}, {"DISCOUNT", -10.0}}},
         0.0,
         {30.0, 0.0, 10.0, 0.0, 0.0, {{"GOODS", 30.0, 10.0, 10.0, 1}, {"DISCOUNT", -10.0, -10.0, -10.0, 1}}},
         1},
        {"payment 0.0 with nothing to do",
         {100.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0}}},
         0.0,
         {100.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0}}},
         0},
        {"an unwalked mark from before gives 1",
         {100.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0, 0.0, 0.0, 1}}},
         0.0,
         {100.0, 0.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0, 0.0, 0.0, 1}}},
         1},
        {"positive payment replaces last_vat",
         {100.0, 21.0, 0.0, 0.0, 5.0, {{"GOODS", 100.0}}},
         10.0,
         {100.0, 21.0, 0.0, 10.0, 10.0, {{"GOODS", 100.0, 0.0, 0.0, 1}}},
         1},
        {"second pass serves the rest of the VAT and replaces last_vat",
         {80.0, 16.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0}, {"DISCOUNT", -20.0}}},
         10.0,
         {100.0, 16.0, 14.0, 16.0, 6.0, {{"GOODS", 100.0, 14.0, 14.0, 1}, {"DISCOUNT", -20.0, -20.0, -20.0, 1}}},
         1},
        {"refund lowers last_vat by the VAT released",
         {100.0, 21.0, 50.0, 21.0, 5.0, {{"GOODS", 100.0, 50.0}}},
         -60.0,
         {100.0, 21.0, 0.0, 11.0, -5.0, {{"GOODS", 100.0, 0.0, -50.0, 1}}},
         1},
        {"excess wants the document's whole overdraft",
         {103.0, 0.0, -25.0, 0.0, 0.0, {{"FIRST", 3.0, -5.0}, {"SECOND", 100.0, -20.0}}},
         25.0,
         {103.0, 0.0, 0.0, 0.0, 0.0, {{"FIRST", 3.0, 20.0, 25.0, 1}, {"SECOND", 100.0, -20.0}}},
         1},
        {"a zero excess take replaces an earlier mark",
         {103.0, 0.0, -0.0000001, 0.0, 0.0, {{"FIRST", 3.0, -0.0000001, 0.0, 1}}},
         0.0000001,
         {103.0, 0.0, 0.0, 0.0, 0.0, {{"FIRST", 3.0, 0.0, 0.0000001, 0}}},
         0},
        {"negative document paid beyond T: negative amount pool never spent",
         {-50.0, 0.0, -60.0, 0.0, 0.0, {{"RETURN", -50.0, -60.0}}},
         -5.0,
         {-50.0, 0.0, -75.0, 0.0, 0.0, {{"RETURN", -50.0, -75.0, -15.0, 1}}},
         1},
        {"negative want in the amount step grows the pool",
         {-50.0, 0.0, 30.0, 0.0, 0.0, {{"FEE", 10.0, 30.0}, {"RETURN", -60.0}}},
         -100.0,
         {-50.0, 0.0, -30.0, 0.0, 0.0, {{"FEE", 10.0, 50.0, 20.0, 1}, {"RETURN", -60.0, -80.0, -80.0, 1}}},
         1},
        {"positive line on a negative document settled, then the rest",
         {-40.0, 0.0, 0.0, 0.0, 0.0, {{"FEE", 10.0}, {"RETURN", -50.0}}},
         -40.0,
         {-50.0, 0.0, -50.0, 0.0, 0.0, {{"FEE", 10.0, 10.0, 10.0, 1}, {"RETURN", -50.0, -50.0, -50.0, 1}}},
         1},
        {"positive amount on a negative document takes back",
         {-50.0, -10.5, -60.0, -10.5, 0.0, {{"RETURN", -50.0, -60.0}}},
         100.0,
         {-50.0, -10.5, 19.5, 0.0, 10.5, {{"RETURN", -50.0, 19.5, 79.5, 1}}},
         1},
        {"no rows: the amount is dropped",
         {150.0, 31.5, 0.0, 0.0, 7.0, {}},
         100.0,
         {150.0, 31.5, 0.0, 0.0, 7.0, {}},
         0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        BalanceContext c;
        balance_state::load(c, k.before);
        c.cursor = 2;
        EXPECT_EQ(distribute_payment(&c, k.x), k.result);
        balance_state::expect_state(c, k.after);
        EXPECT_EQ(c.cursor, -1);
    }
}

TEST(Payment, NoContextGivesZero) { EXPECT_EQ(distribute_payment(nullptr, 10.0), 0); }

// Outside the design, but they must end, and in a definite state.
TEST(Payment, NonFiniteAmountsEnd) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double values[] = {nan, inf, -inf, 1e308, -1e308, 5.0, -5.0, 0.0};
    for (double t : values)
        for (double a : values)
            for (double x : values) {
                BalanceContext c;
                balance_state::load(
                    c, {t, a, 0.0, 0.0, 0.0, {{"A", a}, {"B", -a}, {"C", t}, {"D", -10.0, a}, {"E", 10.0, -a}}});
                const int r = distribute_payment(&c, x);
                EXPECT_TRUE(r == 0 || r == 1);
                EXPECT_EQ(c.cursor, -1);
                EXPECT_EQ(c.row_count(), 5);
            }
}

} // namespace
