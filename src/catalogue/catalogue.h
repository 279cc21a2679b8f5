// The one table of ardudf's functions. Everything that lists them is generated from it by
// tools/catalogue (the public header, the SQL scripts, the .def file, the export map, the
// list CMake and the tests read) or checked against it (the legacy module's definitions,
// when it is compiled; the built modules, by tests/exports and the SQL tests; the docs).
// Data only.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace ardudf::catalogue {

// What an argument points at, or what a function returns.
enum class Kind : std::uint8_t { none, text, int32, float64 };

// The declared width of a text, in bytes, in each module. The legacy module takes CSTRING,
// which the server caps at 32767 bytes. The UDR engine moves and clears every declared
// byte of a text on each call, so its script declares long texts 8191 bytes wide (a call
// costs about as much as at 255 bytes, far less than at VARCHAR's 32765); a database that
// needs longer texts declares them wider, and the module follows the declaration.
struct Width {
    int legacy = 0;
    int udr = 0;
};
inline constexpr int max_varchar = 32765;
inline constexpr Width long_text{32767, 8191};
// ib_quote_literal takes half the widest text less the quotes, so that the result fits.
inline constexpr Width quotable{(long_text.legacy - 3) / 2, (long_text.udr - 3) / 2};
constexpr Width bytes(int n) { return {n, n}; }

// An argument (named as the UDR script declares it; never an SQL reserved word) or a result.
struct Value {
    std::string_view name;
    Kind kind = Kind::none;
    Width width{}; // texts only
};
constexpr Value txt(std::string_view name = {}, Width width = long_text) { return {name, Kind::text, width}; }
constexpr Value i32(std::string_view name = {}) { return {name, Kind::int32, {}}; }
constexpr Value f64(std::string_view name = {}) { return {name, Kind::float64, {}}; }

// The third part of a UDR external name ('ardudf_udr!ib_lpad!legacy_nulls') that asks the
// routine to read a NULL argument as the legacy module reads it: the empty text or 0. The
// move of a database from the legacy module in place declares it on every function.
inline constexpr std::string_view legacy_nulls_option = "legacy_nulls";

struct Export {
    std::string_view name;  // exported symbol and SQL name
    std::string_view group; // text, value, calendar or balance
    Value result;
    std::array<Value, 4> args; // Kind::none after the last argument
    std::string_view summary;  // one line, for the generated scripts
    // Character set of the text arguments and result. A function that reads its bytes as
    // characters of a code page names it, and the server transliterates on the way in and
    // out (a UTF8 text reaches ib_remove_diacritics as Windows-1250).
    std::string_view charset = "NONE";
    // The UDR module's NULL rule: empty, a NULL argument gives NULL and the routine does not
    // run; otherwise the routine reads NULL itself, and this says what it gives.
    std::string_view udr_nulls = {};
};

