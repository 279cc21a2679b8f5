// Prints what is generated from the catalogue (src/catalogue/catalogue.h):
//   ardudf_catalogue def       the Windows module-definition file (undecorated names)
//   ardudf_catalogue map       the export map of the legacy module
//   ardudf_catalogue sql [WIDTH]  DECLARE EXTERNAL FUNCTION for every export (WIDTH: the
//                              widest texts that many bytes wide, bin/declare_width.sh)
//   ardudf_catalogue drop      DROP EXTERNAL FUNCTION for every export
//   ardudf_catalogue udr       CREATE FUNCTION ... ENGINE UDR for every export, and the procedures
//   ardudf_catalogue udr_drop  DROP FUNCTION / PROCEDURE for all of them
//   ardudf_catalogue declare legacy|legacy_floor|udr|udr_floor|udr_moved PREFIX [WIDTH]
//                              the declarations the benchmarks make beside the shipped ones
//   ardudf_catalogue legacy_to_udr  the move of a database from the legacy module to the UDR
//                              module in place, every caller keeping its results
//   ardudf_catalogue list      ARDUDF_FUNCTION(name, group), one a line, for CMake and C++
//   ardudf_catalogue header    include/ardudf/ardudf.h, the legacy module's prototypes
//   ardudf_catalogue nulls     the SQL test of a NULL in each argument position
//   ardudf_catalogue prototypes  each export's C prototype with the catalogue's argument names,
//                              which a test finds in ardudf.h and in the legacy module
//   ardudf_catalogue names     one export name a line (procedures: one procedure name a line)
//   ardudf_catalogue signatures  the heading and the two signature lines of each function in
//                              docs/functions.md, which a test finds there
// scripts/generate.sh writes the committed ones; a test regenerates and compares them.
#include "ardudf_version.h"
#include "catalogue/catalogue.h"

#include <algorithm>
#include <cstdio>
#include <vector>
#include <span>
#include <string>
#include <string_view>

using namespace ardudf::catalogue;

namespace {

std::string c_type(Kind k) {
    switch (k) {
    case Kind::text:
        return "const char*";
    case Kind::int32:
        return "const int32_t*";
    case Kind::float64:
        return "const double*";
    case Kind::none:
        break;
    }
    return "void";
}

std::string c_result(Kind k) {
    switch (k) {
    case Kind::text:
        return "char*";
    case Kind::int32:
        return "int32_t";
    case Kind::float64:
        return "double";
    case Kind::none:
        break;
    }
    return "void";
}

std::string sql_text(int width, std::string_view charset) {
    return "CSTRING(" + std::to_string(width) + ") CHARACTER SET " + std::string(charset);
}

std::string sql_arg(const Export& e, int i) {
    switch (e.args[i].kind) {
    case Kind::text:
        return sql_text(e.args[i].width.legacy, e.charset);
    case Kind::int32:
        return "INTEGER";
    case Kind::float64:
        return "DOUBLE PRECISION";
    case Kind::none:
        break;
    }
    return "";
}

std::string sql_result(const Export& e) {
    switch (e.result.kind) {
    case Kind::text:
        return sql_text(e.result.width.legacy, e.charset) + " FREE_IT";
    case Kind::int32:
        return "INTEGER BY VALUE";
    case Kind::float64:
        return "DOUBLE PRECISION BY VALUE";
    case Kind::none:
        break;
    }
    return "";
}

// The UDR declarations: VARCHAR of the catalogue's UDR width in the catalogue's character
// set, so that a field holds that many bytes whatever the database's default set.
std::string udr_type(const Value& v, std::string_view charset) {
    switch (v.kind) {
    case Kind::text:
        return "VARCHAR(" + std::to_string(v.width.udr) + ") CHARACTER SET " + std::string(charset);
    case Kind::int32:
        return "INTEGER";
    case Kind::float64:
        return "DOUBLE PRECISION";
    case Kind::none:
        break;
    }
    return "";
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

// What calls a routine, named as a user knows it: a CHECK by its constraint, a computed
// column by its table and column (the engine records their hidden trigger and domain).
constexpr const char* caller_sql = R"(COALESCE(
            (SELECT FIRST 1 'CHECK ' || TRIM(r.RDB$CONSTRAINT_NAME) || ' of table ' || TRIM(r.RDB$RELATION_NAME)
              FROM RDB$CHECK_CONSTRAINTS c
              JOIN RDB$RELATION_CONSTRAINTS r ON r.RDB$CONSTRAINT_NAME = c.RDB$CONSTRAINT_NAME
              WHERE d.RDB$DEPENDENT_TYPE = 2 AND c.RDB$TRIGGER_NAME = d.RDB$DEPENDENT_NAME),
            (SELECT FIRST 1 'column ' || TRIM(f.RDB$RELATION_NAME) || '.' || TRIM(f.RDB$FIELD_NAME)
              FROM RDB$RELATION_FIELDS f WHERE d.RDB$DEPENDENT_TYPE = 3 AND f.RDB$FIELD_SOURCE = d.RDB$DEPENDENT_NAME),
            CASE d.RDB$DEPENDENT_TYPE
              WHEN 0 THEN 'table ' WHEN 1 THEN 'view ' WHEN 2 THEN 'trigger ' WHEN 4 THEN 'CHECK of domain '
              WHEN 5 THEN 'procedure ' WHEN 6 THEN 'index ' WHEN 15 THEN 'function ' WHEN 18 THEN 'package '
              WHEN 19 THEN 'package body ' ELSE '' END || TRIM(d.RDB$DEPENDENT_NAME)))";

