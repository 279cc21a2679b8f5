// The balance engine's exports. A handle that does not name a live context (0, forged,
// freed, stale) gives the result of handle 0 and changes nothing.
#include "ardudf/ardudf.h"
#include "core/balance/context.h"
#include "core/balance/credit_note.h"
#include "core/balance/handles.h"
#include "core/balance/payment.h"
#include "core/balance/tolerance.h"
#include "legacy/arguments.h"
#include "legacy/result.h"

#include <new>

namespace {

using namespace ardudf::balance;

using ardudf::legacy::read_text;
std::int32_t read_handle(const std::int32_t* handle) noexcept { return ardudf::legacy::read_int(handle); }
double read_amount(const double* amount) noexcept { return ardudf::legacy::read_double(amount); }

} // namespace

// The handle of a new, empty context; 0 when memory runs out.
extern "C" std::int32_t ib_scbcreate(void) noexcept { return create_context(); }

// Adds amount to the row of row_type (made on first use) and amount and vat to the totals: 1,
// or 0 for an invalid handle. A line zero at 6 places in both amount and vat changes nothing.
extern "C" std::int32_t ib_scbaddrow(const std::int32_t* handle, const char* row_type, const double* amount,
                                     const double* vat) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    add_row(*context, read_text(row_type), read_amount(amount), read_amount(vat));
    return 1;
}

// Spreads a payment (negative: one taken back) over the VAT and the rows: 1 when a row is
// marked for the walk, else 0; 0 for an invalid handle. The amount is used unrounded.
extern "C" std::int32_t ib_scbaddpayment(const std::int32_t* handle, const double* amount) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    return distribute_payment(context.get(), read_amount(amount));
}

// Lowers the row of row_type by amount and the VAT by vat, and spreads again what that takes
// back: 1, whatever was marked; 0 for an invalid handle.
extern "C" std::int32_t ib_scbaddcreditnote(const std::int32_t* handle, const char* row_type, const double* amount,
                                            const double* vat) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    add_credit_note(*context, read_text(row_type), read_amount(amount), read_amount(vat));
    return 1;
}

// 1, always, for any handle; reads and changes nothing. A credit note needs no opening.
extern "C" std::int32_t ib_scbstartcreditnote([[maybe_unused]] const std::int32_t* handle) noexcept { return 1; }

// 1 when the cursor moved onto the next row changed by the last payment or credit note;
// 0 when none is left, or for an invalid handle.
extern "C" std::int32_t ib_scbisaffectedrows(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    return next_affected_row(*context) != nullptr ? 1 : 0;
}

// The type of the current row; the empty text when there is none or the handle is invalid.
// When the copy gets no memory the empty text is tried instead; null (SQL NULL) only when
// the server's allocator gives not even that one byte.
extern "C" char* ib_scbreadtype(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    const std::string_view type = context ? current_type(*context) : std::string_view("");
    if (char* copy = ardudf::legacy::copy_result(type)) return copy;
    return type.empty() ? nullptr : ardudf::legacy::copy_result("");
}

// What the last operations allocated to the current row since it was last read (negative
// for a release), then reset to 0; 0.0 without a current row or for an invalid handle.
extern "C" double ib_scbreadamount(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    return context ? take_row_amount(*context) : 0.0;
}

// The VAT moved by the last operations since last read, then reset to 0; it belongs to
// the document, not to the current row. 0.0 for an invalid handle.
extern "C" double ib_scbreadvat(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    return context ? take_vat(*context) : 0.0;
}

// 1, and the context is as ib_scbcreate makes it; the handle stays valid. 0 for an
// invalid handle.
extern "C" std::int32_t ib_scbclear(const std::int32_t* handle) noexcept {
    ContextLease context(read_handle(handle));
    if (!context) return 0;
    reset_context(*context);
    return 1;
}

// 1, and the context is freed; the handle and its copies become invalid, so a second
// free returns 0, as does any invalid handle.
extern "C" std::int32_t ib_scbfree(const std::int32_t* handle) noexcept { return free_context(read_handle(handle)); }