// Each entry names its fields (in the order above; those left out keep their defaults).
// What the benchmarks call is theirs: bench/sql/calls.txt.
// clang-format off
inline constexpr auto exports = std::to_array<Export>({
    {.name = "ib_string_length", .group = "value", .result = i32(), .args = {txt("text")},
     .summary = "length of a text in bytes"},
    {.name = "ib_string_left", .group = "text", .result = txt(), .args = {txt("text"), i32("len")},
     .summary = "the first len bytes of a text"},
    {.name = "ib_string_right", .group = "text", .result = txt(), .args = {txt("text"), i32("len")},
     .summary = "the last len bytes of a text"},
    {.name = "ib_lpad", .group = "text", .result = txt(), .args = {txt("text"), i32("len"), txt("pad")},
     .summary = "a text padded on the left to a length"},
    {.name = "ib_reversestring", .group = "text", .result = txt(), .args = {txt("text")},
     .summary = "the bytes of a text in reverse order"},
    {.name = "ib_quote_literal", .group = "text", .result = txt(), .args = {txt("text", quotable)},
     .summary = "a text as an SQL string literal"},
    {.name = "ib_uniqueid", .group = "value", .result = txt({}, bytes(255)), .args = {i32("len")},
     .summary = "len random characters from 0-9 and A-Z"},
    {.name = "ib_isnotnull", .group = "value", .result = txt({}, bytes(1)), .args = {txt("text")},
     .summary = "A for a non-empty text, N for an empty one", .udr_nulls = "NULL gives 'N'"},
    {.name = "ib_convchartoint", .group = "value", .result = i32(), .args = {txt("text")},
     .summary = "the decimal number at the start of a text"},
    {.name = "ib_greatest", .group = "value", .result = f64(), .args = {f64("a"), f64("b")},
     .summary = "the greater of two numbers"},
    {.name = "ib_least", .group = "value", .result = f64(), .args = {f64("a"), f64("b")},
     .summary = "the lesser of two numbers"},
    {.name = "ib_find_token", .group = "text", .result = i32(), .args = {txt("text"), txt("part")},
     .summary = "1-based position of a part in a text, 0 if absent"},
    {.name = "ib_get_token", .group = "text", .result = txt(), .args = {txt("text"), txt("delimiters")},
     .summary = "the first token of a delimited text"},
    {.name = "ib_delete_token", .group = "text", .result = txt(), .args = {txt("text"), txt("delimiters")},
     .summary = "what follows the first token"},
    {.name = "ib_gets_u2_prefix", .group = "text", .result = txt({}, bytes(2)), .args = {txt("flag1"), txt("flag2")},
     .summary = "a two-character prefix code from two flags"},
    {.name = "ib_gets_u_prefix", .group = "text", .result = txt({}, bytes(2)), .args = {txt("flag")},
     .summary = "a two-character prefix code from one flag"},
    {.name = "ib_correct_phone_number", .group = "text", .result = txt({}, bytes(255)),
     .args = {txt("text", bytes(255))}, .summary = "the digits of a text"},
    {.name = "ib_remove_diacritics", .group = "text", .result = txt(), .args = {txt("text")},
     .summary = "Windows-1250 accented letters made plain", .charset = "WIN1250"},
    {.name = "ib_dayofweek", .group = "calendar", .result = i32(), .args = {f64("serial")},
     .summary = "day of the week, 1 = Sunday to 7 = Saturday"},
    {.name = "ib_decodedate_year", .group = "calendar", .result = i32(), .args = {f64("serial")},
     .summary = "year of a day serial"},
    {.name = "ib_decodedate_month", .group = "calendar", .result = i32(), .args = {f64("serial")},
     .summary = "month of a day serial"},
    {.name = "ib_decodedate_day", .group = "calendar", .result = i32(), .args = {f64("serial")},
     .summary = "day of the month of a day serial"},
    {.name = "ib_decodetime_hour", .group = "calendar", .result = i32(), .args = {f64("serial")},
     .summary = "hour of a day serial"},
    {.name = "ib_decodetime_min", .group = "calendar", .result = i32(), .args = {f64("serial")},
     .summary = "minute of a day serial"},
    {.name = "ib_decodetime_sec", .group = "calendar", .result = i32(), .args = {f64("serial")},
     .summary = "second of a day serial"},
    {.name = "ib_encodedate", .group = "calendar", .result = f64(),
     .args = {i32("year_num"), i32("month_num"), i32("day_num")}, .summary = "day serial of a year, month and day"},
    {.name = "ib_isleapyear", .group = "calendar", .result = i32(), .args = {i32("year_num")},
     .summary = "1 for a leap year, else 0"},
    {.name = "ib_endofdecade", .group = "calendar", .result = f64(), .args = {f64("serial")},
     .summary = "first day after the ten-day period of a date"},
    {.name = "ib_current_time", .group = "calendar", .result = f64(), .args = {},
     .summary = "current local date and time as a day serial"},
    {.name = "ib_datetostring", .group = "calendar", .result = txt({}, bytes(512)),
     .args = {f64("serial"), txt("pattern", bytes(255))}, .summary = "a date formatted by a pattern"},
    {.name = "ib_scbcreate", .group = "balance", .result = i32(), .args = {},
     .summary = "handle of a new balance context"},
    {.name = "ib_scbaddrow", .group = "balance", .result = i32(),
     .args = {i32("handle"), txt("row_type", bytes(255)), f64("amount"), f64("vat")},
     .summary = "adds an amount row and its VAT"},
    {.name = "ib_scbstartcreditnote", .group = "balance", .result = i32(), .args = {i32("handle")},
     .summary = "always 1; kept for older callers", .udr_nulls = "1 for any argument, NULL too"},
    {.name = "ib_scbisaffectedrows", .group = "balance", .result = i32(), .args = {i32("handle")},
     .summary = "moves to the next changed row: 1, or 0 at the end"},
    {.name = "ib_scbreadtype", .group = "balance", .result = txt({}, bytes(255)), .args = {i32("handle")},
     .summary = "type of the current row"},
    {.name = "ib_scbreadamount", .group = "balance", .result = f64(), .args = {i32("handle")},
     .summary = "amount allocated to the current row (read once)"},
    {.name = "ib_scbreadvat", .group = "balance", .result = f64(), .args = {i32("handle")},
     .summary = "VAT moved by the last operation (read once)"},
    {.name = "ib_scbclear", .group = "balance", .result = i32(), .args = {i32("handle")},
     .summary = "empties a context"},
    {.name = "ib_scbfree", .group = "balance", .result = i32(), .args = {i32("handle")},
     .summary = "frees a context"},
    {.name = "ib_scbaddpayment", .group = "balance", .result = i32(), .args = {i32("handle"), f64("amount")},
     .summary = "spreads a payment over VAT and rows"},
    {.name = "ib_scbaddcreditnote", .group = "balance", .result = i32(),
     .args = {i32("handle"), txt("row_type", bytes(255)), f64("amount"), f64("vat")},
     .summary = "lowers a row and the VAT, spreads what it frees"},
    {.name = "ardudf_version", .group = "value", .result = txt({}, bytes(63)), .args = {},
     .summary = "the release and the kind of the module that answers"},
});
// clang-format on

// The set-returning forms, UDR only: a procedure that gives in one call the rows a loop of
// functions reads.
struct Procedure {
    std::string_view name;
    std::string_view loop; // the functions whose loop it replaces, for its comment
    std::array<Value, 1> args;
    std::array<Value, 3> results;
    std::string_view summary; // one line, for the generated scripts
};

inline constexpr std::array<Procedure, 1> procedures{{
    {.name = "ib_scbwalk",
     .loop = "ib_scbisaffectedrows, ib_scbreadtype, ib_scbreadamount and ib_scbreadvat",
     .args = {i32("handle")},
     .results = {txt("row_type", bytes(255)), f64("amount"), f64("vat")},
     .summary = "the rows the last payment or credit note changed, with their type, amount and VAT"},
}};

constexpr int arg_count(const Export& e) {
    int n = 0;
    while (n < 4 && e.args[n].kind != Kind::none) ++n;
    return n;
}

constexpr std::size_t index_of(std::string_view name) {
    for (std::size_t i = 0; i < exports.size(); ++i)
        if (exports[i].name == name) return i;
    throw "not an export of the catalogue";
}

} // namespace ardudf::catalogue
