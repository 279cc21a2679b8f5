#include "core/balance/context.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace ardudf::balance;

TEST(Context, NewContextHasEightEmptySlots) {
    BalanceContext c;
    EXPECT_EQ(c.row_count(), 0);
    EXPECT_EQ(c.row_capacity, 8);
    EXPECT_EQ(c.cursor, 0);
    EXPECT_EQ(current_row(c), nullptr);
    EXPECT_EQ(next_affected_row(c), nullptr);
}

TEST(Context, SlotsDoubleAndRowsKeepTheirPlaces) {
    BalanceContext c;
    const int expected_capacity[] = {8, 8, 8, 8, 8, 8, 8, 8, 16, 16, 16, 16, 16, 16, 16, 16, 32};
    for (int i = 0; i < 17; ++i) {
        BalanceRow* row = append_row(c, std::string("T").append(std::to_string(i)));
        ASSERT_NE(row, nullptr);
        row->amount = i;
        EXPECT_EQ(c.row_capacity, expected_capacity[i]) << "after row " << i + 1;
    }
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(c.rows[i].type(), std::string("T").append(std::to_string(i)));
        EXPECT_EQ(find_row(c, std::string("T").append(std::to_string(i))), &c.rows[i]);
        EXPECT_EQ(c.rows[i].amount, i);
    }
}

TEST(Context, FindRowIsByteExact) {
    BalanceContext c;
    append_row(c, "GOODS");
    EXPECT_NE(find_row(c, "GOODS"), nullptr);
    EXPECT_EQ(find_row(c, "goods"), nullptr);
    EXPECT_EQ(find_row(c, "GOODS "), nullptr);
    EXPECT_EQ(find_row(c, "GOOD"), nullptr);
    append_row(c, "");
    EXPECT_EQ(find_row(c, ""), &c.rows[1]);
}

// Rows 0..3, cursor before the first, slots 1 and 3 marked with a change.
TEST(Context, WalkReportsMarkedRowsInSlotOrder) {
    BalanceContext c;
    for (const char* t : {"A", "B", "C", "D"}) append_row(c, t);
    c.rows[1].affected = 1;
    c.rows[1].last_change = 1.0;
    c.rows[3].affected = 1;
    c.rows[3].last_change = 1e-12; // exact test: still a change
    c.cursor = -1;
    EXPECT_EQ(next_affected_row(c), &c.rows[1]);
    EXPECT_EQ(next_affected_row(c), &c.rows[3]);
    EXPECT_EQ(next_affected_row(c), nullptr);
    EXPECT_EQ(c.cursor, 3);
    EXPECT_EQ(current_row(c), &c.rows[3]);
}

TEST(Context, MarkedRowWithoutChangeIsReportedOnlyWhileVatIsUnread) {
    struct Case {
        double last_vat;
        bool reported;
    };
    for (const Case k : {Case{2.0, true}, Case{0.0, false}}) {
        BalanceContext c;
        append_row(c, "A");
        c.rows[0].affected = 1;
        c.last_vat = k.last_vat;
        c.cursor = -1;
        EXPECT_EQ(next_affected_row(c) != nullptr, k.reported);
        EXPECT_EQ(c.rows[0].affected, 0) << "the flag is cleared either way";
        c.cursor = -1;
        EXPECT_EQ(next_affected_row(c), nullptr);
    }
}

TEST(Context, ResetGivesANewContext) {
    BalanceContext c;
    for (int i = 0; i < 20; ++i) append_row(c, std::to_string(i));
    c.total_amount = c.total_vat = c.paid_amount = c.paid_vat = c.last_vat = 3.0;
    c.cursor = 5;
    reset_context(c);
    EXPECT_EQ(c.row_count(), 0);
    EXPECT_EQ(c.row_capacity, 8);
    EXPECT_EQ(c.cursor, 0);
    EXPECT_EQ(c.total_amount + c.total_vat + c.paid_amount + c.paid_vat + c.last_vat, 0.0);
    EXPECT_EQ(find_row(c, "3"), nullptr);
}

} // namespace
