// Payment allocation: a signed amount (a payment, or one taken back) is split into four
// pools by the signs and totals of the document, and every row in slot order takes from
// them in the order of its branch. Every comparison is exact on doubles except the two
// tests at 6 places (a take, and the end of a pass); every sum is done in the order
// written, since a reordered sum is another double.
#pragma once

#include "core/balance/context.h"

#include <cstdint>

namespace ardudf::balance {

struct PaymentPools {
    double excess_pool = 0.0; // paid beyond the document, to be moved back first
    double amount_pool = 0.0;
    double vat_pool = 0.0;
    double surplus_pool = 0.0; // left over: all of it to one row
};

struct Take {
    double taken = 0.0;
    std::int32_t nonzero = 0; // taken is not zero at 6 places
};

// Takes wanted from pool when the pool holds that much (wanted <= pool, exact), else the
// whole pool.
Take take_from_pool(double& pool, double wanted) noexcept;

// The four pools of amount x; reads the context's totals, changes nothing.
PaymentPools split_payment(const BalanceContext& context, double x) noexcept;

// Spreads x over the VAT and the rows, settles lines of the other sign than the document
// and spreads what that frees once more. Marks the rows it changed, leaves the cursor
// before the first row. 1 when some row was marked at the end of its handling (an
// unwalked mark from before counts), else 0; 0 and no change for a null context.
std::int32_t distribute_payment(BalanceContext* context, double x) noexcept;

} // namespace ardudf::balance
