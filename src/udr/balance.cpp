// The balance functions of the UDR module, over the routines of src/balance, and the walk
// procedure. Every routine instance belongs to one attachment (udr/attachments.h): a handle
// that this attachment did not create behaves like a freed one (0, 0.0 or ''), and what
// the attachment leaves open is freed when it ends. A NULL argument gives NULL and changes
// nothing; ib_scbstartcreditnote answers 1 whatever it is given.
#include "udr/attachments.h"
#include "udr/routine.h"

#include "core/balance/context.h"
#include "core/balance/credit_note.h"
#include "core/balance/handles.h"
#include "core/balance/payment.h"

using namespace ardudf::udr;
namespace balance = ardudf::balance;

namespace {

// The context of a handle of this attachment, held for one call; empty for any other.
balance::ContextLease lease_of(const AttachmentRef& scope, ISC_LONG handle) noexcept {
    return balance::ContextLease(scope.owns(handle) ? handle : 0);
}

} // namespace

// Each instance joins the scope of the attachment it was made for.
#define ARDUDF_ATTACHMENT_SCOPE              \
    FB_UDR_CONSTRUCTOR, scope(context) { (void)status; } \
    AttachmentRef scope;

// The same, for a routine with a text: its messages laid out by its declaration.
#define ARDUDF_ATTACHMENT_SCOPE_DECLARED(name)                                                     \
    ARDUDF_DECLARED_MESSAGE_TYPES(name)                                                            \
    FB_UDR_CONSTRUCTOR, scope(context), arguments_(status, metadata__), result_(status, metadata__) {} \
    AttachmentRef scope;                                                                           \
    ARDUDF_DECLARED_MESSAGE_FIELDS

// ib_scbcreate() RETURNS INTEGER: a new context of this attachment; 0 without memory.
FB_UDR_BEGIN_FUNCTION(ib_scbcreate)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context, (void)in;
        set_value(out->result, out->resultNull, static_cast<ISC_LONG>(scope.create()));
    }
FB_UDR_END_FUNCTION

// ib_scbaddrow(handle INTEGER, type VARCHAR(255), amount DOUBLE PRECISION,
//              vat DOUBLE PRECISION) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_scbaddrow)
    ARDUDF_ATTACHMENT_SCOPE_DECLARED("ib_scbaddrow")
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        const balance::ContextLease lease = lease_of(scope, a.int32(0));
        if (lease) balance::add_row(*lease, a.text(1), a.float64(2), a.float64(3));
        result(out).int32(lease ? 1 : 0);
    }
FB_UDR_END_FUNCTION

// ib_scbaddpayment(handle INTEGER, amount DOUBLE PRECISION) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_scbaddpayment)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle)(FB_DOUBLE, amount));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->handleNull || in->amountNull) return set_null(out->resultNull);
        const balance::ContextLease lease = lease_of(scope, in->handle);
        set_value(out->result, out->resultNull,
                  static_cast<ISC_LONG>(lease ? balance::distribute_payment(lease.get(), in->amount) : 0));
    }
FB_UDR_END_FUNCTION

// ib_scbstartcreditnote(handle INTEGER) RETURNS INTEGER: 1, always, NULL included.
FB_UDR_BEGIN_FUNCTION(ib_scbstartcreditnote)
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context, (void)in;
        set_value(out->result, out->resultNull, static_cast<ISC_LONG>(1));
    }
FB_UDR_END_FUNCTION

// ib_scbaddcreditnote(handle INTEGER, type VARCHAR(255), amount DOUBLE PRECISION,
//                     vat DOUBLE PRECISION) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_scbaddcreditnote)
    ARDUDF_ATTACHMENT_SCOPE_DECLARED("ib_scbaddcreditnote")
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        const balance::ContextLease lease = lease_of(scope, a.int32(0));
        if (lease) balance::add_credit_note(*lease, a.text(1), a.float64(2), a.float64(3));
        result(out).int32(lease ? 1 : 0);
    }
FB_UDR_END_FUNCTION

