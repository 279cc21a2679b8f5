// The text and value functions of the UDR module, over the routines of src/text. Each
// function's declaration is in sql/ardudf_udr.sql (generated from the catalogue); a NULL
// argument gives NULL unless the comment says otherwise. A routine with texts follows the
// widths its declaration gives them (8191 bytes in the shipped script, at most 32765); a
// result longer than its declared width raises string truncation.
#include "udr/routine.h"

#include "core/text/cleaning.h"
#include "core/text/strings.h"
#include "core/text/tokens.h"

#include <string>

using namespace ardudf::udr;
namespace text = ardudf::text;

// ib_string_length(text VARCHAR) RETURNS INTEGER: bytes before the first NUL.
FB_UDR_BEGIN_FUNCTION(ib_string_length)
    ARDUDF_DECLARED_MESSAGES("ib_string_length")
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).int32(text::saturate_int32(a.text(0).size()));
    }
FB_UDR_END_FUNCTION

// ib_string_left(text VARCHAR, count INTEGER) RETURNS VARCHAR
FB_UDR_BEGIN_FUNCTION(ib_string_left)
    ARDUDF_DECLARED_MESSAGES("ib_string_left")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).text(status, text::left(a.text(0), a.int32(1)));
    }
FB_UDR_END_FUNCTION

// ib_string_right(text VARCHAR, count INTEGER) RETURNS VARCHAR
FB_UDR_BEGIN_FUNCTION(ib_string_right)
    ARDUDF_DECLARED_MESSAGES("ib_string_right")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).text(status, text::right(a.text(0), a.int32(1)));
    }
FB_UDR_END_FUNCTION

// ib_lpad(text VARCHAR, length INTEGER, pad VARCHAR) RETURNS VARCHAR
// A length beyond the declared result raises string truncation. An empty pad pads with NUL
// bytes, which end the text: only the text itself is left.
FB_UDR_BEGIN_FUNCTION(ib_lpad)
    ARDUDF_DECLARED_MESSAGES("ib_lpad")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        const auto r = result(out);
        if (a.any_null()) return r.null();
        const std::string_view t = a.text(0);
        const std::string_view pad = a.text(2);
        const std::size_t width = text::lpad_length(t.size(), a.int32(1));
        char* str = r.reserve(status, width);
        text::lpad(t, width, pad.empty() ? '\0' : pad.front(), str);
        // NUL padding ends the text there, as it does for the legacy module's CSTRING.
        r.set_length(strnlen(str, width));
    }
FB_UDR_END_FUNCTION

// ib_reversestring(text VARCHAR) RETURNS VARCHAR
FB_UDR_BEGIN_FUNCTION(ib_reversestring)
    ARDUDF_DECLARED_MESSAGES("ib_reversestring")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        const std::string_view t = a.text(0);
        text::reverse(t, result(out).reserve(status, t.size()));
    }
FB_UDR_END_FUNCTION

// ib_quote_literal(text VARCHAR) RETURNS VARCHAR: the shipped declaration takes half the
// result's width less the quotes, so that every text fits; a text of almost nothing but
// quotes can outgrow a narrower result: string truncation.
FB_UDR_BEGIN_FUNCTION(ib_quote_literal)
    ARDUDF_DECLARED_MESSAGES("ib_quote_literal")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        const auto r = result(out);
        if (a.any_null()) return r.null();
        const std::string_view t = a.text(0);
        const std::size_t most = text::quote_literal_size(t.size());
        if (most <= r.capacity()) {
            r.set_length(text::quote_literal(t, r.reserve(status, most)));
            return;
        }
        std::string quoted(most, '\0');
        quoted.resize(text::quote_literal(t, quoted.data()));
        r.text(status, quoted);
    }
FB_UDR_END_FUNCTION

// ib_uniqueid(count INTEGER) RETURNS VARCHAR(255): from the calling thread's generator, as
// the legacy module; a count beyond the declared width raises string truncation and draws
// nothing.
FB_UDR_BEGIN_FUNCTION(ib_uniqueid)
    ARDUDF_DECLARED_MESSAGES("ib_uniqueid")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        const std::size_t length = a.int32(0) > 0 ? static_cast<std::size_t>(a.int32(0)) : 0;
        text::unique_id(text::thread_generator(), length, result(out).reserve(status, length));
    }
FB_UDR_END_FUNCTION

// ib_isnotnull(text VARCHAR) RETURNS VARCHAR(1): 'N' for NULL too, which is what the
// function asks.
FB_UDR_BEGIN_FUNCTION(ib_isnotnull)
    ARDUDF_DECLARED_MESSAGES("ib_isnotnull")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        result(out).text(status, text::presence_flag(a.null(0) ? std::string_view() : a.text(0)));
    }
