// Each allocation of the library made to fail in turn: the context stays whole and usable,
// and the operation goes on as far as it can without the memory.
#include "ardudf/ardudf.h"
#include "core/balance/context.h"
#include "core/balance/credit_note.h"
#include "core/balance/payment.h"
#include "balance_state.h"
#include "allocation_faults.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ardudf::balance;

void fill(BalanceContext& c, int n) {
    for (int i = 0; i < n; ++i) ASSERT_NE(append_row(c, std::string("T").append(std::to_string(i))), nullptr);
}

// Rows 0..n-1 present and found, nothing else.
void expect_rows(BalanceContext& c, int n) {
    ASSERT_EQ(c.row_count(), n);
    for (int i = 0; i < n; ++i) EXPECT_EQ(find_row(c, std::string("T").append(std::to_string(i))), &c.rows[i]);
}

TEST(OutOfMemory, AppendRowFailsWhole) {
    // 8 rows: the ninth grows the slots. 0 rows: the first needs a text block.
    for (int before : {0, 8, 16}) {
        for (long k = 1;; ++k) {
            SCOPED_TRACE("rows " + std::to_string(before) + ", failing allocation " + std::to_string(k));
            BalanceContext c;
            fill(c, before);
            const std::int32_t capacity = c.row_capacity;
            BalanceRow* row;
            long used;
            {
                faults::Armed armed(k, faults::Mode::only);
                row = append_row(c, "NEW");
                used = faults::allocations();
            }
            if (used < k) { // no allocation failed: done
                ASSERT_NE(row, nullptr);
                break;
            }
            EXPECT_EQ(row, nullptr);
            expect_rows(c, before);
            EXPECT_EQ(c.row_capacity, capacity);
            EXPECT_EQ(find_row(c, "NEW"), nullptr);
            ASSERT_NE(append_row(c, "NEW"), nullptr) << "usable again";
            EXPECT_EQ(find_row(c, "NEW"), &c.rows[static_cast<std::size_t>(before)]);
        }
    }
}

TEST(OutOfMemory, ContextWithoutSlotsStillKeepsTotals) {
    for (long k : {1L, 2L}) {
        BalanceContext c;
        fill(c, 3);
        {
            faults::Armed armed(k, faults::Mode::only);
            reset_context(c);
        }
        EXPECT_EQ(c.row_capacity, 0);
        EXPECT_EQ(c.row_count(), 0);
        add_row(c, "GOODS", 100.0, 21.0);
        EXPECT_EQ(c.row_count(), 0);
        EXPECT_EQ(c.total_amount, 100.0);
        EXPECT_EQ(c.total_vat, 21.0);
        EXPECT_EQ(find_row(c, "GOODS"), nullptr);
        EXPECT_EQ(distribute_payment(&c, 50.0), 0);
        EXPECT_EQ(c.paid_vat, 0.0) << "no rows: the amount is dropped";
        reset_context(c);
        EXPECT_EQ(c.row_capacity, 8) << "a later clear gets the slots";
    }
}

TEST(OutOfMemory, AddRowMovesTotalsWithoutARow) {
    BalanceContext c;
    fill(c, 8);
    {
        faults::Armed armed(1, faults::Mode::only);
        add_row(c, "NINTH", 10.0, 2.0);
    }
    expect_rows(c, 8);
    EXPECT_EQ(c.total_amount, 10.0);
    EXPECT_EQ(c.total_vat, 2.0);
}

// Without its row the credit note still handles the VAT and the totals, and spreads the
// VAT it released.
TEST(OutOfMemory, CreditNoteWithoutItsRow) {
    BalanceContext c;
    fill(c, 8);
    c.rows[0].amount = 100.0;
    c.rows[0].paid = 100.0;
    c.total_amount = 100.0;
    c.paid_amount = 100.0;
    c.total_vat = 20.0;
    c.paid_vat = 20.0;
    {
        faults::Armed armed(1, faults::Mode::only);
        EXPECT_EQ(release_credit_note(c, "NEW", 10.0, 6.0), 6.0);
    }
    expect_rows(c, 8);
    EXPECT_EQ(c.total_amount, 90.0);
    EXPECT_EQ(c.total_vat, 14.0);
    EXPECT_EQ(c.paid_vat, 14.0);
    EXPECT_EQ(c.last_vat, -6.0);
    EXPECT_EQ(c.paid_amount, 100.0);
    EXPECT_EQ(c.rows[0].affected, 0);
}

TEST(OutOfMemory, DistributionAllocatesNothing) {
    BalanceContext c;
    balance_state::load(c, {80.0, 16.0, 0.0, 0.0, 0.0, {{"GOODS", 100.0}, {"DISCOUNT", -20.0}}});
    faults::Armed armed(1, faults::Mode::only);
    EXPECT_EQ(distribute_payment(&c, 10.0), 1);
    add_credit_note(c, "GOODS", 50.0, 10.0); // releases, and so distributes again
    EXPECT_EQ(c.cursor, -1);
    EXPECT_EQ(faults::allocations(), 0);
}

// ib_scbcreate with each of its allocations failing: 0, or a handle that works.
TEST(OutOfMemory, CreateUnderEachFailure) {
    for (long k = 1; k <= 6; ++k) {
        std::int32_t h;
        {
            faults::Armed armed(k, faults::Mode::only);
            h = ib_scbcreate();
        }
        if (k == 1) {
            EXPECT_EQ(h, 0) << "the context itself";
        }
        if (h == 0) continue;
        const double amount = 100.0, vat = 20.0, paid = 50.0;
        EXPECT_EQ(ib_scbaddrow(&h, "GOODS", &amount, &vat), 1);
        // The 2nd and 3rd allocations are the slots and the index: without them no row is
        // kept, and the payment finds none.
        EXPECT_EQ(ib_scbaddpayment(&h, &paid), k == 2 || k == 3 ? 0 : 1) << k;
        EXPECT_EQ(ib_scbfree(&h), 1);
    }
}

} // namespace
