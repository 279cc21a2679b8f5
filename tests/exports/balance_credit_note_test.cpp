// Credit notes through the exports: a script of payments and credit notes, each walked to
// its end, and what the walk after the last one reads.
#include "balance_api.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace balance_api {
void PrintTo(const Seen& s, std::ostream* os);
} // namespace balance_api

namespace {

using namespace balance_api;

struct Op {
    const char* credit_type; // null: a payment
    double amount, vat;
    bool walk = true; // walk after it (the last op's walk is the one checked)
};

struct CreditCase {
    const char* name;
    std::vector<Line> lines;
    std::vector<Op> ops;
    std::vector<Seen> seen;
};

TEST(BalanceCreditNote, WalkAfterCreditNote) {
    const CreditCase cases[] = {
        {"fully paid: row and VAT released, spread again as surplus",
         {{"GOODS", 100.0, 20.0}},
         {{nullptr, 120.0, 0.0}, {"GOODS", 30.0, 6.0}},
         {{"GOODS", 6.0, -6.0}}},
        {"VAT paid first: the VAT released pays the row",
         {{"GOODS", 100.0, 20.0}},
         {{nullptr, 60.0, 0.0}, {"GOODS", 30.0, 6.0}},
         {{"GOODS", 6.0, -6.0}}},
        {"nothing exceeds: nothing released, nothing marked",
         {{"GOODS", 100.0, 20.0}},
         {{nullptr, 20.0, 0.0}, {"GOODS", 30.0, 0.0}},
         {}},
        {"new type: a settled credit line, its amount spread again",
         {{"GOODS", 100.0, 20.0}},
         {{nullptr, 120.0, 0.0}, {"REBATE", 10.0, 0.0}},
         {{"GOODS", 10.0, 0.0}, {"REBATE", -10.0, 0.0}}},
        {"an unread change is replaced; the unread VAT still shows",
         {{"GOODS", 100.0, 20.0}},
         {{nullptr, 95.0, 0.0, false}, {"GOODS", 30.0, 0.0}},
         {{"GOODS", 0.0, 20.0}}},
        {"a negative credit note raises the row and the VAT",
         {{"GOODS", 100.0, 20.0}},
         {{nullptr, 120.0, 0.0}, {"GOODS", -30.0, -6.0}, {nullptr, 36.0, 0.0}},
         {{"GOODS", 30.0, 6.0}}},
        {"on a negative document a credit note releases nothing",
         {{"RETURN", -50.0, -10.5}},
         {{nullptr, -60.5, 0.0}, {"RETURN", -20.0, -4.0}},
         {}},
    };
    Api api;
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        const std::int32_t h = api.create();
        for (const Line& l : k.lines) api.addrow(h, l.type, l.amount, l.vat);
        std::vector<Seen> seen;
        for (const Op& op : k.ops) {
            if (op.credit_type != nullptr)
                EXPECT_EQ(api.credit(h, op.credit_type, op.amount, op.vat), 1);
            else
                api.pay(h, op.amount);
            if (op.walk) seen = walk(api, h);
        }
        EXPECT_EQ(seen, k.seen);
        api.free(h);
    }
}

// A credit note that releases nothing leaves the cursor where the last walk left it.
TEST(BalanceCreditNote, ReleasingNothingKeepsTheCursor) {
    Api api;
    const std::int32_t h = api.create();
    api.addrow(h, "GOODS", 100.0, 0.0);
    api.addrow(h, "SERVICE", 50.0, 0.0);
    api.pay(h, 10.0);
    walk(api, h);
    EXPECT_EQ(api.credit(h, "SERVICE", 5.0, 0.0), 1);
    EXPECT_EQ(api.type(h), "SERVICE");
    EXPECT_EQ(api.credit(h, "GOODS", 95.0, 0.0), 1) << "GOODS now 5.0 against 10.0 paid";
    EXPECT_EQ(api.type(h), "");
    api.free(h);
}

TEST(BalanceCreditNote, ZeroForANewTypeMakesTheRow) {
    Api api;
    const std::int32_t h = api.create();
    EXPECT_EQ(api.credit(h, "NEW", 0.0, 0.0), 1);
    EXPECT_EQ(api.type(h), "NEW") << "a new context's cursor is on slot 0";
    api.free(h);
}

TEST(BalanceCreditNote, InvalidHandle) {
    Api api;
    EXPECT_EQ(api.credit(0, "GOODS", 1.0, 1.0), 0);
    const std::int32_t h = api.create();
    api.free(h);
    EXPECT_EQ(api.credit(h, "GOODS", 1.0, 1.0), 0);
    auto credit = api.m.fn<"ib_scbaddcreditnote">();
    EXPECT_EQ(credit(nullptr, nullptr, nullptr, nullptr), 0);
}

} // namespace
