// The text and value functions of the UDR module, over the routines of src/text. Each
// function's declaration is in sql/ardudf_udr.sql (generated from the catalogue); a NULL
// argument gives NULL unless the comment says otherwise.
#include "udr/routine.h"

#include "text/cleaning.h"
#include "text/strings.h"
#include "text/tokens.h"

#include <string>

using namespace ardudf::udr;
namespace text = ardudf::text;

// ib_string_length(text VARCHAR(32765)) RETURNS INTEGER: bytes before the first NUL.
FB_UDR_BEGIN_FUNCTION(ib_string_length)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_string_length", 0), text));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->textNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, text::saturate_int32(text_of(in->text).size()));
    }
FB_UDR_END_FUNCTION

// ib_string_left(text VARCHAR(32765), count INTEGER) RETURNS VARCHAR(32765)
FB_UDR_BEGIN_FUNCTION(ib_string_left)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_string_left", 0), text)(FB_INTEGER, count));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_string_left"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull || in->countNull) return set_null(out->resultNull);
        set_text(status, out->result, out->resultNull, text::left(text_of(in->text), in->count));
    }
FB_UDR_END_FUNCTION

// ib_string_right(text VARCHAR(32765), count INTEGER) RETURNS VARCHAR(32765)
FB_UDR_BEGIN_FUNCTION(ib_string_right)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_string_right", 0), text)(FB_INTEGER, count));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_string_right"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull || in->countNull) return set_null(out->resultNull);
        set_text(status, out->result, out->resultNull, text::right(text_of(in->text), in->count));
    }
FB_UDR_END_FUNCTION

// ib_lpad(text VARCHAR(32765), length INTEGER, pad VARCHAR(32765)) RETURNS VARCHAR(32765)
// A length beyond the result's 32765 bytes raises string truncation. An empty pad pads
// with NUL bytes, which end the text: only the text itself is left.
FB_UDR_BEGIN_FUNCTION(ib_lpad)
    FB_UDR_MESSAGE(InMessage,
        (ARDUDF_ARG_TEXT("ib_lpad", 0), text)(FB_INTEGER, length)(ARDUDF_ARG_TEXT("ib_lpad", 2), pad));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_lpad"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull || in->lengthNull || in->padNull) return set_null(out->resultNull);
        const std::string_view t = text_of(in->text);
        const std::string_view pad = text_of(in->pad);
        const std::size_t width = text::lpad_length(t.size(), in->length);
        char* result = reserve_text(status, out->result, out->resultNull, width);
        text::lpad(t, width, pad.empty() ? '\0' : pad.front(), result);
        // NUL padding ends the text there, as it does for the legacy module's CSTRING.
        out->result.length = static_cast<ISC_USHORT>(strnlen(result, width));
    }
FB_UDR_END_FUNCTION

// ib_reversestring(text VARCHAR(32765)) RETURNS VARCHAR(32765)
FB_UDR_BEGIN_FUNCTION(ib_reversestring)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_reversestring", 0), text));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_reversestring"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull) return set_null(out->resultNull);
        const std::string_view t = text_of(in->text);
        text::reverse(t, reserve_text(status, out->result, out->resultNull, t.size()));
    }
FB_UDR_END_FUNCTION

// ib_quote_literal(text VARCHAR(16382)) RETURNS VARCHAR(32765)
// A text of almost nothing but quotes can outgrow the result: string truncation.
FB_UDR_BEGIN_FUNCTION(ib_quote_literal)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_quote_literal", 0), text));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_quote_literal"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull) return set_null(out->resultNull);
        const std::string_view t = text_of(in->text);
        std::string quoted(text::quote_literal_size(t.size()), '\0');
        quoted.resize(text::quote_literal(t, quoted.data()));
        set_text(status, out->result, out->resultNull, quoted);
    }
FB_UDR_END_FUNCTION

// ib_uniqueid(count INTEGER) RETURNS VARCHAR(255): from the calling thread's generator, as
// the legacy module; a count beyond 255 raises string truncation and draws nothing.
FB_UDR_BEGIN_FUNCTION(ib_uniqueid)
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, count));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_uniqueid"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->countNull) return set_null(out->resultNull);
        const std::size_t length = in->count > 0 ? static_cast<std::size_t>(in->count) : 0;
        text::unique_id(text::thread_generator(), length, reserve_text(status, out->result, out->resultNull, length));
    }
FB_UDR_END_FUNCTION

// ib_isnotnull(text VARCHAR(32765)) RETURNS VARCHAR(1): 'N' for NULL too, which is what the
// function asks.
FB_UDR_BEGIN_FUNCTION(ib_isnotnull)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_isnotnull", 0), text));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_isnotnull"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const std::string_view t = in->textNull ? std::string_view() : text_of(in->text);
        set_text(status, out->result, out->resultNull, text::presence_flag(t));
    }
