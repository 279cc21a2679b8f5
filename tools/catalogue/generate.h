// Between generate.cpp and the generators in files of their own: the helpers of
// generate.cpp they use, and their entry points.
#pragma once

#include "catalogue/catalogue.h"
#include "template.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ardudf::catalogue::gen {

// The catalogue's groups, in the order it first names them.
std::vector<std::string_view> groups();

// From generate.cpp, as the UDR script writes them.
std::string udr_type(const Value& v, std::string_view charset); // VARCHAR(n) CHARACTER SET ..., INTEGER, ...
std::string udr_params(std::span<const Value> values, std::string_view charset); // one argument a line
std::string udr_null_rule(const Export& e);                                      // "a NULL argument gives NULL", ...
std::string comment_ddl(std::string_view what, std::string_view name, std::string_view summary); // COMMENT ON ...
std::string upper(std::string_view name);
// The head of a UDR or PSQL function (templates/function_head.sql): its comment line,
// CREATE OR ALTER FUNCTION with the arguments and RETURNS, ending in a newline.
std::string function_head(const Export& e);
// A row d of RDB$DEPENDENCIES that depends on one of names (quoted, upper case, comma
// separated), a function, procedure or table (templates/depends_on.sql).
enum class Depended { table = 0, procedure = 5, function = 15 };
std::string depends_on(Depended kind, std::string_view names);
// The head of a drop script (templates/drop_head.sql): lists every caller and stops, or
// lets the drops run; dropped is the condition on a row d of RDB$DEPENDENCIES.
std::string drop_head(std::string_view script, const std::string& dropped);
// The first line of the body of a function the move to PSQL made of a legacy declaration:
// how the scripts know one.
inline constexpr std::string_view psql_moved_mark =
    "-- ardudf: moved from the legacy module to PSQL, reads NULL as it did";
// Whether NAME (upper case) is a built-in function's name in Firebird 4, 5 or 6.
bool is_builtin(std::string_view upper_name);
// The guard of a declare script (templates/guard_*.sql): refuses a database it would change.
std::string guard(std::string_view which, std::string_view script);

// The legacy declarations' types and the UDR procedures' DDL, as the scripts write them.
std::string sql_text(int width, std::string_view charset); // CSTRING(n) CHARACTER SET ...
std::string sql_arg(const Export& e, int i);
std::string sql_result(const Export& e);
std::string procedure_ddl(const Procedure& p, std::string_view sep);
// What the templates of the move share (the catalogue as rows, the release, ...); column:
// the name of the column the script prints.
Fields move_fields(std::string_view column);
std::string escaped(std::string_view text); // text inside a quoted SQL literal

// bench_declarations.cpp: the declarations the benchmarks make beside the shipped ones; 2
// for an unknown kind.
int print_bench_declarations(std::string_view what, std::string_view prefix, int narrow);

// psql.cpp: the PSQL declarations and their drop script; 0, or 1 when a body is missing.
int print_psql();
int print_psql_drop();
int print_legacy_to_psql(); // the move in place from the legacy module to PSQL

} // namespace ardudf::catalogue::gen
