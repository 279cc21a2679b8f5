// Credit notes: lower one row and the document's VAT after payments may have been made,
// take back what is now over-allocated, and spread it again as a payment.
#pragma once

#include "core/balance/context.h"

#include <string_view>

namespace ardudf::balance {

// Lowers the row and the VAT and takes back what now exceeds them; returns what it took
// back (0.0 when nothing), which add_credit_note then spreads.
double release_credit_note(BalanceContext& context, std::string_view type, double amount, double vat) noexcept;

// amount and vat are the credit note's own values, positive for a reduction. Every
// comparison is exact. A type without a row gets one (even for 0.0 and 0.0); without
// memory for it the VAT and the totals are still handled and only the VAT released is
// spread. Runs distribute_payment only when something was released, so a credit note that
// releases nothing marks no row and leaves the cursor alone.
void add_credit_note(BalanceContext& context, std::string_view type, double amount, double vat) noexcept;

} // namespace ardudf::balance
