// Prints what is generated from the catalogue (src/catalogue/catalogue.h); the subcommands
// and what each prints are the table `commands` at the end. The SQL scripts are templates
// in tools/catalogue/templates, filled in here (template.h); what repeats per function
// comes from the catalogue. scripts/generate.sh writes the committed outputs; a test
// regenerates them and compares.
#include "ardudf_version.h"
#include "catalogue/catalogue.h"
#include "generate.h"
#include "template.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

using namespace ardudf::catalogue;
using namespace ardudf::catalogue::gen;

// What the outputs share; psql.cpp and bench_declarations.cpp use it too (generate.h).
namespace ardudf::catalogue::gen {

// How each kind of value is spelt in each place it appears.
struct KindTraits {
    const char* c_arg;      // a legacy export's argument
    const char* c_result;   // a legacy export's result
    const char* sql_arg;    // a legacy declaration's argument (texts: sql_text)
    const char* sql_result; // a legacy declaration's result (texts: sql_text FREE_IT)
    const char* udr;        // a UDR declaration's type (texts: udr_type)
    char letter;            // T, I or D: the kinds the move compares with a declaration's
    const char* plain;      // a plain argument: the NULL test's and the check's calls
};

constexpr KindTraits traits(Kind k) {
    switch (k) {
    case Kind::text:
        return {"const char*", "char*", "", "", "", 'T', "'A,B'"};
    case Kind::int32:
        return {"const int32_t*", "int32_t", "INTEGER", "INTEGER BY VALUE", "INTEGER", 'I', "2"};
    case Kind::float64:
        return {"const double*",    "double", "DOUBLE PRECISION", "DOUBLE PRECISION BY VALUE",
                "DOUBLE PRECISION", 'D',      "45000.5"};
    case Kind::none:
        break;
    }
    return {"void", "void", "", "", "", '?', ""};
}

std::string sql_text(int width, std::string_view charset) {
    return "CSTRING(" + std::to_string(width) + ") CHARACTER SET " + std::string(charset);
}

std::string sql_arg(const Export& e, int i) {
    const Value& a = e.args[i];
    return a.kind == Kind::text ? sql_text(a.width.legacy, e.charset) : traits(a.kind).sql_arg;
}

std::string sql_result(const Export& e) {
    return e.result.kind == Kind::text ? sql_text(e.result.width.legacy, e.charset) + " FREE_IT"
                                       : traits(e.result.kind).sql_result;
}

// The UDR declarations: VARCHAR of the catalogue's UDR width in the catalogue's character
// set, so that a field holds that many bytes whatever the database's default set.
std::string udr_type(const Value& v, std::string_view charset) {
    if (v.kind != Kind::text) return traits(v.kind).udr;
    return "VARCHAR(" + std::to_string(v.width.udr) + ") CHARACTER SET " + std::string(charset);
}

// A plain value for an argument: a balance handle of 0, so that nothing is changed.
std::string plain(const Export& e, int i) {
    return e.group == "balance" && i == 0 ? "0" : traits(e.args[i].kind).plain;
}

std::string c_prototype(const Export& e, bool names) {
    std::string proto = std::string(traits(e.result.kind).c_result) + " " + std::string(e.name) + "(";
    for (int i = 0; i < arg_count(e); ++i)
        proto += (i ? ", " : "") + std::string(traits(e.args[i].kind).c_arg) +
                 (names ? " " + std::string(e.args[i].name) : std::string());
    return proto + (arg_count(e) == 0 ? "void)" : ")");
}

// PROCEDURE name (args) RETURNS (results) EXTERNAL NAME ... ENGINE UDR, its clauses joined by
// sep.
std::string procedure_ddl(const Procedure& p, std::string_view sep) {
    std::string args, results;
    for (const Value& v : p.args) args += (args.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
    for (const Value& v : p.results)
        results += (results.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
    const std::string name(p.name);
    return "PROCEDURE " + name + " (" + args + ")" + std::string(sep) + "RETURNS (" + results + ")" + std::string(sep) +
           "EXTERNAL NAME 'ardudf_udr!" + name + "' ENGINE UDR";
}

// SQL text inside a quoted SQL literal.
std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out;
}

std::string quoted(std::string_view text) { return "'" + escaped(text) + "'"; }

// COMMENT ON: the summary and the release that declared it, for SHOW FUNCTION and
// RDB$DESCRIPTION.
std::string comment_ddl(std::string_view what, std::string_view name, std::string_view summary) {
    return "COMMENT ON " + std::string(what) + " " + std::string(name) + " IS " +
           quoted(std::string(summary) + " (ardudf " + ARDUDF_VERSION + ")");
}

void print_comment(std::string_view what, std::string_view name, std::string_view summary) {
    std::printf("%s;\n", comment_ddl(what, name, summary).c_str());
}

std::string udr_null_rule(const Export& e) {
    if (!e.udr_nulls.empty()) return std::string(e.udr_nulls);
    return arg_count(e) == 0 ? "takes no argument" : "a NULL argument gives NULL";
}

std::string udr_params(std::span<const Value> values, std::string_view charset) {
    std::string out;
    for (const Value& v : values) {
        if (v.kind == Kind::none) break;
        out += (out.empty() ? "" : ",") + std::string("\n    ") + std::string(v.name) + " " + udr_type(v, charset);
    }
    return out;
}

// The engine's names of the routines (upper case, as RDB$ tables hold them), as an SQL list.
std::string upper(std::string_view name) {
    std::string out(name);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

template <class Routines> std::string sql_names(const Routines& routines) {
    std::string out;
    for (const auto& r : routines) out += (out.empty() ? "'" : ", '") + upper(r.name) + "'";
    return out;
}

void print(const std::string& text) { std::fputs(text.c_str(), stdout); }

// The names of Firebird's built-in functions, scalar, aggregate and window, in Firebird 4,
// 5 and 6: a function of the database under one of these names cannot be declared in
// Firebird 6. From Firebird's doc/sql.extensions/README.builtin_functions.txt (4.0, 5.0
// and the 6.0 branch, which adds GREATEST, LEAST and BTRIM, LTRIM, RTRIM) and the
// Language Reference's chapters on built-in scalar, aggregate and window functions.
// clang-format off
constexpr std::string_view builtin_functions[] = {
    "ABS", "ACOS", "ACOSH", "ASCII_CHAR", "ASCII_VAL", "ASIN", "ASINH", "ATAN", "ATAN2", "ATANH", "AVG",
    "BASE64_DECODE", "BASE64_ENCODE", "BIN_AND", "BIN_NOT", "BIN_OR", "BIN_SHL", "BIN_SHR", "BIN_XOR",
    "BIT_LENGTH", "BLOB_APPEND", "BTRIM", "CAST", "CEIL", "CEILING", "CHAR_LENGTH", "CHAR_TO_UUID",
    "CHARACTER_LENGTH", "COALESCE", "COMPARE_DECFLOAT", "CORR", "COS", "COSH", "COT", "COUNT", "COVAR_POP",
    "COVAR_SAMP", "CRYPT_HASH", "CUME_DIST", "DATEADD", "DATEDIFF", "DECODE", "DECRYPT", "DENSE_RANK",
    "ENCRYPT", "EXP", "EXTRACT", "FIRST_DAY", "FIRST_VALUE", "FLOOR", "GEN_ID", "GEN_UUID", "GREATEST",
    "HASH", "HEX_DECODE", "HEX_ENCODE", "IIF", "LAG", "LAST_DAY", "LAST_VALUE", "LEAD", "LEAST", "LEFT",
    "LIST", "LN", "LOG", "LOG10", "LOWER", "LPAD", "LTRIM", "MAKE_DBKEY", "MAX", "MAXVALUE", "MIN",
    "MINVALUE", "MOD", "NORMALIZE_DECFLOAT", "NTH_VALUE", "NTILE", "NULLIF", "OCTET_LENGTH", "OVERLAY",
    "PERCENT_RANK", "PI", "POSITION", "POWER", "QUANTIZE", "RAND", "RANK", "RDB$ERROR",
    "RDB$GET_CONTEXT", "RDB$GET_TRANSACTION_CN", "RDB$ROLE_IN_USE", "RDB$SET_CONTEXT",
    "RDB$SYSTEM_PRIVILEGE", "REGR_AVGX", "REGR_AVGY", "REGR_COUNT", "REGR_INTERCEPT", "REGR_R2",
    "REGR_SLOPE", "REGR_SXX", "REGR_SXY", "REGR_SYY", "REPLACE", "REVERSE", "RIGHT", "ROUND",
    "ROW_NUMBER", "RPAD", "RSA_DECRYPT", "RSA_ENCRYPT", "RSA_PRIVATE", "RSA_PUBLIC", "RSA_SIGN_HASH",
    "RSA_VERIFY_HASH", "RTRIM", "SIGN", "SIN", "SINH", "SQRT", "STDDEV_POP", "STDDEV_SAMP", "SUBSTRING",
    "SUM", "TAN", "TANH", "TOTALORDER", "TRIM", "TRUNC", "UNICODE_CHAR", "UNICODE_VAL", "UPPER",
    "UUID_TO_CHAR", "VAR_POP", "VAR_SAMP",
};
// clang-format on

bool is_builtin(std::string_view upper_name) {
    return std::find(std::begin(builtin_functions), std::end(builtin_functions), upper_name) !=
           std::end(builtin_functions);
}

// The list as SQL literals, several to a line.
std::string builtin_names() {
    std::string out, line;
    for (std::string_view name : builtin_functions) {
        const std::string item = "'" + std::string(name) + "'";
        if (line.size() + item.size() > 96) {
            out += "      " + line + ",\n";
            line.clear();
        }
        line += (line.empty() ? "" : ", ") + item;
    }
    return out + "      " + line;
}

// What every template of the move shares: the release, the option of the moved
// declarations, and the catalogue as rows of the PSQL procedure that lists it.
Fields move_fields(std::string_view column) {
    std::string rows;
    for (const auto& e : exports) {
        std::string kinds(1, traits(e.result.kind).letter), names, sample;
        for (int i = 0; i < arg_count(e); ++i) {
            kinds += traits(e.args[i].kind).letter;
            names += (i ? " " : "") + std::string(e.args[i].name);
            sample += (i ? ", " : "") + plain(e, i);
        }
        // The first row gives the columns their types: VARCHAR, so that no value is padded.
        const bool first = rows.empty();
        auto column = [&](const std::string& value, int width) {
            return first ? "CAST(" + quoted(value) + " AS VARCHAR(" + std::to_string(width) + "))" : quoted(value);
        };
        rows += std::string(first ? "" : " UNION ALL\n") + "          SELECT " + column(std::string(e.name), 63) +
                ", " + column(kinds, 8) + ", " + column(names, 100) + ", " + column(sample, 100) + ", " +
                column(std::string(e.summary), 200) + " FROM RDB$DATABASE";
    }
    return {{"version", ARDUDF_VERSION},
            {"option", std::string(legacy_nulls_option)},
            {"catalogue", rows},
            {"upper_names", sql_names(exports)},
            // ardudf's legacy module as a declaration may name it, in lower case: ardudf,
            // ardudf.so or ardudf.dll, after any folder.
            {"ardudf_module", R"('(%[/\])?ardudf(.so|.dll)?')"},
            {"column", std::string(column)},
            // The functions a move has put in place: the seeds of the index step.
            {"moved", "RDB$ENTRYPOINT STARTING WITH 'ardudf_udr!'"},
            {"psql_moved_mark", std::string(psql_moved_mark)},
            {"builtin_names", builtin_names()},
            {"attachment_prefix", ""}};
}

// The head of a drop script: all or nothing (templates/drop_head.sql). dropped: the SQL
// condition on a row d of RDB$DEPENDENCIES that names a routine the script drops.
std::string drop_head(std::string_view script, const std::string& dropped) {
    return fill("drop_head.sql", {{"column", std::string(script.substr(0, script.find('.')))},
                                  {"script", std::string(script)},
                                  {"dropped", dropped}});
}

std::string depends_on(Depended kind, std::string_view names) {
    std::string out =
        fill("depends_on.sql", {{"type", std::to_string(static_cast<int>(kind))}, {"names", std::string(names)}});
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
}

std::string function_head(const Export& e) {
    const std::string params = udr_params(e.args, e.charset);
    return fill("function_head.sql", {{"summary", std::string(e.summary)},
                                      {"null_rule", udr_null_rule(e)},
                                      {"name", std::string(e.name)},
                                      {"params", params + (params.empty() ? "" : "\n")},
                                      {"result", udr_type(e.result, e.charset)}});
}

void print_drop_head(std::string_view script, std::string_view functions, std::string_view procedures_list) {
    std::string dropped = depends_on(Depended::function, functions);
    if (!procedures_list.empty()) dropped += "\n         OR " + depends_on(Depended::procedure, procedures_list);
    print(drop_head(script, dropped));
}

// The guard at the head of a declare script (templates/guard_*.sql).
std::string guard(std::string_view which, std::string_view script) {
    Fields fields = move_fields(script.substr(0, script.find('.')));
    fields["script"] = std::string(script);
    return fill(which, fields);
}

void print_guard(std::string_view which, std::string_view script) { print(guard(which, script)); }

// The catalogue's groups, in the order it first names them.
std::vector<std::string_view> groups() {
    std::vector<std::string_view> out;
    for (const auto& e : exports)
        if (std::find(out.begin(), out.end(), e.group) == out.end()) out.push_back(e.group);
    return out;
}

} // namespace ardudf::catalogue::gen

namespace {

// The move in place from the legacy module to the UDR module (docs/migration.md).
void print_legacy_to_udr() {
    Fields fields = move_fields("ardudf_legacy_to_udr");
    fields["attachment_prefix"] = "nothing changed: ";
    fields["walk"] = "";
    std::string walk;
    for (const auto& p : procedures) {
        walk += fill("walk.sql", {{"name", std::string(p.name)},
                                  {"upper_name", upper(p.name)},
                                  {"ddl", escaped("CREATE " + procedure_ddl(p, " "))},
                                  {"comment", escaped(comment_ddl("PROCEDURE", p.name, p.summary))}});
        fields["walk"] += (fields["walk"].empty() ? "" : ", ") + std::string(p.name);
    }
    fields["walk_block"] = walk;
    print(fill("legacy_to_udr.sql", fields));
}

void print_legacy_to_udr_preview() {
    Fields fields = move_fields("ardudf_preview");
    fields["attachment_prefix"] = "the move would refuse: ";
    print(fill("legacy_to_udr_preview.sql", fields));
}

void print_udr_check() { print(fill("udr_check.sql", move_fields("ardudf_check"))); }

void print_udr_indexes() { print(fill("udr_indexes.sql", move_fields("ardudf_udr_indexes"))); }

void print_move_report() { print(fill("move_report.sql", move_fields("line"))); }

// One function of the UDR script.
void print_udr_function(const Export& e) {
    std::printf("\n%s", function_head(e).c_str());
    std::printf("    EXTERNAL NAME 'ardudf_udr!%.*s' ENGINE UDR;\n", int(e.name.size()), e.name.data());
    print_comment("FUNCTION", e.name, e.summary);
}

void print_udr() {
    std::printf("-- ardudf %s: declares all %zu functions of the UDR module 'ardudf_udr', and its\n", ARDUDF_VERSION,
                exports.size());
    std::printf("-- procedures. Generated from src/catalogue/catalogue.h by ardudf_catalogue;\n");
    std::printf("-- do not edit. Needs no UdfAccess: the UDR engine loads libardudf_udr.so from its\n");
    std::printf("-- plugins/udr folder (plugins.conf, UDR_config path). Same SQL names as sql/ardudf.sql;\n");
    std::printf("-- a database declared with that script moves with sql/ardudf_legacy_to_udr.sql instead,\n");
    std::printf("-- which keeps the legacy module's reading of NULL (docs/migration.md).\n");
    std::printf("-- CREATE OR ALTER: running it again, or over a database declared by an earlier\n");
    std::printf("-- release of this script, brings every declaration and its comment up to this release.\n");
    std::printf("-- A NULL argument gives NULL unless the function's comment says otherwise.\n");
    print_guard("guard_udr.sql", "ardudf_udr.sql");
    // Each group under one heading.
    for (std::string_view group : groups()) {
        std::printf("\n-- ---- %.*s functions ----\n", int(group.size()), group.data());
        for (const auto& e : exports)
            if (e.group == group) print_udr_function(e);
    }
    for (const auto& p : procedures) {
        std::printf("\n-- ---- the walk in one call ----\n\n");
        std::printf("-- The rows the last payment or credit note changed, as the loop of\n-- %.*s\n",
                    int(p.loop.size()), p.loop.data());
        std::printf("-- reads them (with the same resets); no rows for NULL or a handle of another attachment.\n");
        std::printf("CREATE OR ALTER %s;\n", procedure_ddl(p, "\n    ").c_str());
        print_comment("PROCEDURE", p.name, p.summary);
    }
    std::printf("\nCOMMIT;\n");
}

void print_udr_drop() {
    std::printf("-- ardudf %s: removes the %zu functions and the procedures of the UDR module.\n", ARDUDF_VERSION,
                exports.size());
    std::printf("-- Generated from the catalogue; do not edit.\n");
    print_drop_head("ardudf_udr_drop.sql", sql_names(exports), sql_names(procedures));
    for (const auto& p : procedures) std::printf("DROP PROCEDURE %.*s;\n", int(p.name.size()), p.name.data());
    for (const auto& e : exports) std::printf("DROP FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
    std::printf("COMMIT;\n");
}

void print_def() {
    std::printf("LIBRARY ardudf.dll\nEXPORTS\n");
    for (const auto& e : exports) std::printf("    %.*s\n", int(e.name.size()), e.name.data());
}

// narrow > 0: the texts declared as wide as a CSTRING goes that many bytes wide instead
// (bin/declare_width.sh); the other widths stay.
void print_sql(int narrow) {
    auto narrowed = [&](const Value& v) {
        return narrow > 0 && v.kind == Kind::text && v.width.legacy == long_text.legacy;
    };
    if (narrow > 0)
        std::printf("-- sql/ardudf.sql with its %d-byte texts declared %d bytes wide (bin/declare_width.sh)\n",
                    long_text.legacy, narrow);
    std::printf("-- ardudf %s: declares all %zu functions of the module 'ardudf'.\n", ARDUDF_VERSION, exports.size());
    std::printf("-- Generated from src/catalogue/catalogue.h by ardudf_catalogue; do not edit.\n");
    std::printf("-- The server needs UdfAccess = Restrict <folder of ardudf.so or .dll> in firebird.conf.\n");
    std::printf("-- Its syntax is Firebird 2.0's and later's: tested in 2.5, 3.0, 4.0 and 5.0; 2.0 and 2.1\n");
    std::printf("-- untested. 1.5 and older have no EXECUTE BLOCK and no COMMENT ON: there, run only its\n");
    std::printf("-- DECLARE EXTERNAL FUNCTION statements. In 2.5 and older one statement's results may take\n");
    std::printf("-- 64 KB: where a statement selects two of the 32767-byte texts, cast them (CAST(... AS\n");
    std::printf("-- VARCHAR(n))) or declare them narrower (bin/declare_width.sh).\n");
    std::printf("-- Texts are CHARACTER SET NONE (bytes) unless a function reads them in a code page.\n");
    std::printf("-- A NULL argument arrives as the empty text or 0 (no NULL keyword is declared).\n");
    print_guard("guard_legacy.sql", "ardudf.sql");
    // Catalogue order; the groups interleave in it, so each entry names its own.
    for (const auto& e : exports) {
        const int n = arg_count(e);
        std::printf("\n-- %s\n-- %.*s: %.*s\n", c_prototype(e, false).c_str(), int(e.group.size()), e.group.data(),
                    int(e.summary.size()), e.summary.data());
        std::printf("DECLARE EXTERNAL FUNCTION %.*s\n", int(e.name.size()), e.name.data());
        for (int i = 0; i < n; ++i)
            std::printf("    %s%s\n", narrowed(e.args[i]) ? sql_text(narrow, e.charset).c_str() : sql_arg(e, i).c_str(),
                        i + 1 < n ? "," : "");
        std::printf("    RETURNS %s\n",
                    narrowed(e.result) ? (sql_text(narrow, e.charset) + " FREE_IT").c_str() : sql_result(e).c_str());
        std::printf("    ENTRY_POINT '%.*s' MODULE_NAME 'ardudf';\n", int(e.name.size()), e.name.data());
        // Firebird 2.x knows only this form; 3.0 and later take it too.
        print_comment("EXTERNAL FUNCTION", e.name, e.summary);
    }
    std::printf("\nCOMMIT;\n");
}

void print_drop() {
    std::printf("-- ardudf %s: removes all %zu functions. Generated from the catalogue; do not edit.\n", ARDUDF_VERSION,
                exports.size());
    print_drop_head("ardudf_drop.sql", sql_names(exports), "");
    for (const auto& e : exports) std::printf("DROP EXTERNAL FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
    std::printf("COMMIT;\n");
}

void print_map() {
    std::printf("{\n  global:\n");
    for (const auto& e : exports) std::printf("    %.*s;\n", int(e.name.size()), e.name.data());
    std::printf("  local: *;\n};\n");
}

void print_list() {
    std::printf("// Every function of the catalogue with its group, one a line: read by CMake (the fuzz\n");
    std::printf("// targets) and by C++ (the header's check). Generated by ardudf_catalogue; do not edit.\n");
    for (const auto& e : exports)
        std::printf("ARDUDF_FUNCTION(%.*s, %.*s)\n", int(e.name.size()), e.name.data(), int(e.group.size()),
                    e.group.data());
}

// The C prototype of an export, its arguments named as in the catalogue.
std::string prototype(const Export& e) { return c_prototype(e, true); }

// The public header. Each group under its heading, in the order the catalogue first names
// them; what holds for every function of a group stands above it. A declaration wider than
// the sources' 120 columns breaks after an argument, as clang-format lays it out.
void print_header() {
    struct Heading {
        std::string_view group, title, note;
    };
    static constexpr Heading headings[] = {
        {"value", "value functions", ""},
        {"text", "text functions", ""},
        {"calendar", "calendar: a date is a day serial, days since 1899-12-30 plus the day fraction",
         R"(/* Supported: day serials -109205.0 (1601-01-01) to about 10565994.1 (30828-09-14) and
 * dates 1601-01-01 to 30827-12-31, in the Gregorian calendar, without a time zone. Outside
 * that (NaN, infinities, 1e300, -109206.0, or a date that does not exist such as
 * 2023-02-29) every decoded field is 0 (ib_dayofweek too), ib_encodedate and
 * ib_endofdecade give 0.0, and ib_datetostring formats the fields as 0 (DD.MM.YYYY gives
 * 0.0.0, YY gives 00). Times of day are truncated to the millisecond, never rounded. */
)"},
        {"balance", "settlement balance engine: a context is named by the handle from ib_scbcreate", ""},
    };
    std::printf("%s", R"(/* ardudf - external SQL functions for Firebird / InterBase. Generated from the catalogue
 * (src/catalogue/catalogue.h) by ardudf_catalogue; do not edit.
 *
 * Every argument arrives by reference, as the server's legacy UDF interface passes it.
 * A null argument pointer (a declaration with the NULL keyword hands one over) reads as
 * the empty text or as 0. Text results come from ib_util_malloc and belong to the server
 * (declare them FREE_IT); a null text result reads as SQL NULL and means the allocator
 * gave no memory. Lengths, counts and positions count bytes.
 *
 * Where a text function cannot give its result it returns null (SQL NULL) and writes
 * nothing: when ib_util_malloc gives no memory, and when the size it would need does not
 * fit the allocator's int32 (ib_lpad to a length of 2147483647, ib_uniqueid(2147483647)).
 * ib_lpad with a negative length returns the text unchanged (allocating its length + 1);
 * ib_uniqueid with a negative len returns the empty text (allocating 1) and draws
 * nothing. ib_uniqueid's generator is per thread and starts at the same point in every
 * thread: the identifiers are random-looking, not unique.
 *
 * The SQL declaration of each function is in sql/ardudf.sql, generated from the same
 * catalogue; docs/functions.md describes each one with examples.
 */
#ifndef ARDUDF_ARDUDF_H
#define ARDUDF_ARDUDF_H

#include <stdint.h>

#if defined(_WIN32)
#define ARDUDF_API /* exported through the generated .def file */
#else
#define ARDUDF_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
#define ARDUDF_NOEXCEPT noexcept
extern "C" {
#else
#define ARDUDF_NOEXCEPT
#endif
)");
    for (std::string_view group : groups()) {
        const Heading* h =
            std::find_if(std::begin(headings), std::end(headings), [&](const Heading& x) { return x.group == group; });
        const std::string_view title = h != std::end(headings) ? h->title : group;
        std::printf("\n/* ---- %.*s ---- */\n", int(title.size()), title.data());
        if (h != std::end(headings)) std::printf("%.*s", int(h->note.size()), h->note.data());
        for (const auto& e : exports) {
            if (e.group != group) continue;
            // Each line as full as it can be; the next ones under the first argument.
            std::string rest = "ARDUDF_API " + prototype(e) + " ARDUDF_NOEXCEPT;";
            const std::string indent(rest.find('(') + 1, ' ');
            while (rest.size() > 120) {
                const std::size_t cut = rest.rfind(", ", 119);
                std::printf("%s\n", rest.substr(0, cut + 1).c_str());
                rest = indent + rest.substr(cut + 2);
            }
            std::printf("%s\n", rest.c_str());
        }
    }
    std::printf("\n#ifdef __cplusplus\n}\n#endif\n\n#endif\n");
}

void print_nulls() {
    std::printf("-- Every function, with NULL in each argument position in turn (the other arguments plain;\n");
    std::printf("-- a balance handle of 0). Generated from the catalogue by ardudf_catalogue; do not edit.\n");
    std::printf("SET LIST ON;\n");
    for (const auto& e : exports) {
        const int n = arg_count(e);
        if (n == 0) continue; // nothing to pass NULL to
        const std::string_view base = e.name.starts_with("ib_") ? e.name.substr(3) : e.name;
        for (int k = 0; k < n; ++k) {
            std::printf(k == 0 ? "SELECT " : ",\n       ");
            std::printf("%.*s(", int(e.name.size()), e.name.data());
            for (int i = 0; i < n; ++i) std::printf("%s%s", i ? ", " : "", i == k ? "NULL" : plain(e, i).c_str());
            std::printf(") AS %.*s_%d", int(base.size()), base.data(), k + 1);
        }
        std::printf("\nFROM RDB$DATABASE;\n");
    }
}

// A text type as the docs show it: the character set only where it is not NONE.
std::string doc_type(const Value& v, std::string_view charset, bool udr) {
    if (v.kind != Kind::text) return udr_type(v, charset);
    std::string t = (udr ? "VARCHAR(" : "CSTRING(") + std::to_string(udr ? v.width.udr : v.width.legacy) + ")";
    return charset == "NONE" ? t : t + " CHARACTER SET " + std::string(charset);
}

void print_signatures() {
    for (const auto& e : exports) {
        std::string params[2];
        for (int udr = 0; udr < 2; ++udr)
            for (int i = 0; i < arg_count(e); ++i)
                params[udr] +=
                    (i ? ", " : "") + std::string(e.args[i].name) + " " + doc_type(e.args[i], e.charset, udr);
        const std::string name(e.name);
        std::printf("### %s\n", name.c_str());
        std::printf("Legacy: `%s(%s) RETURNS %s`\\\n", name.c_str(), params[0].c_str(),
                    doc_type(e.result, e.charset, false).c_str());
        std::printf("UDR: `%s(%s) RETURNS %s`\n", name.c_str(), params[1].c_str(),
                    doc_type(e.result, e.charset, true).c_str());
    }
    for (const auto& p : procedures) {
        std::string args, results;
        for (const Value& v : p.args)
            args += (args.empty() ? "" : ", ") + std::string(v.name) + " " + doc_type(v, "NONE", true);
        for (const Value& v : p.results)
            results += (results.empty() ? "" : ", ") + std::string(v.name) + " " + doc_type(v, "NONE", true);
        std::printf("### %.*s (UDR module only)\n", int(p.name.size()), p.name.data());
        std::printf("UDR: `%.*s(%s) RETURNS (%s)`\n", int(p.name.size()), p.name.data(), args.c_str(), results.c_str());
    }
}

void print_sql_shipped() { print_sql(0); }

void print_psql_script() {
    if (print_psql() != 0) std::exit(1);
}

void print_psql_drop_script() {
    if (print_psql_drop() != 0) std::exit(1);
}

void print_legacy_to_psql_script() {
    if (print_legacy_to_psql() != 0) std::exit(1);
}

void print_prototypes() {
    for (const auto& e : exports) std::printf("%s\n", c_prototype(e, true).c_str());
}

void print_names() {
    for (const auto& e : exports) std::printf("%.*s\n", int(e.name.size()), e.name.data());
}

void print_procedures() {
    for (const auto& p : procedures) std::printf("%.*s\n", int(p.name.size()), p.name.data());
}

struct Command {
    std::string_view name;
    void (*print)();
    std::string_view what;
};

// Every subcommand but `declare`, which takes arguments.
constexpr Command commands[] = {
    {"def", print_def, "the Windows module-definition file (undecorated names)"},
    {"map", print_map, "the export map of the legacy module"},
    {"sql", print_sql_shipped, "DECLARE EXTERNAL FUNCTION for every export"},
    {"drop", print_drop, "DROP EXTERNAL FUNCTION for every export"},
    {"udr", print_udr, "CREATE FUNCTION ... ENGINE UDR for every export, and the procedures"},
    {"udr_drop", print_udr_drop, "DROP FUNCTION / PROCEDURE for all of them"},
    {"psql", print_psql_script,
     "the same functions as PSQL stored routines (psql.cpp), for a server that loads no module"},
    {"psql_drop", print_psql_drop_script, "their drop script"},
    {"legacy_to_udr", print_legacy_to_udr, "the move of a database from the legacy module to the UDR module in place"},
    {"legacy_to_udr_preview", print_legacy_to_udr_preview, "what the move would do, changing nothing"},
    {"udr_check", print_udr_check, "the check of a database on the UDR module after the move or an upgrade"},
    {"udr_indexes", print_udr_indexes, "the move's index step on its own"},
    {"legacy_to_psql", print_legacy_to_psql_script, "the move of a database from the legacy module to PSQL in place"},
    {"move_report", print_move_report, "what a database declares of ardudf, for bin/move_to_udr.sh's report"},
    {"list", print_list, "ARDUDF_FUNCTION(name, group), one a line, for CMake and C++"},
    {"header", print_header, "include/ardudf/ardudf.h, the legacy module's prototypes"},
    {"nulls", print_nulls, "the SQL test of a NULL in each argument position"},
    {"prototypes", print_prototypes, "each export's C prototype with the catalogue's argument names"},
    {"names", print_names, "one export name a line"},
    {"procedures", print_procedures, "one procedure name a line"},
    {"signatures", print_signatures, "the heading and the two signature lines of each function in docs/functions.md"},
};

int usage() {
    std::fprintf(stderr, "usage: ardudf_catalogue COMMAND\n");
    for (const Command& c : commands)
        std::fprintf(stderr, "  %-22.*s %.*s\n", int(c.name.size()), c.name.data(), int(c.what.size()), c.what.data());
    std::fprintf(stderr, "  sql WIDTH              the legacy declarations with the widest texts WIDTH bytes wide\n"
                         "                         (bin/declare_width.sh)\n"
                         "  declare legacy|legacy_floor|udr|udr_floor|udr_moved PREFIX [WIDTH]\n"
                         "                         the declarations the benchmarks make beside the shipped ones\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc > 1 ? argv[1] : "";
    if (what == "declare" && argc >= 4)
        return print_bench_declarations(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 0) == 0 ? 0 : usage();
    if (what == "sql" && argc == 3) {
        const int narrow = std::atoi(argv[2]);
        if (narrow < 1 || narrow > long_text.legacy) return usage();
        print_sql(narrow);
        return 0;
    }
    for (const Command& c : commands)
        if (c.name == what) {
            c.print();
            return 0;
        }
    return usage();
}
