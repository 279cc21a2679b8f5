#include "core/balance/credit_note.h"
#include "core/balance/payment.h"
#include "balance_state.h"

#include <gtest/gtest.h>

namespace {

using namespace ardudf::balance;
using balance_state::Doc;

struct ReleaseCase {
    const char* name;
    Doc before;
    const char* type;
    double amount, vat;
    Doc after; // before distribute_payment runs
    double released;
};

TEST(CreditNote, ReleaseBeforeDistribution) {
    const ReleaseCase cases[] = {
        {"row and VAT fully paid: both released",
         {100.0, 20.0, 100.0, 20.0, 0.0, {{"X", 100.0, 100.0}}},
         "X",
         30.0,
         6.0,
         {70.0, 14.0, 70.0, 14.0, -6.0, {{"X", 70.0, 70.0, -30.0, 1}}},
         36.0},
        {"half paid: nothing exceeds, nothing marked",
         {100.0, 20.0, 50.0, 10.0, 2.0, {{"X", 100.0, 50.0}}},
         "X",
         30.0,
         6.0,
         {70.0, 14.0, 50.0, 10.0, 2.0, {{"X", 70.0, 50.0}}},
         0.0},
        {"new type: a row of minus the amount, settled at once",
         {100.0, 20.0, 100.0, 20.0, 0.0, {{"X", 100.0, 100.0}}},
         "Y",
         10.0,
         0.0,
         {90.0, 20.0, 90.0, 20.0, 0.0, {{"X", 100.0, 100.0}, {"Y", -10.0, -10.0, -10.0, 1}}},
         10.0},
        {"an unread change is replaced",
         {100.0, 20.0, 80.0, 20.0, 0.0, {{"X", 100.0, 80.0, 5.0}}},
         "X",
         30.0,
         0.0,
         {70.0, 20.0, 70.0, 20.0, 0.0, {{"X", 70.0, 70.0, -10.0, 1}}},
         10.0},
        {"negative credit note raises row and VAT",
         {100.0, 20.0, 100.0, 20.0, 0.0, {{"X", 100.0, 100.0}}},
         "X",
         -30.0,
         -6.0,
         {130.0, 26.0, 100.0, 20.0, 0.0, {{"X", 130.0, 100.0}}},
         0.0},
        {"zero for a new type still makes the row",
         {100.0, 20.0, 0.0, 10.0, 0.0, {{"X", 100.0}}},
         "Y",
         0.0,
         0.0,
         {100.0, 20.0, 0.0, 10.0, 0.0, {{"X", 100.0}, {"Y", 0.0}}},
         0.0},
        {"new totals exactly equal to what is paid release nothing",
         {100.0, 20.0, 70.0, 14.0, 0.0, {{"X", 100.0, 70.0}}},
         "X",
         30.0,
         6.0,
         {70.0, 14.0, 70.0, 14.0, 0.0, {{"X", 70.0, 70.0}}},
         0.0},
        {"VAT alone: last_vat replaced, the row marked",
         {100.0, 20.0, 50.0, 20.0, 3.0, {{"X", 100.0, 50.0}}},
         "X",
         0.0,
         5.0,
         {100.0, 15.0, 50.0, 15.0, -5.0, {{"X", 100.0, 50.0, 0.0, 1}}},
         5.0},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        BalanceContext c;
        balance_state::load(c, k.before);
        c.cursor = 0;
        EXPECT_EQ(release_credit_note(c, k.type, k.amount, k.vat), k.released);
        balance_state::expect_state(c, k.after);
        EXPECT_EQ(c.cursor, 0);
    }
}

// What is released is spread like a payment of that amount; when nothing is, the cursor
// stays where the walk left it.
TEST(CreditNote, DistributesWhatItReleases) {
    struct Case {
        Doc before;
        double amount, vat;
        int cursor;
    };
    const Case cases[] = {
        {{100.0, 20.0, 100.0, 20.0, 0.0, {{"X", 100.0, 100.0}, {"Z", 0.0}}}, 30.0, 6.0, -1},
        {{100.0, 20.0, 50.0, 10.0, 0.0, {{"X", 100.0, 50.0}, {"Z", 0.0}}}, 30.0, 6.0, 1},
    };
    for (const auto& k : cases) {
        BalanceContext expected, c;
        balance_state::load(expected, k.before);
        balance_state::load(c, k.before);
        expected.cursor = c.cursor = 1;
        const double r = release_credit_note(expected, "X", k.amount, k.vat);
        if (r != 0.0) distribute_payment(&expected, r);
        add_credit_note(c, "X", k.amount, k.vat);
        EXPECT_EQ(c.cursor, k.cursor);
        EXPECT_EQ(c.paid_amount, expected.paid_amount);
        EXPECT_EQ(c.rows[0].paid, expected.rows[0].paid);
        EXPECT_EQ(c.rows[0].last_change, expected.rows[0].last_change);
    }
}

} // namespace
