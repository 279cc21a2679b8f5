#include "core/balance/credit_note.h"

#include "core/balance/payment.h"

namespace ardudf::balance {

double release_credit_note(BalanceContext& context, std::string_view type, double amount, double vat) noexcept {
    BalanceRow* row = find_row(context, type);
    if (row == nullptr) row = append_row(context, type);

    context.total_vat = context.total_vat - vat;
    double released = 0.0;
    if (context.total_vat < context.paid_vat) {
        if (row != nullptr) row->affected = 1;
        const double d = context.paid_vat - context.total_vat;
        context.paid_vat = context.total_vat;
        context.last_vat = -d; // replaces what was not read
        released = d;
    }

    context.total_amount = context.total_amount - amount;
    if (row != nullptr) {
        row->amount = row->amount - amount;
        if (row->amount < row->paid) {
            const double x = row->paid - row->amount;
            row->affected = 1;
            row->last_change = -x; // replaces what was not read
            row->paid = row->paid + row->last_change;
            context.paid_amount = context.paid_amount + row->last_change;
            released = released + x;
        }
    }

    return released;
}

void add_credit_note(BalanceContext& context, std::string_view type, double amount, double vat) noexcept {
    const double released = release_credit_note(context, type, amount, vat);
    if (released != 0.0) distribute_payment(&context, released);
}

} // namespace ardudf::balance
