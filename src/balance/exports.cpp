// The balance engine's exports. A handle that does not name a live context (0, forged,
// freed, stale) gives the result of handle 0 and changes nothing.
#include "ardudf/ardudf.h"
#include "balance/context.h"
#include "balance/handles.h"
#include "balance/tolerance.h"
#include "frame/result.h"

#include <new>

namespace {

using namespace ardudf::balance;

std::int32_t read_handle(const std::int32_t* handle) noexcept { return handle != nullptr ? *handle : 0; }
double read_amount(const double* value) noexcept { return value != nullptr ? *value : 0.0; }
std::string_view read_text(const char* text) noexcept { return text != nullptr ? text : ""; }

} // namespace

// DECLARE EXTERNAL FUNCTION ib_scbcreate RETURNS INTEGER BY VALUE
// The handle of a new, empty context; 0 when memory runs out.
extern "C" std::int32_t ib_scbcreate(void) noexcept {
    BalanceContext* context = nullptr;
    try {
        context = new BalanceContext();
    } catch (...) {
        return 0;
    }
    const std::int32_t handle = register_context(context);
    if (handle == 0) delete context;
    return handle;
}

// ib_scbaddrow(handle, type, amount, vat): adds amount to the row of type (made on first
// use) and amount and vat to the totals; 1, or 0 for an invalid handle. A line whose
// amount and vat are both zero at 6 places changes nothing.
extern "C" std::int32_t ib_scbaddrow(const std::int32_t* handle, const char* type, const double* amount,
                                     const double* vat) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    const double a = read_amount(amount);
    const double v = read_amount(vat);
    if (is_zero_amount(a, 6) == 1 && is_zero_amount(v, 6) == 1) return 1;
    const std::string_view key = read_text(type);
    if (BalanceRow* row = find_row(*context, key))
        row->amount = row->amount + a;
    else if (BalanceRow* added = append_row(*context, key))
        added->amount = a;
    // Out of memory for the row: the totals move all the same.
    context->total_amount = context->total_amount + a;
    context->total_vat = context->total_vat + v;
    return 1;
}

// ib_scbstartcreditnote(handle): 1, always; reads nothing. A credit note needs no opening.
extern "C" std::int32_t ib_scbstartcreditnote(const std::int32_t*) noexcept { return 1; }

// ib_scbisaffectedrows(handle): 1 when the cursor moved onto the next row changed by the
// last payment or credit note, 0 when none is left (or the handle is invalid).
extern "C" std::int32_t ib_scbisaffectedrows(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    return next_affected_row(*context) != nullptr ? 1 : 0;
}

// ib_scbreadtype(handle): the type of the current row; the empty text when there is none.
// Null (SQL NULL) only when the server's allocator gives no memory.
extern "C" char* ib_scbreadtype(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    const BalanceRow* row = context ? current_row(*context) : nullptr;
    if (row != nullptr) {
        if (char* copy = ardudf::frame::copy_result(row->type)) return copy;
    }
    return ardudf::frame::copy_result("");
}

// ib_scbreadamount(handle): what the last operations allocated to the current row since
// it was last read (negative for a release); reading resets it to 0.
extern "C" double ib_scbreadamount(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0.0;
    BalanceRow* row = current_row(*context);
    if (row == nullptr) return 0.0;
    const double value = row->last_change;
    row->last_change = 0.0;
    return value;
}

// ib_scbreadvat(handle): the VAT moved by the last operations since last read; reading
// resets it to 0. It belongs to the document, not to the current row.
extern "C" double ib_scbreadvat(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0.0;
    const double value = context->last_vat;
    context->last_vat = 0.0;
    return value;
}

// ib_scbclear(handle): the context as ib_scbcreate makes it; the handle stays valid.
extern "C" std::int32_t ib_scbclear(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    reset_context(*context);
    return 1;
}

// ib_scbfree(handle): frees the context; the handle and its copies become invalid, so a
// second free returns 0.
extern "C" std::int32_t ib_scbfree(const std::int32_t* handle) noexcept {
    BalanceContext* context = unregister_context(read_handle(handle));
    if (context == nullptr) return 0;
    delete context;
    return 1;
}
