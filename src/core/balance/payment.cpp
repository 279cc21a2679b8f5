#include "core/balance/payment.h"

#include "core/balance/tolerance.h"

#include <cmath>

namespace ardudf::balance {

Take take_from_pool(double& pool, double wanted) noexcept {
    Take take;
    if (wanted <= pool) {
        take.taken = wanted;
        pool = pool - wanted;
    } else {
        take.taken = pool;
        pool = 0.0;
    }
    take.nonzero = is_zero_amount(take.taken, 6) == 0 ? 1 : 0;
    return take;
}

// A NaN total or amount fails every "is not negative" test below and takes the negative
// branch; it has no meaning, but it must lead somewhere definite.
PaymentPools split_payment(const BalanceContext& context, double x) noexcept {
    PaymentPools pools;
    const double t = context.total_amount;
    const double tv = context.total_vat;
    const double pa = context.paid_amount;
    const double pv = context.paid_vat;
    double p = x;
    if (t >= 0.0 && x >= 0.0) { // a payment on a document: VAT first
        if (pa < 0.0) pools.excess_pool = take_from_pool(p, std::fabs(pa)).taken;
        if (tv > pv && p > 0.0) pools.vat_pool = take_from_pool(p, tv - pv).taken;
        if (t > pa) {
            if (p <= 0.0) return pools;
            pools.amount_pool = take_from_pool(p, pa >= 0.0 ? t - pa : t).taken;
        }
        if (p > 0.0) pools.surplus_pool = p;
    } else if (t >= 0.0) { // taken back from a document: amounts before VAT
        const double m1 = t > pa ? pa : t;
        const double m2 = tv > pv ? pv : tv;
        p = std::fabs(x);
        if (t < pa) pools.excess_pool = take_from_pool(p, pa - t).taken;
        if (p <= 0.0) return pools;
        if (m1 > 0.0) pools.amount_pool = take_from_pool(p, m1).taken;
        if (p <= 0.0) return pools;
        if (m2 > 0.0) pools.vat_pool = take_from_pool(p, m2).taken;
        if (p > 0.0) pools.surplus_pool = p;
    } else if (x >= 0.0) { // positive amount on a negative document
        if (t > pa) pools.excess_pool = take_from_pool(p, t - pa).taken;
        if (pa < 0.0) pools.amount_pool = take_from_pool(p, std::fabs(pa)).taken;
        if (pv < 0.0) pools.vat_pool = take_from_pool(p, std::fabs(pv)).taken;
        if (p > 0.0) pools.surplus_pool = p;
    } else { // negative amount on a negative document
        p = std::fabs(x);
        if (pa > 0.0) pools.excess_pool = take_from_pool(p, pa).taken;
        if (tv < pv) pools.vat_pool = take_from_pool(p, pv - tv).taken;
        pools.amount_pool = take_from_pool(p, pa < 0.0 ? pa - t : std::fabs(t)).taken;
        if (p > 0.0) pools.surplus_pool = p;
    }
    return pools;
}

namespace {

// A step's mark: set when the take was not zero, kept when already set.
void mark(BalanceRow& row, const Take& take) noexcept {
    row.affected = (take.nonzero != 0 || row.affected != 0) ? 1 : 0;
}

void add_to_row(BalanceContext& c, BalanceRow& row, double t) noexcept {
    row.paid = row.paid + t;
    c.paid_amount = c.paid_amount + t;
    row.last_change = row.last_change + t;
}

void subtract_from_row(BalanceContext& c, BalanceRow& row, double t) noexcept {
    row.paid = row.paid - t;
    c.paid_amount = c.paid_amount - t;
    row.last_change = row.last_change - t;
}

// The surplus goes whole to the first row of the document's sign.
void give_surplus(BalanceRow& row, PaymentPools& pools, bool taken_back) noexcept {
    const double s = pools.surplus_pool;
    pools.surplus_pool = 0.0;
    row.affected = 1;
    if (taken_back) {
        row.paid = row.paid - s;
        row.last_change = row.last_change - s;
    } else {
        row.paid = row.paid + s;
        row.last_change = row.last_change + s;
    }
}

// Document T >= 0, amount x >= 0: excess, VAT, amount, surplus.
void pay_positive(BalanceContext& c, BalanceRow& row, PaymentPools& pools) noexcept {
    if (row.paid < 0.0 && pools.excess_pool > 0.0 && row.amount > 0.0) {
        // Wants the document's whole overdraft, and its flag is the take's alone.
        const Take k = take_from_pool(pools.excess_pool, std::fabs(c.paid_amount));
        row.paid = row.paid + k.taken;
        row.affected = k.nonzero;
        c.paid_amount = c.paid_amount + k.taken;
        row.last_change = row.last_change + k.taken;
    }
    if (pools.vat_pool > 0.0 && c.paid_vat < c.total_vat) {
        const Take k = take_from_pool(pools.vat_pool, c.total_vat - c.paid_vat);
        mark(row, k);
        c.paid_vat = c.paid_vat + k.taken;
        c.last_vat = k.taken; // replaced: the share of this pass
    }
    if (pools.amount_pool > 0.0 && row.paid < row.amount) {
        const Take k = take_from_pool(pools.amount_pool, row.amount - row.paid);
        mark(row, k);
        add_to_row(c, row, k.taken);
    }
    if (pools.surplus_pool > 0.0 && row.amount > 0.0) {
        c.paid_amount = c.paid_amount + pools.surplus_pool;
        give_surplus(row, pools, false);
    }
}

// Document T >= 0, amount x < 0: excess, amount, VAT, surplus.
void take_back_positive(BalanceContext& c, BalanceRow& row, PaymentPools& pools) noexcept {
    if (pools.excess_pool > 0.0 && row.amount < row.paid) {
        const Take k = take_from_pool(pools.excess_pool, row.paid - row.amount);
        mark(row, k);
        subtract_from_row(c, row, k.taken);
    }
    if (row.paid > 0.0 && pools.amount_pool > 0.0) {
        const Take k = take_from_pool(pools.amount_pool, row.paid);
        mark(row, k);
        subtract_from_row(c, row, k.taken);
    }
    if (c.paid_vat > 0.0) { // an empty pool takes 0.0 and changes nothing
        const Take k = take_from_pool(pools.vat_pool, c.paid_vat);
        mark(row, k);
        c.paid_vat = c.paid_vat - k.taken;
        c.last_vat = c.last_vat - k.taken;
    }
    if (pools.surplus_pool > 0.0 && row.amount > 0.0) {
        c.paid_amount = c.paid_amount - pools.surplus_pool;
        give_surplus(row, pools, true);
    }
}

// Document T < 0, amount x >= 0: excess, amount, VAT, surplus.
void pay_negative(BalanceContext& c, BalanceRow& row, PaymentPools& pools) noexcept {
    if (row.amount > row.paid && pools.excess_pool > 0.0 && row.amount < 0.0) {
        const Take k = take_from_pool(pools.excess_pool, std::fabs(row.paid) - std::fabs(row.amount));
        mark(row, k);
        add_to_row(c, row, k.taken);
    }
    if (pools.amount_pool > 0.0 && row.paid < 0.0) {
        const Take k = take_from_pool(pools.amount_pool, std::fabs(row.paid));
        mark(row, k);
        add_to_row(c, row, k.taken);
    }
    if (pools.vat_pool > 0.0 && c.paid_vat < 0.0) {
        const Take k = take_from_pool(pools.vat_pool, std::fabs(c.paid_vat));
        mark(row, k);
        c.paid_vat = c.paid_vat + k.taken;
        c.last_vat = c.last_vat + k.taken;
    }
    if (pools.surplus_pool > 0.0 && row.amount < 0.0) {
        c.paid_amount = c.paid_amount + pools.surplus_pool;
        give_surplus(row, pools, false);
    }
}

// Document T < 0, amount x < 0: excess, VAT, amount, surplus.
void take_back_negative(BalanceContext& c, BalanceRow& row, PaymentPools& pools) noexcept {
    if (pools.excess_pool > 0.0 && row.amount < 0.0 && row.paid > 0.0) {
        const Take k = take_from_pool(pools.excess_pool, row.paid);
        mark(row, k);
        subtract_from_row(c, row, k.taken);
    }
    if (pools.vat_pool > 0.0 && c.total_vat < c.paid_vat) {
        const Take k = take_from_pool(pools.vat_pool, std::fabs(c.total_vat) - std::fabs(c.paid_vat));
        mark(row, k);
        c.paid_vat = c.paid_vat - k.taken;
        c.last_vat = c.last_vat - k.taken;
    }
    if (pools.amount_pool > 0.0 && row.amount < row.paid) {
        const Take k = take_from_pool(pools.amount_pool, std::fabs(row.amount) - std::fabs(row.paid));
        mark(row, k);
        subtract_from_row(c, row, k.taken);
    }
    if (pools.surplus_pool > 0.0 && row.amount < 0.0) {
        c.paid_amount = c.paid_amount - pools.surplus_pool;
        give_surplus(row, pools, true);
    }
}

} // namespace

std::int32_t distribute_payment(BalanceContext* context, double x) noexcept {
    if (context == nullptr) return 0;
    BalanceContext& c = *context;
    double correction = 0.0;
    std::int32_t result = 0;
    PaymentPools pools = split_payment(c, x);
    // A second pass only runs on what the first freed, and it has the document's sign, so
    // no row it touches crosses its amount again; a row once settled stays settled, so
    // even non-finite amounts end after at most one pass per row.
    for (;;) {
        const bool document_positive = c.total_amount >= 0.0;
        const bool taken_back = !(x >= 0.0);
        for (BalanceRow& row : c.rows) {
            // A line of the other sign than the document is settled at once; what that
            // frees is spread by the next pass. paid_amount does not follow.
            if (document_positive) {
                if (row.amount < 0.0 && row.paid > row.amount) {
                    row.affected = 1;
                    const double d = row.amount - row.paid;
                    correction = correction + std::fabs(d);
                    row.last_change = row.last_change + d;
                    row.paid = row.amount;
                }
                if (taken_back)
                    take_back_positive(c, row, pools);
                else
                    pay_positive(c, row, pools);
            } else {
                if (row.amount > 0.0 && row.paid < row.amount) {
                    row.affected = 1;
                    const double d = row.amount - row.paid;
                    correction = correction - d;
                    row.last_change = row.last_change + d;
                    row.paid = row.amount;
                }
                if (taken_back)
                    take_back_negative(c, row, pools);
                else
                    pay_negative(c, row, pools);
            }
            if (result == 0 && row.affected != 0) result = 1;
        }
        if (is_zero_amount(correction, 6) == 1) break;
        x = correction;
        c.total_amount = c.total_amount + correction;
        pools = split_payment(c, x);
        correction = 0.0;
    }
    c.cursor = -1;
    return result;
}

} // namespace ardudf::balance