// The head of a drop script: all or nothing. The drops run in one transaction, and before
// the first of them a block lists, one row each, whatever in the database calls one of the
// routines, and then stops the script. (The engine would refuse the drops only at COMMIT,
// naming one caller.) The stop is a failed conversion of a short text: the one way a script
// can fail with words of its own without creating an exception object in the database.
void print_drop_head(std::string_view script, std::string_view functions, std::string_view procedures_list) {
    const std::string column(script.substr(0, script.find('.')));
    std::printf("-- All or nothing: while a procedure, trigger, view, computed column, CHECK or index\n");
    std::printf("-- calls one of them, it drops none and lists what calls them.\n");
    std::printf("SET BAIL ON;\nSET AUTODDL OFF;\nSET LIST ON;\nSET TERM ^ ;\n");
    std::printf("EXECUTE BLOCK RETURNS (%s VARCHAR(400)) AS\n  DECLARE n INTEGER = 0;\nBEGIN\n", column.c_str());
    std::printf("  FOR SELECT DISTINCT 'not dropped: ' || TRIM(d.RDB$DEPENDED_ON_NAME) || ' is called by ' || %s\n",
                caller_sql);
    std::printf("      FROM RDB$DEPENDENCIES d\n");
    std::printf("      WHERE (d.RDB$DEPENDED_ON_TYPE = 15 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN (%.*s))\n",
                int(functions.size()), functions.data());
    if (!procedures_list.empty())
        std::printf("         OR (d.RDB$DEPENDED_ON_TYPE = 5 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN (%.*s))\n",
                    int(procedures_list.size()), procedures_list.data());
    std::printf("      INTO %s DO BEGIN\n    n = n + 1;\n    SUSPEND;\n  END\n", column.c_str());
    std::printf("  IF (n > 0) THEN n = CAST('%.*s: nothing dropped' AS INTEGER);\n", int(script.size()), script.data());
    std::printf("END^\nSET TERM ; ^\n");
}

// The kinds of an export's values, result first: T text, I integer, D double.
std::string kinds(const Export& e) {
    auto kind = [](Kind k) { return k == Kind::text ? "T" : k == Kind::int32 ? "I" : "D"; };
    std::string out = kind(e.result.kind);
    for (int i = 0; i < arg_count(e); ++i) out += kind(e.args[i].kind);
    return out;
}

// The names of the functions the move marked as moved (L), from its marks.
std::string moved_names() {
    std::string out;
    for (std::size_t i = 0; i < exports.size(); ++i)
        out += "  IF (SUBSTRING(states FROM " + std::to_string(i + 1) + " FOR 1) = 'L') THEN moved = moved || '" +
               upper(exports[i].name) + ",';\n";
    return out;
}