FB_UDR_END_FUNCTION

// ib_convchartoint(text VARCHAR) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_convchartoint)
    ARDUDF_DECLARED_MESSAGES("ib_convchartoint")
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).int32(text::to_int32(a.text(0)));
    }
FB_UDR_END_FUNCTION

// ib_greatest(a DOUBLE PRECISION, b DOUBLE PRECISION) RETURNS DOUBLE PRECISION
FB_UDR_BEGIN_FUNCTION(ib_greatest)
    FB_UDR_MESSAGE(InMessage, (FB_DOUBLE, a)(FB_DOUBLE, b));
    FB_UDR_MESSAGE(OutMessage, (FB_DOUBLE, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->aNull || in->bNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, text::greatest(in->a, in->b));
    }
FB_UDR_END_FUNCTION

// ib_least(a DOUBLE PRECISION, b DOUBLE PRECISION) RETURNS DOUBLE PRECISION
FB_UDR_BEGIN_FUNCTION(ib_least)
    FB_UDR_MESSAGE(InMessage, (FB_DOUBLE, a)(FB_DOUBLE, b));
    FB_UDR_MESSAGE(OutMessage, (FB_DOUBLE, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->aNull || in->bNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, text::least(in->a, in->b));
    }
FB_UDR_END_FUNCTION

// ib_find_token(text VARCHAR, part VARCHAR) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_find_token)
    ARDUDF_DECLARED_MESSAGES("ib_find_token")
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).int32(text::saturate_int32(text::find_part(a.text(0), a.text(1))));
    }
FB_UDR_END_FUNCTION

namespace {
char first_byte(std::string_view t) noexcept { return t.empty() ? '\0' : t.front(); }
} // namespace

// ib_get_token(text VARCHAR, delimiter VARCHAR) RETURNS VARCHAR
FB_UDR_BEGIN_FUNCTION(ib_get_token)
    ARDUDF_DECLARED_MESSAGES("ib_get_token")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).text(status, text::first_token(a.text(0), first_byte(a.text(1))));
    }
FB_UDR_END_FUNCTION

// ib_delete_token(text VARCHAR, delimiter VARCHAR) RETURNS VARCHAR
FB_UDR_BEGIN_FUNCTION(ib_delete_token)
    ARDUDF_DECLARED_MESSAGES("ib_delete_token")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).text(status, text::after_first_token(a.text(0), first_byte(a.text(1))));
    }
FB_UDR_END_FUNCTION

// ib_gets_u2_prefix(first VARCHAR, second VARCHAR) RETURNS VARCHAR(2)
FB_UDR_BEGIN_FUNCTION(ib_gets_u2_prefix)
    ARDUDF_DECLARED_MESSAGES("ib_gets_u2_prefix")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).text(status, text::prefix_code(text::is_yes(a.text(0)), text::is_yes(a.text(1))));
    }
FB_UDR_END_FUNCTION

// ib_gets_u_prefix(first VARCHAR) RETURNS VARCHAR(2)
FB_UDR_BEGIN_FUNCTION(ib_gets_u_prefix)
    ARDUDF_DECLARED_MESSAGES("ib_gets_u_prefix")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        result(out).text(status, text::prefix_code(text::is_yes(a.text(0)), false));
    }
FB_UDR_END_FUNCTION

// ib_correct_phone_number(text VARCHAR(255)) RETURNS VARCHAR(255)
FB_UDR_BEGIN_FUNCTION(ib_correct_phone_number)
    ARDUDF_DECLARED_MESSAGES("ib_correct_phone_number")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        const auto r = result(out);
        if (a.any_null()) return r.null();
        const std::string_view t = a.text(0);
        if (t.size() <= r.capacity()) {
            r.set_length(text::keep_digits(t, r.reserve(status, t.size())));
            return;
        }
        // A result narrower than the text: the digits decide whether they fit.
        std::string digits(t.size(), '\0');
        digits.resize(text::keep_digits(t, digits.data()));
        r.text(status, digits);
    }
FB_UDR_END_FUNCTION

// ib_remove_diacritics(text VARCHAR CHARACTER SET WIN1250) RETURNS VARCHAR CHARACTER SET
// WIN1250: the engine transliterates from and to the attachment's set.
FB_UDR_BEGIN_FUNCTION(ib_remove_diacritics)
    ARDUDF_DECLARED_MESSAGES("ib_remove_diacritics")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        const std::string_view t = a.text(0);
        text::remove_diacritics(t, result(out).reserve(status, t.size()));
    }
FB_UDR_END_FUNCTION
