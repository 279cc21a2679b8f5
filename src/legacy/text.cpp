// The text exports: read the arguments (a null pointer reads as the empty text
// or 0), call the routine, hand text through the server's allocator. Every size is checked
// against the allocator's int32 before it is asked for; a result that cannot be allocated,
// or that the allocator refuses, is the null pointer (SQL NULL) and nothing is written.
#include "ardudf/ardudf.h"
#include "legacy/arguments.h"
#include "legacy/result.h"
#include "core/text/cleaning.h"
#include "core/text/strings.h"
#include "core/text/tokens.h"

#include <algorithm>
#include <cstring>

using namespace ardudf::text;
using ardudf::legacy::allocate_result;
using ardudf::legacy::allocate_text;
using ardudf::legacy::copy_result;
using ardudf::legacy::first_byte;
using ardudf::legacy::past_longest_result;
using ardudf::legacy::read_int;
using ardudf::legacy::read_text;

// The first len bytes; len 0 gives the empty text, a len beyond the length or a negative
// len the whole text. Allocates n + 1.
extern "C" char* ib_string_left(const char* text, const std::int32_t* len) noexcept {
    return copy_result(left(read_text(text), read_int(len)));
}

// The last len bytes; len as for ib_string_left. Allocates n + 1.
extern "C" char* ib_string_right(const char* text, const std::int32_t* len) noexcept {
    return copy_result(right(read_text(text), read_int(len)));
}

// The text padded on the left with the first byte of pad up to len bytes (an empty pad pads
// with NUL bytes); a text as long or longer, or a negative len, comes back unchanged.
extern "C" char* ib_lpad(const char* text, const std::int32_t* len, const char* pad) noexcept {
    const std::string_view t = read_text(text);
    const std::size_t width = lpad_length(t.size(), read_int(len), past_longest_result);
    char* result = allocate_text(width);
    if (result == nullptr) return nullptr;
    lpad(t, width, first_byte(pad), result);
    result[width] = '\0';
    return result;
}

// The bytes in reverse order (a multi-byte character comes out with its bytes reversed).
extern "C" char* ib_reversestring(const char* text) noexcept {
    const std::string_view t = read_text(text);
    char* result = allocate_text(t.size());
    if (result == nullptr) return nullptr;
    reverse(t, result);
    result[t.size()] = '\0';
    return result;
}

// The text in single quotes, each inner quote doubled; the empty text gives ''. Allocates
// 2 * length + 3 whatever the text holds.
extern "C" char* ib_quote_literal(const char* text) noexcept {
    const std::string_view t = read_text(text);
    char* result = allocate_result(quote_literal_size(t.size()));
    if (result == nullptr) return nullptr;
    quote_literal(t, result);
    return result;
}

// 1-based byte position of the first occurrence of part (any bytes, case-sensitive), 0
// when absent; an empty part gives 1.
extern "C" std::int32_t ib_find_token(const char* text, const char* part) noexcept {
    return saturate_int32(find_part(read_text(text), read_text(part)));
}

// The first token, split at the first byte of delimiters; the empty text when there is
// none. An empty delimiters gives the whole text.
extern "C" char* ib_get_token(const char* text, const char* delimiters) noexcept {
    return copy_result(first_token(read_text(text), first_byte(delimiters)));
}

// What follows the first token and the delimiters behind it; the empty text when nothing
// does, and for an empty delimiters.
extern "C" char* ib_delete_token(const char* text, const char* delimiters) noexcept {
    return copy_result(after_first_token(read_text(text), first_byte(delimiters)));
}

// "Y_", "S_", "X_" or "U_" as flag1 and flag2 are yes ("A...") or no
// (anything else, the empty text and a lower-case a included).
extern "C" char* ib_gets_u2_prefix(const char* flag1, const char* flag2) noexcept {
    const std::string_view code = prefix_code(is_yes(read_text(flag1)), is_yes(read_text(flag2)));
    char* result = allocate_text(2);
    if (result == nullptr) return nullptr;
    result[0] = code[0];
    result[1] = code[1];
    result[2] = '\0';
    return result;
}

// "S_" when the flag is yes, else "U_": ib_gets_u2_prefix with a second flag of no.
extern "C" char* ib_gets_u_prefix(const char* flag) noexcept { return ib_gets_u2_prefix(flag, "N"); }

// The digits 0-9 of the text in order, everything else dropped; the empty text when there
// are none. Allocates the text's length + 1.
extern "C" char* ib_correct_phone_number(const char* text) noexcept {
    const std::string_view t = read_text(text);
    char* result = allocate_text(t.size());
    if (result == nullptr) return nullptr;
    result[keep_digits(t, result)] = '\0';
    return result;
}

// The Windows-1250 text, same length, with each of 81 accented letters replaced by its
// plain letter (the sharp s by s); every other byte unchanged.
extern "C" char* ib_remove_diacritics(const char* text) noexcept {
    const std::string_view t = read_text(text);
    char* result = allocate_text(t.size());
    if (result == nullptr) return nullptr;
    remove_diacritics(t, result);
    result[t.size()] = '\0';
    return result;
}
