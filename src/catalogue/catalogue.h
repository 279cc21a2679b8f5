// The one table of ardudf's exports. Everything that lists the exports is generated from
// it (the Windows .def file, the SQL declare and drop scripts) or checked against it (the
// header and the built library, by tests/exports).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace ardudf::catalogue {

// What an argument points at, or what a function returns.
enum class Kind : std::uint8_t { none, text, int32, float64 };

// SQL width of text arguments and results. The server caps CSTRING at 32767 bytes; the
// declarations give each text the character set NONE (bytes, passed through unconverted)
// so that the same script runs in a database of any default character set and the widths
// count bytes, as the functions do (UTF8 would cap the width at 8191 characters).
inline constexpr int max_text = 32767;

// ib_quote_literal takes half the widest text, so that the quoted text always fits.
inline constexpr int quote_arg = (max_text - 3) / 2;

// The UDR module passes texts as VARCHAR, whose longest is 32765 bytes, and follows the
// widths a database declares. The engine moves and clears every declared byte of a UDR
// text on each call, so sql/ardudf_udr.sql declares the long texts 8191 bytes wide (a
// call costs about as much as at 255 bytes, far less than at 32765); a database that needs
// longer texts declares them wider.
inline constexpr int max_varchar = 32765;
inline constexpr int udr_text = 8191;
constexpr int udr_width(int width) {
    if (width == max_text) return udr_text;
    if (width == quote_arg) return (udr_text - 3) / 2;
    return width < max_varchar ? width : max_varchar;
}

struct Export {
    std::string_view name;     // exported symbol and SQL name
    Kind result;
    std::array<Kind, 4> args;  // Kind::none after the last argument
    std::array<int, 4> widths; // CSTRING width of each text argument
    int result_width;          // CSTRING width of a text result
    std::string_view group;    // text, value, calendar or balance
    std::string_view summary;  // one line, for the generated scripts
    // Character set of the text arguments and result. A function that reads its bytes as
    // characters of a code page names it, and the server transliterates on the way in and
    // out (a UTF8 text reaches ib_remove_diacritics as Windows-1250).
    std::string_view charset = "NONE";
};

inline constexpr Kind T = Kind::text, I = Kind::int32, D = Kind::float64, N = Kind::none;
inline constexpr int W = max_text;

inline constexpr std::array<Export, 41> exports{{
    {"ib_string_length", I, {T}, {W}, 0, "value", "length of a text in bytes"},
    {"ib_string_left", T, {T, I}, {W}, W, "text", "the first count bytes of a text"},
    {"ib_string_right", T, {T, I}, {W}, W, "text", "the last count bytes of a text"},
    {"ib_lpad", T, {T, I, T}, {W, 0, W}, W, "text", "a text padded on the left to a length"},
    {"ib_reversestring", T, {T}, {W}, W, "text", "the bytes of a text in reverse order"},
    {"ib_quote_literal", T, {T}, {quote_arg}, W, "text", "a text as an SQL string literal"},
    {"ib_uniqueid", T, {I}, {0}, 255, "value", "count random characters from 0-9 and A-Z"},
    {"ib_isnotnull", T, {T}, {W}, 1, "value", "A for a non-empty text, N for an empty one"},
    {"ib_convchartoint", I, {T}, {W}, 0, "value", "the decimal number at the start of a text"},
    {"ib_greatest", D, {D, D}, {}, 0, "value", "the greater of two numbers"},
    {"ib_least", D, {D, D}, {}, 0, "value", "the lesser of two numbers"},
    {"ib_find_token", I, {T, T}, {W, W}, 0, "text", "1-based position of a part in a text, 0 if absent"},
    {"ib_get_token", T, {T, T}, {W, W}, W, "text", "the first token of a delimited text"},
    {"ib_delete_token", T, {T, T}, {W, W}, W, "text", "what follows the first token"},
    {"ib_gets_u2_prefix", T, {T, T}, {W, W}, 2, "text", "a two-character prefix code from two flags"},
    {"ib_gets_u_prefix", T, {T}, {W}, 2, "text", "a two-character prefix code from one flag"},
    {"ib_correct_phone_number", T, {T}, {255}, 255, "text", "the digits of a text"},
    {"ib_remove_diacritics", T, {T}, {W}, W, "text", "Windows-1250 accented letters made plain",
     "WIN1250"},
    {"ib_dayofweek", I, {D}, {}, 0, "calendar", "day of the week, 1 = Sunday to 7 = Saturday"},
    {"ib_decodedate_year", I, {D}, {}, 0, "calendar", "year of a day serial"},
    {"ib_decodedate_month", I, {D}, {}, 0, "calendar", "month of a day serial"},
    {"ib_decodedate_day", I, {D}, {}, 0, "calendar", "day of the month of a day serial"},
    {"ib_decodetime_hour", I, {D}, {}, 0, "calendar", "hour of a day serial"},
    {"ib_decodetime_min", I, {D}, {}, 0, "calendar", "minute of a day serial"},
    {"ib_decodetime_sec", I, {D}, {}, 0, "calendar", "second of a day serial"},
    {"ib_encodedate", D, {I, I, I}, {}, 0, "calendar", "day serial of a year, month and day"},
    {"ib_isleapyear", I, {I}, {}, 0, "calendar", "1 for a leap year, else 0"},
    {"ib_endofdecade", D, {D}, {}, 0, "calendar", "first day after the ten-day period of a date"},
    {"ib_current_time", D, {}, {}, 0, "calendar", "current local date and time as a day serial"},
    {"ib_datetostring", T, {D, T}, {0, 255}, 512, "calendar", "a date formatted by a pattern"},
    {"ib_scbcreate", I, {}, {}, 0, "balance", "handle of a new balance context"},
    {"ib_scbaddrow", I, {I, T, D, D}, {0, 255}, 0, "balance", "adds an amount row and its VAT"},
    {"ib_scbstartcreditnote", I, {I}, {}, 0, "balance", "always 1; kept for older callers"},
    {"ib_scbisaffectedrows", I, {I}, {}, 0, "balance", "moves to the next changed row: 1, or 0 at the end"},
    {"ib_scbreadtype", T, {I}, {}, 255, "balance", "type of the current row"},
    {"ib_scbreadamount", D, {I}, {}, 0, "balance", "amount allocated to the current row (read once)"},
    {"ib_scbreadvat", D, {I}, {}, 0, "balance", "VAT moved by the last operation (read once)"},
    {"ib_scbclear", I, {I}, {}, 0, "balance", "empties a context"},
    {"ib_scbfree", I, {I}, {}, 0, "balance", "frees a context"},
    {"ib_scbaddpayment", I, {I, D}, {}, 0, "balance", "spreads a payment over VAT and rows"},
    {"ib_scbaddcreditnote", I, {I, T, D, D}, {0, 255}, 0, "balance", "lowers a row and the VAT, spreads what it frees"},
}};

constexpr int arg_count(const Export& e) {
    int n = 0;
    while (n < 4 && e.args[n] != Kind::none) ++n;
    return n;
}

constexpr std::size_t index_of(std::string_view name) {
    for (std::size_t i = 0; i < exports.size(); ++i)
        if (exports[i].name == name) return i;
    throw "not an export of the catalogue";
}

constexpr const Export* find(std::string_view name) {
    for (const auto& e : exports)
        if (e.name == name) return &e;
    return nullptr;
}

} // namespace ardudf::catalogue