// The move in place from the legacy module to the UDR module (docs/migration.md). A first
// block checks everything and then redeclares, in the transaction isql holds, so that it
// either moves every function or changes nothing; a second block, after the COMMIT,
// rebuilds the indexes with the functions now in force.
void print_legacy_to_udr() {
    std::printf("-- ardudf %s: moves a database declared with sql/ardudf.sql (the legacy module 'ardudf')\n",
                ARDUDF_VERSION);
    std::printf("-- to the UDR module 'ardudf_udr' in place. Generated from src/catalogue/catalogue.h by\n");
    std::printf("-- ardudf_catalogue; do not edit. docs/migration.md gives the steps around it.\n--\n");
    std::printf(R"(-- In one transaction it redeclares each of the %zu functions under its name, with the same
-- arguments in the same order and its texts as wide as this database declared them (a UDR
-- text holds at most 32765 bytes, a CSTRING 32767), as 'ardudf_udr!NAME!%.*s': a NULL
-- argument is read as the legacy module reads it, the empty text or 0, so every procedure,
-- trigger, view, computed column, CHECK and index that calls them gives the results it gave.
-- It declares the procedure ib_scbwalk beside them, commits, and then rebuilds each active
-- index whose expression calls a function it moved (directly, or through a PSQL routine or
-- a computed column), so that no key the legacy module computed stays behind.
-- It changes nothing, and says why, while another attachment is connected to the database
-- or when a routine of these names is not ardudf's. Run again, it says there is nothing
-- left to move; a function already on the UDR module is left as it is.
SET BAIL ON;
SET LIST ON;
SET TERM ^ ;
EXECUTE BLOCK RETURNS (ardudf_legacy_to_udr VARCHAR(1000)) AS
  DECLARE n INTEGER;
  DECLARE states VARCHAR(64) = '';
  DECLARE st CHAR(1);
  DECLARE n_moved INTEGER = 0;
  DECLARE n_udr INTEGER = 0;
  DECLARE missing VARCHAR(2000) = '';
  DECLARE walk VARCHAR(100) = '';
  -- L: ardudf's legacy declaration with the arguments of the catalogue (kinds: the result's,
  -- then each argument's: T text, I integer, D double); U: on ardudf_udr already; -: not
  -- declared; A: ardudf's legacy module with other arguments; X: another routine's.
  DECLARE FUNCTION state (fn VARCHAR(63), kinds VARCHAR(5)) RETURNS CHAR(1) AS
    DECLARE engine VARCHAR(63);
    DECLARE entry VARCHAR(255);
    DECLARE module VARCHAR(255);
    DECLARE ret SMALLINT;
    DECLARE declared VARCHAR(10) = '';
    DECLARE k CHAR(1);
  BEGIN
    SELECT TRIM(RDB$ENGINE_NAME), TRIM(RDB$ENTRYPOINT), TRIM(RDB$MODULE_NAME), RDB$RETURN_ARGUMENT
      FROM RDB$FUNCTIONS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL
      INTO engine, entry, module, ret;
    IF (ROW_COUNT = 0) THEN RETURN '-';
    IF (engine = 'UDR' AND entry STARTING WITH 'ardudf_udr!') THEN RETURN 'U';
    IF (engine IS NOT NULL OR module IS NULL OR UPPER(entry) <> fn OR ret <> 0) THEN RETURN 'X';
    FOR SELECT CASE RDB$FIELD_TYPE WHEN 40 THEN 'T' WHEN 8 THEN 'I' WHEN 27 THEN 'D' ELSE '?' END
        FROM RDB$FUNCTION_ARGUMENTS WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL
        ORDER BY RDB$ARGUMENT_POSITION INTO k DO declared = declared || k;
    RETURN IIF(declared = kinds, 'L', 'A');
  END
  -- Argument pos (0: the result) as the UDR declaration takes it: a CSTRING(n) held n bytes,
  -- a VARCHAR(n) holds as many, up to the 32765 bytes of the widest.
  DECLARE FUNCTION udr_type (fn VARCHAR(63), pos SMALLINT) RETURNS VARCHAR(100) AS
    DECLARE ftype SMALLINT;
    DECLARE len INTEGER;
    DECLARE cs SMALLINT;
    DECLARE csname VARCHAR(63);
    DECLARE per SMALLINT;
  BEGIN
    SELECT RDB$FIELD_TYPE, RDB$FIELD_LENGTH, RDB$CHARACTER_SET_ID FROM RDB$FUNCTION_ARGUMENTS
      WHERE RDB$FUNCTION_NAME = :fn AND RDB$PACKAGE_NAME IS NULL AND RDB$ARGUMENT_POSITION = :pos
      INTO ftype, len, cs;
    IF (ftype = 8) THEN RETURN 'INTEGER';
    IF (ftype = 27) THEN RETURN 'DOUBLE PRECISION';
    SELECT TRIM(RDB$CHARACTER_SET_NAME), RDB$BYTES_PER_CHARACTER FROM RDB$CHARACTER_SETS
      WHERE RDB$CHARACTER_SET_ID = COALESCE(:cs, 0) INTO csname, per;
    RETURN 'VARCHAR(' || (MINVALUE(len, 32765) / per) || ') CHARACTER SET ' || csname;
  END
BEGIN
  -- Other attachments would go on with the legacy declarations they have loaded (and a
  -- Firebird 3 engine can hang or crash when a function changes under them).
  FOR SELECT 'nothing changed: attachment ' || MON$ATTACHMENT_ID || ' (' || TRIM(COALESCE(MON$USER, '')) || ', '
        || COALESCE(MON$REMOTE_PROCESS, MON$REMOTE_ADDRESS, 'embedded') || ') is connected to this database too; '
        || 'shut the database down to one attachment (gfix -shut single -force 0) and run this again'
      FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SYSTEM_FLAG = 0
      INTO ardudf_legacy_to_udr DO SUSPEND;
  IF (ROW_COUNT > 0) THEN n = CAST('ardudf_legacy_to_udr.sql: nothing changed' AS INTEGER);

  -- What each function is declared as, one mark each in the catalogue's order.
)",
                exports.size(), int(legacy_nulls_option.size()), legacy_nulls_option.data());
    for (const auto& e : exports) {
        const std::string up = upper(e.name);
        std::printf("  st = state('%s', '%s');\n  states = states || st;\n", up.c_str(), kinds(e).c_str());
        std::printf(
            "  IF (st = 'A') THEN BEGIN\n    ardudf_legacy_to_udr = 'nothing changed: %s is declared with other "
            "arguments than ardudf''s';\n    SUSPEND;\n  END\n",
            up.c_str());
        std::printf("  IF (st = 'X') THEN BEGIN\n    ardudf_legacy_to_udr = 'nothing changed: %s is declared, but not "
                    "as a function of ardudf';\n    SUSPEND;\n  END\n",
                    up.c_str());
    }
    std::printf("  IF (states CONTAINING 'A' OR states CONTAINING 'X') THEN\n"
                "    n = CAST('ardudf_legacy_to_udr.sql: nothing changed' AS INTEGER);\n");
    std::printf("\n  -- Each legacy declaration redeclared for the UDR module.\n");
    for (std::size_t i = 0; i < exports.size(); ++i) {
        const Export& e = exports[i];
        const std::string name(e.name), up = upper(e.name);
        std::printf("  st = SUBSTRING(states FROM %zu FOR 1);\n", i + 1);
        std::printf("  IF (st = 'L') THEN BEGIN\n");
        std::string ddl = "    EXECUTE STATEMENT 'ALTER FUNCTION " + name + " (";
        for (int k = 0; k < arg_count(e); ++k)
            ddl += std::string(k ? ", " : "") + std::string(e.args[k].name) + " ' || udr_type('" + up + "', " +
                   std::to_string(k + 1) + ") || '";
        ddl += ") RETURNS ' || udr_type('" + up + "', 0)\n      || ' EXTERNAL NAME ''ardudf_udr!" + name + "!" +
               std::string(legacy_nulls_option) + "'' ENGINE UDR';\n";
        std::printf("%s", ddl.c_str());
        std::printf("    EXECUTE STATEMENT '%s';\n", escaped(comment_ddl("FUNCTION", e.name, e.summary)).c_str());
        std::printf("    n_moved = n_moved + 1;\n  END\n  ELSE IF (st = 'U') THEN n_udr = n_udr + 1;\n");
        std::printf("  ELSE missing = IIF(missing = '', '', missing || ', ') || '%s';\n", name.c_str());
    }
    for (const auto& p : procedures) {
        std::printf(R"(
  -- %s, which the UDR module adds
  IF (n_moved > 0 AND NOT EXISTS (SELECT 1 FROM RDB$PROCEDURES
      WHERE RDB$PROCEDURE_NAME = '%s' AND RDB$PACKAGE_NAME IS NULL)) THEN BEGIN
    EXECUTE STATEMENT '%s';
    EXECUTE STATEMENT '%s';
    walk = '; %s declared';
  END
)",
                    std::string(p.name).c_str(), upper(p.name).c_str(),
                    escaped("CREATE " + procedure_ddl(p, " ")).c_str(),
                    escaped(comment_ddl("PROCEDURE", p.name, p.summary)).c_str(), std::string(p.name).c_str());
    }
    std::printf(R"(
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_MOVED', states);
  IF (n_moved > 0) THEN
    ardudf_legacy_to_udr = n_moved || ' function(s) moved to the UDR module ardudf_udr, reading NULL as the '
      || 'legacy module did' || walk || IIF(n_udr > 0, '; ' || n_udr || ' on ardudf_udr already', '');
  ELSE IF (n_udr > 0) THEN
    ardudf_legacy_to_udr = 'nothing to move, nothing changed: ' || n_udr || ' function(s) on ardudf_udr already';
  ELSE
    ardudf_legacy_to_udr = 'nothing to move, nothing changed: no function of ardudf is declared here';
  IF (missing <> '' AND (n_moved > 0 OR n_udr > 0)) THEN
    ardudf_legacy_to_udr = ardudf_legacy_to_udr || '; not declared, left so: ' || missing;
  SUSPEND;
END^

COMMIT^

-- The indexes: each active one whose expression calls a moved function, found through the
-- dependencies the engine records (an index on a PSQL function or a computed column that
-- calls one counts too), rebuilt with the module that now computes its keys.
EXECUTE BLOCK RETURNS (ardudf_legacy_to_udr VARCHAR(1000)) AS
  DECLARE states VARCHAR(64);
  DECLARE moved VARCHAR(2000) = ',';
  DECLARE ix VARCHAR(63);
  DECLARE rebuilt VARCHAR(800) = '';
  DECLARE n INTEGER = 0;
BEGIN
  states = RDB$GET_CONTEXT('USER_SESSION', 'ARDUDF_MOVED');
  RDB$SET_CONTEXT('USER_SESSION', 'ARDUDF_MOVED', NULL);
  IF (COALESCE(states, '') NOT CONTAINING 'L') THEN EXIT;
%s  FOR WITH RECURSIVE callers (name, kind, depth) AS (
        SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, 1 FROM RDB$DEPENDENCIES d
          WHERE d.RDB$DEPENDED_ON_TYPE = 15 AND :moved CONTAINING ',' || TRIM(d.RDB$DEPENDED_ON_NAME) || ','
        UNION ALL
        SELECT d.RDB$DEPENDENT_NAME, d.RDB$DEPENDENT_TYPE, c.depth + 1 FROM callers c JOIN RDB$DEPENDENCIES d
          ON (c.kind IN (5, 15) AND d.RDB$DEPENDED_ON_TYPE = c.kind AND d.RDB$DEPENDED_ON_NAME = c.name)
          OR (c.kind IN (18, 19) AND d.RDB$DEPENDED_ON_TYPE = 15 AND d.RDB$PACKAGE_NAME = c.name)
          OR (c.kind = 3 AND d.RDB$DEPENDED_ON_TYPE = 0 AND EXISTS (SELECT 1 FROM RDB$RELATION_FIELDS f
              WHERE f.RDB$FIELD_SOURCE = c.name AND f.RDB$RELATION_NAME = d.RDB$DEPENDED_ON_NAME
                AND f.RDB$FIELD_NAME = d.RDB$FIELD_NAME))
          WHERE c.depth < 16)
      SELECT DISTINCT TRIM(i.RDB$INDEX_NAME) FROM callers c JOIN RDB$INDICES i ON i.RDB$INDEX_NAME = c.name
        WHERE c.kind = 6 AND COALESCE(i.RDB$INDEX_INACTIVE, 0) = 0
      INTO ix DO BEGIN
    -- ACTIVE on an active index builds it anew.
    EXECUTE STATEMENT 'ALTER INDEX "' || REPLACE(ix, '"', '""') || '" ACTIVE';
    n = n + 1;
    IF (n <= 20) THEN rebuilt = IIF(n > 1, rebuilt || ', ', '') || ix;
  END
  ardudf_legacy_to_udr = IIF(n = 0, 'no index calls the moved functions',
    n || ' index(es) rebuilt: ' || rebuilt || IIF(n > 20, ', ...', ''));
  SUSPEND;
END^

COMMIT^
SET TERM ; ^
)",
                moved_names().c_str());
}

