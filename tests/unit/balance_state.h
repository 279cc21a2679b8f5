// A balance context written out field by field, to set up and to check the internals.
#pragma once

#include "core/balance/context.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace balance_state {

struct Row {
    std::string type;
    double amount = 0.0, paid = 0.0, last_change = 0.0;
    int affected = 0;
};

struct Doc {
    double total_amount = 0.0, total_vat = 0.0, paid_amount = 0.0, paid_vat = 0.0, last_vat = 0.0;
    std::vector<Row> rows;
};

inline void load(ardudf::balance::BalanceContext& c, const Doc& d) {
    c.total_amount = d.total_amount;
    c.total_vat = d.total_vat;
    c.paid_amount = d.paid_amount;
    c.paid_vat = d.paid_vat;
    c.last_vat = d.last_vat;
    for (const Row& r : d.rows) {
        ardudf::balance::BalanceRow* row = ardudf::balance::append_row(c, r.type);
        ASSERT_NE(row, nullptr);
        row->amount = r.amount;
        row->paid = r.paid;
        row->last_change = r.last_change;
        row->affected = r.affected;
    }
}

// Every field bit for bit.
inline void expect_state(const ardudf::balance::BalanceContext& c, const Doc& d) {
    EXPECT_EQ(c.total_amount, d.total_amount);
    EXPECT_EQ(c.total_vat, d.total_vat);
    EXPECT_EQ(c.paid_amount, d.paid_amount);
    EXPECT_EQ(c.paid_vat, d.paid_vat);
    EXPECT_EQ(c.last_vat, d.last_vat);
    ASSERT_EQ(c.rows.size(), d.rows.size());
    for (std::size_t i = 0; i < d.rows.size(); ++i) {
        SCOPED_TRACE(d.rows[i].type);
        EXPECT_EQ(c.rows[i].type(), d.rows[i].type);
        EXPECT_EQ(c.rows[i].amount, d.rows[i].amount);
        EXPECT_EQ(c.rows[i].paid, d.rows[i].paid);
        EXPECT_EQ(c.rows[i].last_change, d.rows[i].last_change);
        EXPECT_EQ(c.rows[i].affected, d.rows[i].affected);
    }
}

} // namespace balance_state
