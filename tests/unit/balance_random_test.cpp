// Many random documents (mixed-sign lines, VAT, payments, refunds, credit notes), each
// operation followed by the walk SQL code runs. Whatever the sequence:
//  - the walk reports rows in strictly increasing slot order, each at most once, only rows
//    that were marked, and leaves no mark behind and the cursor on the last row;
//  - the result of an operation is 1 whenever it leaves a row marked;
//  - every row whose paid moved by a cent or more in an operation is reported;
//  - per row, what the walks read plus what is still unread equals the change of paid
//    (to 1e-6: paid and last_change add the same takes, each rounded on its own);
//  - a document's rows are found by type throughout.
#include "core/balance/context.h"
#include "core/balance/credit_note.h"
#include "core/balance/payment.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ardudf::balance;

const char* const types[] = {"GOODS", "SERVICE", "DISCOUNT", "FEE", "RETURN", "DEPOSIT", "goods", "GOODS ", ""};

struct Model {
    std::vector<double> read; // per slot: what the walks have read so far
};

// Cents: exact in decimal, not in binary, like real amounts.
double cents(std::mt19937_64& rng, int max_cents) {
    return static_cast<double>(std::uniform_int_distribution<int>(-max_cents, max_cents)(rng)) / 100.0;
}

std::string failure;
#define CHECK_PROP(cond, what)                                                                                         \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            failure = std::string(what) + " (document " + std::to_string(doc) + ")";                                   \
            return false;                                                                                              \
        }                                                                                                              \
    } while (0)

// Walks as SQL code does and checks the walk; amounts read go into the model.
bool walk_and_check(BalanceContext& c, Model& m, const std::vector<double>& paid_before, int doc) {
    std::vector<int> marked(c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) marked[i] = c.rows[i].affected;
    int last_slot = -1;
    while (BalanceRow* row = next_affected_row(c)) {
        const int slot = c.cursor;
        CHECK_PROP(row == &c.rows[static_cast<std::size_t>(slot)], "the walk yields the row under the cursor");
        CHECK_PROP(slot > last_slot, "slot order, each row once");
        CHECK_PROP(marked[static_cast<std::size_t>(slot)] != 0, "only marked rows are reported");
        last_slot = slot;
        const double amount = row->last_change;
        row->last_change = 0.0;
        c.last_vat = 0.0;
        CHECK_PROP(current_row(c) == row, "the readers see the reported row");
        m.read[static_cast<std::size_t>(slot)] += amount;
    }
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        CHECK_PROP(c.rows[i].affected == 0, "no mark survives the walk");
        if (i < paid_before.size() && std::fabs(c.rows[i].paid - paid_before[i]) >= 0.01)
            CHECK_PROP(marked[i] != 0 && static_cast<int>(i) <= last_slot, "a row that moved is reported");
    }
    if (!c.rows.empty()) CHECK_PROP(c.cursor == c.row_count() - 1, "cursor on the last row after the walk");
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const double unread = c.rows[i].last_change;
        CHECK_PROP(std::fabs(c.rows[i].paid - m.read[i] - unread) < 1e-6, "reads add up to the change of paid");
    }
    return true;
}

bool run_document(BalanceContext& c, std::mt19937_64& rng, int doc) {
    Model m;
    const bool negative = rng() % 4 == 0;
    const int lines = 1 + static_cast<int>(rng() % 10);
    for (int i = 0; i < lines; ++i) {
        double amount = std::fabs(cents(rng, 100000));
        if (rng() % 5 == 0) amount = -amount / 4; // a line of the other sign
        if (negative) amount = -amount;
        const double vat = rng() % 3 == 0 ? 0.0 : std::round(amount * 21.0) / 100.0;
        add_row(c, types[rng() % std::size(types)], amount, vat);
    }
    for (const BalanceRow& row : c.rows) CHECK_PROP(find_row(c, row.type()) == &row, "rows found by type");
    m.read.assign(c.rows.size(), 0.0);
    const int ops = 1 + static_cast<int>(rng() % 6);
    for (int op = 0; op < ops; ++op) {
        std::vector<double> paid_before;
        for (const BalanceRow& row : c.rows) paid_before.push_back(row.paid);
        const unsigned kind = rng() % 10;
        int result = -1;
        if (kind < 5) {
            result = distribute_payment(&c, std::fabs(cents(rng, 150000)) * (negative ? -1.0 : 1.0));
        } else if (kind < 7) {
            result = distribute_payment(&c, cents(rng, 150000)); // either sign: refunds too
        } else if (kind < 9) {
            const double amount = cents(rng, 50000);
            add_credit_note(c, types[rng() % std::size(types)], amount, rng() % 2 ? amount * 0.21 : 0.0);
            m.read.resize(c.rows.size(), 0.0);
        } else {
            result = distribute_payment(&c, 0.0);
        }
        bool any_marked = false;
        for (const BalanceRow& row : c.rows) any_marked = any_marked || row.affected != 0;
        if (result == 0) CHECK_PROP(!any_marked, "a marked row makes the result 1");
        if (result >= 0) CHECK_PROP(c.cursor == -1, "a payment leaves the cursor before the first row");
        if (!walk_and_check(c, m, paid_before, doc)) return false;
    }
    return true;
}

TEST(BalanceRandom, PropertiesHoldForTenThousandDocuments) {
    std::mt19937_64 rng(20240611);
    BalanceContext reused;
    for (int doc = 0; doc < 10000; ++doc) {
        BalanceContext fresh;
        // Every other document reuses one context through a clear.
        BalanceContext& c = doc % 2 == 0 ? (reset_context(reused), reused) : fresh;
        ASSERT_TRUE(run_document(c, rng, doc)) << failure;
    }
}

} // namespace