// ib_scbisaffectedrows(handle INTEGER) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_scbisaffectedrows)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->handleNull) return set_null(out->resultNull);
        const balance::ContextLease lease = lease_of(scope, in->handle);
        set_value(out->result, out->resultNull,
                  static_cast<ISC_LONG>(lease && balance::next_affected_row(*lease) != nullptr ? 1 : 0));
    }
FB_UDR_END_FUNCTION

// ib_scbreadtype(handle INTEGER) RETURNS VARCHAR(255)
FB_UDR_BEGIN_FUNCTION(ib_scbreadtype)
    ARDUDF_ATTACHMENT_SCOPE_DECLARED("ib_scbreadtype")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        const balance::ContextLease lease = lease_of(scope, a.int32(0));
        result(out).text(status, lease ? balance::current_type(*lease) : std::string_view());
    }
FB_UDR_END_FUNCTION

// ib_scbreadamount(handle INTEGER) RETURNS DOUBLE PRECISION: read and reset
FB_UDR_BEGIN_FUNCTION(ib_scbreadamount)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
    FB_UDR_MESSAGE(OutMessage, (FB_DOUBLE, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->handleNull) return set_null(out->resultNull);
        const balance::ContextLease lease = lease_of(scope, in->handle);
        set_value(out->result, out->resultNull, lease ? balance::take_row_amount(*lease) : 0.0);
    }
FB_UDR_END_FUNCTION

// ib_scbreadvat(handle INTEGER) RETURNS DOUBLE PRECISION: read and reset
FB_UDR_BEGIN_FUNCTION(ib_scbreadvat)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
    FB_UDR_MESSAGE(OutMessage, (FB_DOUBLE, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->handleNull) return set_null(out->resultNull);
        const balance::ContextLease lease = lease_of(scope, in->handle);
        set_value(out->result, out->resultNull, lease ? balance::take_vat(*lease) : 0.0);
    }
FB_UDR_END_FUNCTION

// ib_scbclear(handle INTEGER) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_scbclear)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->handleNull) return set_null(out->resultNull);
        const balance::ContextLease lease = lease_of(scope, in->handle);
        if (lease) balance::reset_context(*lease);
        set_value(out->result, out->resultNull, static_cast<ISC_LONG>(lease ? 1 : 0));
    }
FB_UDR_END_FUNCTION

// ib_scbfree(handle INTEGER) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_scbfree)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->handleNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, static_cast<ISC_LONG>(scope.free(in->handle)));
    }
FB_UDR_END_FUNCTION

// ib_scbwalk(handle INTEGER) RETURNS (type VARCHAR(255), amount DOUBLE PRECISION,
//                                     vat DOUBLE PRECISION)
// The walk of the last operation in one call: each row is what one round of
// ib_scbisaffectedrows, ib_scbreadtype, ib_scbreadamount and ib_scbreadvat gives, with the
// same effects (the cursor moves, amount and VAT are reset as they are read). No rows for
// NULL or a handle of another attachment.
FB_UDR_BEGIN_PROCEDURE(ib_scbwalk)
    ARDUDF_ATTACHMENT_SCOPE
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, handle));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_scbreadtype"), type)(FB_DOUBLE, amount)(FB_DOUBLE, vat));

    FB_UDR_EXECUTE_PROCEDURE {
        (void)status, (void)context;
        handle = in->handleNull ? 0 : in->handle;
    }

    // The context is looked up on every fetch: the loop body may free it meanwhile.
    FB_UDR_FETCH_PROCEDURE {
        const balance::ContextLease lease = lease_of(procedure->scope, handle);
        if (!lease || balance::next_affected_row(*lease) == nullptr) return false;
        set_text(status, out->type, out->typeNull, balance::current_type(*lease));
        set_value(out->amount, out->amountNull, balance::take_row_amount(*lease));
        set_value(out->vat, out->vatNull, balance::take_vat(*lease));
        return true;
    }

    ISC_LONG handle = 0;
FB_UDR_END_PROCEDURE
