// The balance functions of the UDR module, over the routines of core/balance, and the walk
// procedure. Every routine instance belongs to one attachment (udr/attachments.h): a handle
// that this attachment did not create behaves like a freed one (0, 0.0 or ''), and what
// the attachment leaves open is freed when it ends.
#include "udr/attachments.h"
#include "udr/routine.h"

#include "core/balance/context.h"
#include "core/balance/credit_note.h"
#include "core/balance/handles.h"
#include "core/balance/payment.h"

using ardudf::udr::AttachmentRef;
namespace balance = ardudf::balance;
namespace catalogue = ardudf::catalogue;

namespace {

// The context of a handle of this attachment, held for one call; empty for any other.
balance::ContextLease lease_of(const AttachmentRef& scope, ISC_LONG handle) noexcept {
    return balance::ContextLease(scope.owns(handle) ? handle : 0);
}

} // namespace

// Each instance joins the scope of the attachment it was made for.
#define ARDUDF_BALANCE_FUNCTION(name) ARDUDF_UDR_FUNCTION_WITH(name, AttachmentRef)

// 0 without memory.
ARDUDF_BALANCE_FUNCTION(ib_scbcreate) { call.result.int32(call.state.create()); }

ARDUDF_BALANCE_FUNCTION(ib_scbaddrow) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    if (lease)
        balance::add_row(*lease, call.args.text("row_type"), call.args.float64("amount"), call.args.float64("vat"));
    call.result.int32(lease ? 1 : 0);
}

ARDUDF_BALANCE_FUNCTION(ib_scbaddpayment) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    call.result.int32(lease ? balance::distribute_payment(lease.get(), call.args.float64("amount")) : 0);
}

// Its catalogue entry reads NULL itself: 1 whatever it is given.
ARDUDF_UDR_FUNCTION(ib_scbstartcreditnote) { call.result.int32(1); }

ARDUDF_BALANCE_FUNCTION(ib_scbaddcreditnote) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    if (lease)
        balance::add_credit_note(*lease, call.args.text("row_type"), call.args.float64("amount"),
                                 call.args.float64("vat"));
    call.result.int32(lease ? 1 : 0);
}

ARDUDF_BALANCE_FUNCTION(ib_scbisaffectedrows) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    call.result.int32(lease && balance::next_affected_row(*lease) != nullptr ? 1 : 0);
}

ARDUDF_BALANCE_FUNCTION(ib_scbreadtype) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    call.result.text(lease ? balance::current_type(*lease) : std::string_view());
}

ARDUDF_BALANCE_FUNCTION(ib_scbreadamount) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    call.result.float64(lease ? balance::take_row_amount(*lease) : 0.0);
}

ARDUDF_BALANCE_FUNCTION(ib_scbreadvat) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    call.result.float64(lease ? balance::take_vat(*lease) : 0.0);
}

ARDUDF_BALANCE_FUNCTION(ib_scbclear) {
    const balance::ContextLease lease = lease_of(call.state, call.args.int32("handle"));
    if (lease) balance::reset_context(*lease);
    call.result.int32(lease ? 1 : 0);
}

ARDUDF_BALANCE_FUNCTION(ib_scbfree) { call.result.int32(call.state.free(call.args.int32("handle"))); }

// The walk of the last operation in one call: each row is what one round of the loop its
// catalogue entry names gives, with the same effects (the cursor moves, amount and VAT are
// reset as they are read). No rows for NULL or a handle of another attachment.
FB_UDR_BEGIN_PROCEDURE(ib_scbwalk)
static constexpr const catalogue::Procedure& walk = catalogue::procedures[0];
static_assert(walk.name == "ib_scbwalk");

FB_UDR_CONSTRUCTOR, scope(context) { (void)status; }
AttachmentRef scope;

FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
FB_UDR_MESSAGE(OutMessage, (ARDUDF_TEXT_FIELD(walk.results[0]), type)(FB_DOUBLE, amount)(FB_DOUBLE, vat));

FB_UDR_EXECUTE_PROCEDURE {
    (void)status, (void)context;
    handle = in->handleNull ? 0 : in->handle;
}

// The context is looked up on every fetch: the loop body may free it meanwhile.
FB_UDR_FETCH_PROCEDURE {
    const balance::ContextLease lease = lease_of(procedure->scope, handle);
    if (!lease || balance::next_affected_row(*lease) == nullptr) return false;
    ardudf::udr::set_text(status, out->type, out->typeNull, balance::current_type(*lease));
    ardudf::udr::set_value(out->amount, out->amountNull, balance::take_row_amount(*lease));
    ardudf::udr::set_value(out->vat, out->vatNull, balance::take_vat(*lease));
    return true;
}

ISC_LONG handle = 0;
FB_UDR_END_PROCEDURE
