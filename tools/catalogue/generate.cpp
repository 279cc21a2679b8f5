// Prints what is generated from the catalogue:
//   ardudf_catalogue def    the Windows module-definition file (undecorated names)
//   ardudf_catalogue sql    DECLARE EXTERNAL FUNCTION for every export
//   ardudf_catalogue drop   DROP EXTERNAL FUNCTION for every export
//   ardudf_catalogue udr    CREATE FUNCTION ... ENGINE UDR for every export, and the walk
//   ardudf_catalogue udr_drop  DROP FUNCTION / PROCEDURE for all of them
//   ardudf_catalogue names  one export name a line
// The outputs are committed (src/catalogue/ardudf.def, sql/); a test regenerates and
// compares them.
#include "catalogue/catalogue.h"

#include <cstdio>
#include <string>
#include <string_view>

using namespace ardudf::catalogue;

namespace {

std::string c_type(Kind k) {
    switch (k) {
    case Kind::text: return "const char*";
    case Kind::int32: return "const int32_t*";
    case Kind::float64: return "const double*";
    case Kind::none: break;
    }
    return "void";
}

std::string c_result(Kind k) {
    switch (k) {
    case Kind::text: return "char*";
    case Kind::int32: return "int32_t";
    case Kind::float64: return "double";
    case Kind::none: break;
    }
    return "void";
}

std::string sql_text(int width, std::string_view charset) {
    return "CSTRING(" + std::to_string(width) + ") CHARACTER SET " + std::string(charset);
}

std::string sql_arg(const Export& e, int i) {
    switch (e.args[i]) {
    case Kind::text: return sql_text(e.widths[i], e.charset);
    case Kind::int32: return "INTEGER";
    case Kind::float64: return "DOUBLE PRECISION";
    case Kind::none: break;
    }
    return "";
}

std::string sql_result(const Export& e) {
    switch (e.result) {
    case Kind::text: return sql_text(e.result_width, e.charset) + " FREE_IT";
    case Kind::int32: return "INTEGER BY VALUE";
    case Kind::float64: return "DOUBLE PRECISION BY VALUE";
    case Kind::none: break;
    }
    return "";
}

// The UDR declarations: VARCHAR of the catalogue's width (capped at VARCHAR's 32765 bytes)
// in the catalogue's character set, so that a field holds that many bytes whatever the
// database's default set.
std::string udr_type(Kind kind, int width, std::string_view charset) {
    switch (kind) {
    case Kind::text:
        return "VARCHAR(" + std::to_string(udr_width(width)) + ") CHARACTER SET " + std::string(charset);
    case Kind::int32: return "INTEGER";
    case Kind::float64: return "DOUBLE PRECISION";
    case Kind::none: break;
    }
    return "";
}

// What a NULL argument gives in the UDR module.
std::string_view udr_null_rule(const Export& e) {
    if (e.name == "ib_isnotnull") return "NULL gives 'N'";
    if (e.name == "ib_scbstartcreditnote") return "1 for any argument, NULL too";
    if (arg_count(e) == 0) return "takes no argument";
    return "a NULL argument gives NULL";
}

void print_udr() {
    std::printf("-- ardudf: declares all %zu functions of the UDR module 'ardudf_udr', and the\n", exports.size());
    std::printf("-- procedure ib_scbwalk. Generated from src/catalogue/catalogue.h by ardudf_catalogue;\n");
    std::printf("-- do not edit. Needs no UdfAccess: the UDR engine loads libardudf_udr.so from its\n");
    std::printf("-- plugins/udr folder (plugins.conf, UDR_config path). Same SQL names as sql/ardudf.sql:\n");
    std::printf("-- to switch a database, run the other module's drop script, then this one.\n");
    std::printf("-- A NULL argument gives NULL unless the function's comment says otherwise.\n");
    std::string group;
    for (const auto& e : exports) {
        if (e.group != group) {
            group = e.group;
            std::printf("\n-- ---- %s functions ----\n", group.c_str());
        }
        std::printf("\n-- %.*s; %.*s\n", int(e.summary.size()), e.summary.data(),
                    int(udr_null_rule(e).size()), udr_null_rule(e).data());
        std::printf("CREATE FUNCTION %.*s (", int(e.name.size()), e.name.data());
        const int n = arg_count(e);
        for (int i = 0; i < n; ++i)
            std::printf("%s\n    arg%d %s", i ? "," : "", i + 1, udr_type(e.args[i], e.widths[i], e.charset).c_str());
        std::printf("%s)\n", n ? "\n" : "");
        std::printf("    RETURNS %s\n", udr_type(e.result, e.result_width, e.charset).c_str());
        std::printf("    EXTERNAL NAME 'ardudf_udr!%.*s' ENGINE UDR;\n", int(e.name.size()), e.name.data());
    }
    const Export& type = *find("ib_scbreadtype");
    std::printf("\n-- ---- the walk in one call ----\n\n");
    std::printf("-- The rows the last payment or credit note changed, as the loop of ib_scbisaffectedrows,\n");
    std::printf("-- ib_scbreadtype, ib_scbreadamount and ib_scbreadvat reads them (with the same resets);\n");
    std::printf("-- no rows for NULL or a handle of another attachment.\n");
    std::printf("CREATE PROCEDURE ib_scbwalk (handle INTEGER)\n");
    std::printf("    RETURNS (row_type %s, amount DOUBLE PRECISION, vat DOUBLE PRECISION)\n",
                udr_type(Kind::text, type.result_width, type.charset).c_str());
    std::printf("    EXTERNAL NAME 'ardudf_udr!ib_scbwalk' ENGINE UDR;\n");
    std::printf("\nCOMMIT;\n");
}

void print_udr_drop() {
    std::printf("-- ardudf: removes the %zu functions and the procedure of the UDR module.\n", exports.size());
    std::printf("-- Generated from the catalogue; do not edit.\n");
    std::printf("DROP PROCEDURE ib_scbwalk;\n");
    for (const auto& e : exports) std::printf("DROP FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
    std::printf("COMMIT;\n");
}

void print_def() {
    std::printf("LIBRARY ardudf.dll\nEXPORTS\n");
    for (const auto& e : exports) std::printf("    %.*s\n", int(e.name.size()), e.name.data());
}

void print_sql() {
    std::printf("-- ardudf: declares all %zu functions of the module 'ardudf'.\n", exports.size());
    std::printf("-- Generated from src/catalogue/catalogue.h by ardudf_catalogue; do not edit.\n");
    std::printf("-- The server needs UdfAccess = Restrict <folder of ardudf.so> in firebird.conf.\n");
    std::printf("-- Texts are CHARACTER SET NONE (bytes) unless a function reads them in a code page.\n");
    std::printf("-- A NULL argument arrives as the empty text or 0 (no NULL keyword is declared).\n");
    // Catalogue order; the groups interleave in it, so each entry names its own.
    for (const auto& e : exports) {
        std::string proto = c_result(e.result) + " " + std::string(e.name) + "(";
        const int n = arg_count(e);
        for (int i = 0; i < n; ++i) proto += (i ? ", " : "") + c_type(e.args[i]);
        proto += n == 0 ? "void)" : ")";
        std::printf("\n-- %s\n-- %.*s: %.*s\n", proto.c_str(), int(e.group.size()), e.group.data(),
                    int(e.summary.size()), e.summary.data());
        std::printf("DECLARE EXTERNAL FUNCTION %.*s\n", int(e.name.size()), e.name.data());
        for (int i = 0; i < n; ++i)
            std::printf("    %s%s\n", sql_arg(e, i).c_str(), i + 1 < n ? "," : "");
        std::printf("    RETURNS %s\n", sql_result(e).c_str());
        std::printf("    ENTRY_POINT '%.*s' MODULE_NAME 'ardudf';\n", int(e.name.size()), e.name.data());
    }
    std::printf("\nCOMMIT;\n");
}

void print_drop() {
    std::printf("-- ardudf: removes all %zu functions. Generated from the catalogue; do not edit.\n",
                exports.size());
    for (const auto& e : exports)
        std::printf("DROP EXTERNAL FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
    std::printf("COMMIT;\n");
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc > 1 ? argv[1] : "";
    if (what == "def") print_def();
    else if (what == "sql") print_sql();
    else if (what == "drop") print_drop();
    else if (what == "udr") print_udr();
    else if (what == "udr_drop") print_udr_drop();
    else if (what == "names") {
        for (const auto& e : exports) std::printf("%.*s\n", int(e.name.size()), e.name.data());
    } else {
        std::fprintf(stderr, "usage: ardudf_catalogue def|sql|drop|udr|udr_drop|names\n");
        return 2;
    }
    return 0;
}
