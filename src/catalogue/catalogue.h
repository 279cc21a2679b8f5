// The one table of ardudf's functions. Everything that lists them is generated from it by
// tools/catalogue (the SQL scripts, the .def file, the export map, the list CMake and the
// tests read) or checked against it (the header, entry by entry, when the legacy module is
// compiled; the built modules, by tests/exports and the SQL tests). Data only.
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
    // The call in bench/sql/calls.sh over its table ({F}: the prefix of the module measured),
    // the built-in that does the same job, and the setup of a balance call, '#' between;
    // empty for a function measured with another (ib_scbfree, with ib_scbcreate).
    std::string_view bench = {};
    // Character set of the text arguments and result. A function that reads its bytes as
    // characters of a code page names it, and the server transliterates on the way in and
    // out (a UTF8 text reaches ib_remove_diacritics as Windows-1250).
    std::string_view charset = "NONE";
    // The UDR module's NULL rule: empty, a NULL argument gives NULL and the routine does not
    // run; otherwise the routine reads NULL itself, and this says what it gives.
    std::string_view udr_nulls = {};
};

// Each entry: its name, group, result, arguments and summary, then its benchmark call.
// clang-format off
inline constexpr auto exports = std::to_array<Export>({
    {"ib_string_length", "value", i32(), {txt("text")}, "length of a text in bytes",
     "{F}string_length(txt)#OCTET_LENGTH(txt)#"},
    {"ib_string_left", "text", txt(), {txt("text"), i32("len")}, "the first len bytes of a text",
     "{F}string_left(txt, 8)#LEFT(txt, 8)#"},
    {"ib_string_right", "text", txt(), {txt("text"), i32("len")}, "the last len bytes of a text",
     "{F}string_right(txt, 8)#RIGHT(txt, 8)#"},
    {"ib_lpad", "text", txt(), {txt("text"), i32("len"), txt("pad")}, "a text padded on the left to a length",
     "{F}lpad(txt, 20, '0')#LPAD(txt, 20, '0')#"},
    {"ib_reversestring", "text", txt(), {txt("text")}, "the bytes of a text in reverse order",
     "{F}reversestring(txt)#REVERSE(txt)#"},
    {"ib_quote_literal", "text", txt(), {txt("text", quotable)}, "a text as an SQL string literal",
     "{F}quote_literal(txt)#'''' || REPLACE(txt, '''', '''''') || ''''#"},
    {"ib_uniqueid", "value", txt({}, bytes(255)), {i32("len")}, "len random characters from 0-9 and A-Z",
     "{F}uniqueid(8)##"},
    {"ib_isnotnull", "value", txt({}, bytes(1)), {txt("text")}, "A for a non-empty text, N for an empty one",
     "{F}isnotnull(txt)#IIF(OCTET_LENGTH(txt) > 0, 'A', 'N')#", "NONE", "NULL gives 'N'"},
    {"ib_convchartoint", "value", i32(), {txt("text")}, "the decimal number at the start of a text",
     "{F}convchartoint(num)#CAST(num AS INTEGER)#"},
    {"ib_greatest", "value", f64(), {f64("a"), f64("b")}, "the greater of two numbers",
     "{F}greatest(a, b)#MAXVALUE(a, b)#"},
    {"ib_least", "value", f64(), {f64("a"), f64("b")}, "the lesser of two numbers",
     "{F}least(a, b)#MINVALUE(a, b)#"},
    {"ib_find_token", "text", i32(), {txt("text"), txt("part")}, "1-based position of a part in a text, 0 if absent",
     "{F}find_token(txt, ',')#POSITION(',' IN txt)#"},
    {"ib_get_token", "text", txt(), {txt("text"), txt("delimiters")}, "the first token of a delimited text",
     "{F}get_token(txt, ',')#SUBSTRING(txt FROM 1 FOR POSITION(',' IN txt || ',') - 1)#"},
    {"ib_delete_token", "text", txt(), {txt("text"), txt("delimiters")}, "what follows the first token",
     "{F}delete_token(txt, ',')#SUBSTRING(txt FROM POSITION(',' IN txt) + 1)#"},
    {"ib_gets_u2_prefix", "text", txt({}, bytes(2)), {txt("flag1"), txt("flag2")},
     "a two-character prefix code from two flags",
     "{F}gets_u2_prefix(f1, f2)#IIF(f1 STARTING WITH 'A', IIF(f2 STARTING WITH 'A', 'Y_', 'S_'), "
     "IIF(f2 STARTING WITH 'A', 'X_', 'U_'))#"},
    {"ib_gets_u_prefix", "text", txt({}, bytes(2)), {txt("flag")}, "a two-character prefix code from one flag",
     "{F}gets_u_prefix(f1)#IIF(f1 STARTING WITH 'A', 'S_', 'U_')#"},
    {"ib_correct_phone_number", "text", txt({}, bytes(255)), {txt("text", bytes(255))}, "the digits of a text",
     "{F}correct_phone_number(txt)##"},
    {"ib_remove_diacritics", "text", txt(), {txt("text")}, "Windows-1250 accented letters made plain",
     "{F}remove_diacritics(txt)##", "WIN1250"},
    {"ib_dayofweek", "calendar", i32(), {f64("serial")}, "day of the week, 1 = Sunday to 7 = Saturday",
     "{F}dayofweek(d)#EXTRACT(WEEKDAY FROM ts) + 1#"},
    {"ib_decodedate_year", "calendar", i32(), {f64("serial")}, "year of a day serial",
     "{F}decodedate_year(d)#EXTRACT(YEAR FROM ts)#"},
    {"ib_decodedate_month", "calendar", i32(), {f64("serial")}, "month of a day serial",
     "{F}decodedate_month(d)#EXTRACT(MONTH FROM ts)#"},
    {"ib_decodedate_day", "calendar", i32(), {f64("serial")}, "day of the month of a day serial",
     "{F}decodedate_day(d)#EXTRACT(DAY FROM ts)#"},
    {"ib_decodetime_hour", "calendar", i32(), {f64("serial")}, "hour of a day serial",
     "{F}decodetime_hour(d)#EXTRACT(HOUR FROM ts)#"},
    {"ib_decodetime_min", "calendar", i32(), {f64("serial")}, "minute of a day serial",
     "{F}decodetime_min(d)#EXTRACT(MINUTE FROM ts)#"},
    {"ib_decodetime_sec", "calendar", i32(), {f64("serial")}, "second of a day serial",
     "{F}decodetime_sec(d)#FLOOR(EXTRACT(SECOND FROM ts))#"},
    {"ib_encodedate", "calendar", f64(), {i32("year_num"), i32("month_num"), i32("day_num")},
     "day serial of a year, month and day",
     "{F}encodedate(y, m, dd)#CAST(y || '-' || m || '-' || dd AS DATE)#"},
    {"ib_isleapyear", "calendar", i32(), {i32("year_num")}, "1 for a leap year, else 0",
     "{F}isleapyear(y)#IIF(MOD(y, 4) = 0 AND (MOD(y, 100) <> 0 OR MOD(y, 400) = 0), 1, 0)#"},
    {"ib_endofdecade", "calendar", f64(), {f64("serial")}, "first day after the ten-day period of a date",
     "{F}endofdecade(d)##"},
    {"ib_current_time", "calendar", f64(), {}, "current local date and time as a day serial",
     "{F}current_time()#CAST('NOW' AS TIMESTAMP)#"},
    {"ib_datetostring", "calendar", txt({}, bytes(512)), {f64("serial"), txt("pattern", bytes(255))},
     "a date formatted by a pattern",
     "{F}datetostring(d, 'DD.MM.YYYY')#"
     "EXTRACT(DAY FROM ts) || '.' || EXTRACT(MONTH FROM ts) || '.' || EXTRACT(YEAR FROM ts)#"},
    {"ib_scbcreate", "balance", i32(), {}, "handle of a new balance context",
     "{F}scbfree({F}scbcreate())##"},
    {"ib_scbaddrow", "balance", i32(), {i32("handle"), txt("row_type", bytes(255)), f64("amount"), f64("vat")},
     "adds an amount row and its VAT",
     "{F}scbaddrow(:h, typ, a, b)##new"},
    {"ib_scbstartcreditnote", "balance", i32(), {i32("handle")}, "always 1; kept for older callers",
     "{F}scbstartcreditnote(:h)##new", "NONE", "1 for any argument, NULL too"},
    {"ib_scbisaffectedrows", "balance", i32(), {i32("handle")}, "moves to the next changed row: 1, or 0 at the end",
     "{F}scbisaffectedrows(:h)##cursor"},
    {"ib_scbreadtype", "balance", txt({}, bytes(255)), {i32("handle")}, "type of the current row",
     "{F}scbreadtype(:h)##cursor"},
    {"ib_scbreadamount", "balance", f64(), {i32("handle")}, "amount allocated to the current row (read once)",
     "{F}scbreadamount(:h)##cursor"},
    {"ib_scbreadvat", "balance", f64(), {i32("handle")}, "VAT moved by the last operation (read once)",
     "{F}scbreadvat(:h)##cursor"},
    {"ib_scbclear", "balance", i32(), {i32("handle")}, "empties a context",
     "{F}scbclear(:h)##new"},
    {"ib_scbfree", "balance", i32(), {i32("handle")}, "frees a context"},
    {"ib_scbaddpayment", "balance", i32(), {i32("handle"), f64("amount")}, "spreads a payment over VAT and rows",
     "{F}scbaddpayment(:h, p)##doc"},
    {"ib_scbaddcreditnote", "balance", i32(), {i32("handle"), txt("row_type", bytes(255)), f64("amount"), f64("vat")},
     "lowers a row and the VAT, spreads what it frees",
     "{F}scbaddcreditnote(:h, typ, p, 0)##doc"},
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
    {"ib_scbwalk",
     "ib_scbisaffectedrows, ib_scbreadtype, ib_scbreadamount and ib_scbreadvat",
     {i32("handle")},
     {txt("row_type", bytes(255)), f64("amount"), f64("vat")},
     "the rows the last payment or credit note changed, with their type, amount and VAT"},
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