// One function of the UDR script.
void print_udr_function(const Export& e) {
    std::printf("\n-- %.*s; %s\n", int(e.summary.size()), e.summary.data(), udr_null_rule(e).c_str());
    const std::string params = udr_params(e.args, e.charset);
    std::printf("CREATE OR ALTER FUNCTION %.*s (%s%s)\n", int(e.name.size()), e.name.data(), params.c_str(),
                params.empty() ? "" : "\n");
    std::printf("    RETURNS %s\n", udr_type(e.result, e.charset).c_str());
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
    std::printf("-- release, brings every declaration and its comment up to this release.\n");
    std::printf("-- A NULL argument gives NULL unless the function's comment says otherwise.\n");
    // Each group under one heading, the groups in the order the catalogue first names them.
    std::vector<std::string_view> groups;
    for (const auto& e : exports)
        if (std::find(groups.begin(), groups.end(), e.group) == groups.end()) groups.push_back(e.group);
    for (std::string_view group : groups) {
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
    std::printf("-- The server needs UdfAccess = Restrict <folder of ardudf.so> in firebird.conf.\n");
    std::printf("-- Texts are CHARACTER SET NONE (bytes) unless a function reads them in a code page.\n");
    std::printf("-- A NULL argument arrives as the empty text or 0 (no NULL keyword is declared).\n");
    // Catalogue order; the groups interleave in it, so each entry names its own.
    for (const auto& e : exports) {
        std::string proto = c_result(e.result.kind) + " " + std::string(e.name) + "(";
        const int n = arg_count(e);
        for (int i = 0; i < n; ++i) proto += (i ? ", " : "") + c_type(e.args[i].kind);
        proto += n == 0 ? "void)" : ")";
        std::printf("\n-- %s\n-- %.*s: %.*s\n", proto.c_str(), int(e.group.size()), e.group.data(),
                    int(e.summary.size()), e.summary.data());
        std::printf("DECLARE EXTERNAL FUNCTION %.*s\n", int(e.name.size()), e.name.data());
        for (int i = 0; i < n; ++i)
            std::printf("    %s%s\n", narrowed(e.args[i]) ? sql_text(narrow, e.charset).c_str() : sql_arg(e, i).c_str(),
                        i + 1 < n ? "," : "");
        std::printf("    RETURNS %s\n",
                    narrowed(e.result) ? (sql_text(narrow, e.charset) + " FREE_IT").c_str() : sql_result(e).c_str());
        std::printf("    ENTRY_POINT '%.*s' MODULE_NAME 'ardudf';\n", int(e.name.size()), e.name.data());
        print_comment("FUNCTION", e.name, e.summary);
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
std::string prototype(const Export& e) {
    std::string proto = c_result(e.result.kind) + " " + std::string(e.name) + "(";
    for (int i = 0; i < arg_count(e); ++i)
        proto += (i ? ", " : "") + c_type(e.args[i].kind) + " " + std::string(e.args[i].name);
    return proto + (arg_count(e) == 0 ? "void)" : ")");
}

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
    std::vector<std::string_view> groups;
    for (const auto& e : exports)
        if (std::find(groups.begin(), groups.end(), e.group) == groups.end()) groups.push_back(e.group);
    for (std::string_view group : groups) {
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

// A plain value for each kind: a balance handle of 0, so that nothing is changed.
std::string plain(const Export& e, int i) {
    switch (e.args[i].kind) {
    case Kind::text:
        return "'A,B'";
    case Kind::int32:
        return e.group == "balance" && i == 0 ? "0" : "2";
    case Kind::float64:
        return "45000.5";
    case Kind::none:
        break;
    }
    return "";
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

// The declarations the benchmarks make beside the shipped ones (bench/sql/calls.sh,
// bench/load/run.sh), each function as PREFIX and its name, without comments:
//   legacy, udr, udr_moved    the module's own routines (udr_moved: as after the move in place)
//   legacy_floor, udr_floor   the same declarations over the do-nothing modules of bench/
// narrow > 0: the long texts (those the catalogue declares as wide as it can) that wide.
int print_bench_declarations(std::string_view what, std::string_view prefix, int narrow) {
    const bool legacy = what == "legacy" || what == "legacy_floor";
    const bool floor = what == "legacy_floor" || what == "udr_floor", moved = what == "udr_moved";
    if (!legacy && !floor && !moved && what != "udr") return 2;
    auto width = [&](const Value& v) {
        const int declared = legacy ? v.width.legacy : moved ? std::min(v.width.legacy, max_varchar) : v.width.udr;
        const bool wide = legacy ? v.width.legacy == long_text.legacy || v.width.legacy == quotable.legacy
                                 : v.width.udr == long_text.udr || v.width.udr == quotable.udr;
        return narrow > 0 && wide ? narrow : declared;
    };
    auto name_of = [&](std::string_view name) { return std::string(prefix) + std::string(name); };
    for (const auto& e : exports) {
        const int n = arg_count(e);
        if (legacy) {
            std::printf("DECLARE EXTERNAL FUNCTION %s\n", name_of(e.name).c_str());
            for (int i = 0; i < n; ++i) {
                const Value& a = e.args[i];
                const std::string type = a.kind == Kind::text ? sql_text(width(a), e.charset) : sql_arg(e, i);
                std::printf("    %s%s\n", type.c_str(), i + 1 < n ? "," : "");
            }
            const std::string result =
                e.result.kind == Kind::text ? sql_text(width(e.result), e.charset) + " FREE_IT" : sql_result(e);
            const char* noop = e.result.kind == Kind::text    ? "noop_text"
                               : e.result.kind == Kind::int32 ? "noop_int"
                                                              : "noop_double";
            std::printf("    RETURNS %s\n", result.c_str());
            std::printf("    ENTRY_POINT '%s' MODULE_NAME '%s';\n", floor ? noop : std::string(e.name).c_str(),
                        floor ? "ardudf_noop" : "ardudf");
            continue;
        }
        std::string params;
        for (int i = 0; i < n; ++i) {
            Value a = e.args[i];
            a.width = {width(a), width(a)};
            params += (i ? ", " : "") + std::string(a.name) + " " + udr_type(a, e.charset);
        }
        Value r = e.result;
        r.width = {width(r), width(r)};
        const std::string entry = floor ? "ardudf_noop_udr!noop"
                                        : "ardudf_udr!" + std::string(e.name) +
                                              (moved ? "!" + std::string(legacy_nulls_option) : std::string());
        std::printf("CREATE FUNCTION %s (%s) RETURNS %s\n    EXTERNAL NAME '%s' ENGINE UDR;\n", name_of(e.name).c_str(),
                    params.c_str(), udr_type(r, e.charset).c_str(), entry.c_str());
    }
    if (!legacy && !floor)
        for (const auto& p : procedures) {
            std::string ddl = procedure_ddl(p, " ");
            ddl.replace(ddl.find(p.name), p.name.size(), name_of(p.name));
            std::printf("CREATE %s;\n", ddl.c_str());
        }
    std::printf("COMMIT;\n");
    return 0;
}

int usage() {
    std::fprintf(stderr,
                 "usage: ardudf_catalogue def|map|sql [WIDTH]|drop|udr|udr_drop|legacy_to_udr|list|header|nulls|names|"
                 "procedures|signatures|prototypes\n"
                 "       ardudf_catalogue declare legacy|legacy_floor|udr|udr_floor|udr_moved PREFIX [WIDTH]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc > 1 ? argv[1] : "";
    if (what == "def")
        print_def();
    else if (what == "sql" && argc <= 3) {
        const int narrow = argc > 2 ? std::atoi(argv[2]) : 0;
        if (argc > 2 && (narrow < 1 || narrow > long_text.legacy)) return usage();
        print_sql(narrow);
    } else if (what == "drop")
        print_drop();
    else if (what == "udr")
        print_udr();
    else if (what == "udr_drop")
        print_udr_drop();
    else if (what == "legacy_to_udr")
        print_legacy_to_udr();
    else if (what == "declare" && argc >= 4)
        return print_bench_declarations(argv[2], argv[3], argc > 4 ? std::atoi(argv[4]) : 0) == 0 ? 0 : usage();
    else if (what == "map")
        print_map();
    else if (what == "list")
        print_list();
    else if (what == "nulls")
        print_nulls();
    else if (what == "signatures")
        print_signatures();
    else if (what == "prototypes") {
        for (const auto& e : exports) std::printf("%s\n", prototype(e).c_str());
    } else if (what == "header") {
        print_header();
    } else if (what == "names") {
        for (const auto& e : exports) std::printf("%.*s\n", int(e.name.size()), e.name.data());
    } else if (what == "procedures") {
        for (const auto& p : procedures) std::printf("%.*s\n", int(p.name.size()), p.name.data());
    } else {
        return usage();
    }
    return 0;
}