FB_UDR_END_FUNCTION

// ib_convchartoint(text VARCHAR(32765)) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_convchartoint)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_convchartoint", 0), text));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->textNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, text::to_int32(text_of(in->text)));
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

// ib_find_token(text VARCHAR(32765), part VARCHAR(32765)) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_find_token)
    FB_UDR_MESSAGE(InMessage,
        (ARDUDF_ARG_TEXT("ib_find_token", 0), text)(ARDUDF_ARG_TEXT("ib_find_token", 1), part));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->textNull || in->partNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull,
                  text::saturate_int32(text::find_part(text_of(in->text), text_of(in->part))));
    }
FB_UDR_END_FUNCTION

namespace {
char first_byte(std::string_view t) noexcept { return t.empty() ? '\0' : t.front(); }
} // namespace

// ib_get_token(text VARCHAR(32765), delimiter VARCHAR(32765)) RETURNS VARCHAR(32765)
FB_UDR_BEGIN_FUNCTION(ib_get_token)
    FB_UDR_MESSAGE(InMessage,
        (ARDUDF_ARG_TEXT("ib_get_token", 0), text)(ARDUDF_ARG_TEXT("ib_get_token", 1), delimiter));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_get_token"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull || in->delimiterNull) return set_null(out->resultNull);
        set_text(status, out->result, out->resultNull,
                 text::first_token(text_of(in->text), first_byte(text_of(in->delimiter))));
    }
FB_UDR_END_FUNCTION

// ib_delete_token(text VARCHAR(32765), delimiter VARCHAR(32765)) RETURNS VARCHAR(32765)
FB_UDR_BEGIN_FUNCTION(ib_delete_token)
    FB_UDR_MESSAGE(InMessage,
        (ARDUDF_ARG_TEXT("ib_delete_token", 0), text)(ARDUDF_ARG_TEXT("ib_delete_token", 1), delimiter));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_delete_token"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull || in->delimiterNull) return set_null(out->resultNull);
        set_text(status, out->result, out->resultNull,
                 text::after_first_token(text_of(in->text), first_byte(text_of(in->delimiter))));
    }
FB_UDR_END_FUNCTION

// ib_gets_u2_prefix(first VARCHAR(32765), second VARCHAR(32765)) RETURNS VARCHAR(2)
FB_UDR_BEGIN_FUNCTION(ib_gets_u2_prefix)
    FB_UDR_MESSAGE(InMessage,
        (ARDUDF_ARG_TEXT("ib_gets_u2_prefix", 0), first)(ARDUDF_ARG_TEXT("ib_gets_u2_prefix", 1), second));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_gets_u2_prefix"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->firstNull || in->secondNull) return set_null(out->resultNull);
        set_text(status, out->result, out->resultNull,
                 text::prefix_code(text::is_yes(text_of(in->first)), text::is_yes(text_of(in->second))));
    }
FB_UDR_END_FUNCTION

// ib_gets_u_prefix(first VARCHAR(32765)) RETURNS VARCHAR(2)
FB_UDR_BEGIN_FUNCTION(ib_gets_u_prefix)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_gets_u_prefix", 0), first));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_gets_u_prefix"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->firstNull) return set_null(out->resultNull);
        set_text(status, out->result, out->resultNull, text::prefix_code(text::is_yes(text_of(in->first)), false));
    }
FB_UDR_END_FUNCTION

// ib_correct_phone_number(text VARCHAR(255)) RETURNS VARCHAR(255)
FB_UDR_BEGIN_FUNCTION(ib_correct_phone_number)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_correct_phone_number", 0), text));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_correct_phone_number"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull) return set_null(out->resultNull);
        const std::string_view t = text_of(in->text);
        char* result = reserve_text(status, out->result, out->resultNull, t.size());
        out->result.length = static_cast<ISC_USHORT>(text::keep_digits(t, result));
    }
FB_UDR_END_FUNCTION

// ib_remove_diacritics(text VARCHAR(32765) CHARACTER SET WIN1250) RETURNS VARCHAR(32765)
// CHARACTER SET WIN1250: the engine transliterates from and to the attachment's set.
FB_UDR_BEGIN_FUNCTION(ib_remove_diacritics)
    FB_UDR_MESSAGE(InMessage, (ARDUDF_ARG_TEXT("ib_remove_diacritics", 0), text));
    FB_UDR_MESSAGE(OutMessage, (ARDUDF_RESULT_TEXT("ib_remove_diacritics"), result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        if (in->textNull) return set_null(out->resultNull);
        const std::string_view t = text_of(in->text);
        text::remove_diacritics(t, reserve_text(status, out->result, out->resultNull, t.size()));
    }
FB_UDR_END_FUNCTION
