// The text functions of the UDR module, over the routines of core/text. A routine
// with texts follows the widths its declaration gives them; a result longer than its
// declared width raises string truncation.
#include "udr/routine.h"

#include "core/text/cleaning.h"
#include "core/text/strings.h"
#include "core/text/tokens.h"

#include <string>

namespace text = ardudf::text;

ARDUDF_UDR_FUNCTION(ib_string_left) { call.result.text(text::left(call.args.text("text"), call.args.int32("len"))); }

ARDUDF_UDR_FUNCTION(ib_string_right) { call.result.text(text::right(call.args.text("text"), call.args.int32("len"))); }

// An empty pad pads with NUL bytes, which end the text: only the text itself is left, as
// in the legacy module's CSTRING.
ARDUDF_UDR_FUNCTION(ib_lpad) {
    const std::string_view t = call.args.text("text");
    const std::string_view pad = call.args.text("pad");
    const std::size_t width = text::lpad_length(t.size(), call.args.int32("len"));
    call.result.set_length(text::lpad(t, width, text::first_byte(pad), call.result.reserve(width)));
}

ARDUDF_UDR_FUNCTION(ib_reversestring) {
    const std::string_view t = call.args.text("text");
    text::reverse(t, call.result.reserve(t.size()));
}

// The shipped declaration takes half the result's width less the quotes, so that every
// text fits; a text of almost nothing but quotes can outgrow a narrower result.
ARDUDF_UDR_FUNCTION(ib_quote_literal) {
    const std::string_view t = call.args.text("text");
    const std::size_t most = text::quote_literal_size(t.size());
    if (most <= call.result.capacity()) {
        call.result.set_length(text::quote_literal(t, call.result.reserve(most)));
        return;
    }
    std::string quoted(most, '\0');
    quoted.resize(text::quote_literal(t, quoted.data()));
    call.result.text(quoted);
}

ARDUDF_UDR_FUNCTION(ib_find_token) {
    call.result.int32(text::saturate_int32(text::find_part(call.args.text("text"), call.args.text("part"))));
}

ARDUDF_UDR_FUNCTION(ib_get_token) {
    call.result.text(text::first_token(call.args.text("text"), text::first_byte(call.args.text("delimiters"))));
}

ARDUDF_UDR_FUNCTION(ib_delete_token) {
    call.result.text(text::after_first_token(call.args.text("text"), text::first_byte(call.args.text("delimiters"))));
}

ARDUDF_UDR_FUNCTION(ib_gets_u2_prefix) {
    call.result.text(text::prefix_code(text::is_yes(call.args.text("flag1")), text::is_yes(call.args.text("flag2"))));
}

ARDUDF_UDR_FUNCTION(ib_gets_u_prefix) {
    call.result.text(text::prefix_code(text::is_yes(call.args.text("flag")), false));
}

ARDUDF_UDR_FUNCTION(ib_correct_phone_number) {
    const std::string_view t = call.args.text("text");
    if (t.size() <= call.result.capacity()) {
        call.result.set_length(text::keep_digits(t, call.result.reserve(t.size())));
        return;
    }
    // A result narrower than the text: the digits decide whether they fit.
    std::string digits(t.size(), '\0');
    digits.resize(text::keep_digits(t, digits.data()));
    call.result.text(digits);
}

// Declared in WIN1250: the engine transliterates from and to the attachment's set.
ARDUDF_UDR_FUNCTION(ib_remove_diacritics) {
    const std::string_view t = call.args.text("text");
    text::remove_diacritics(t, call.result.reserve(t.size()));
}
