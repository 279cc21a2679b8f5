// Prints what is generated from the catalogue (src/catalogue/catalogue.h):
//   ardudf_catalogue def       the Windows module-definition file (undecorated names)
//   ardudf_catalogue map       the export map of the legacy module
//   ardudf_catalogue sql       DECLARE EXTERNAL FUNCTION for every export
//   ardudf_catalogue drop      DROP EXTERNAL FUNCTION for every export
//   ardudf_catalogue udr       CREATE FUNCTION ... ENGINE UDR for every export, and the procedures
//   ardudf_catalogue udr_drop  DROP FUNCTION / PROCEDURE for all of them
//   ardudf_catalogue list      ARDUDF_FUNCTION(name, group), one a line, for CMake and C++
//   ardudf_catalogue nulls     the SQL test of a NULL in each argument position
//   ardudf_catalogue bench     the calls of bench/sql/calls.sh, read when it runs
//   ardudf_catalogue names     one export name a line (procedures: one procedure name a line)
//   ardudf_catalogue signatures  the heading and the two signature lines of each function in
//                              docs/functions.md, which a test finds there
// scripts/generate.sh writes the committed ones; a test regenerates and compares them.
#include "ardudf_version.h"
#include "catalogue/catalogue.h"

#include <cstdio>
#include <span>
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
    switch (e.args[i].kind) {
    case Kind::text: return sql_text(e.args[i].width.legacy, e.charset);
    case Kind::int32: return "INTEGER";
    case Kind::float64: return "DOUBLE PRECISION";
    case Kind::none: break;
    }
    return "";
}

std::string sql_result(const Export& e) {
    switch (e.result.kind) {
    case Kind::text: return sql_text(e.result.width.legacy, e.charset) + " FREE_IT";
    case Kind::int32: return "INTEGER BY VALUE";
    case Kind::float64: return "DOUBLE PRECISION BY VALUE";
    case Kind::none: break;
    }
    return "";
}

// The UDR declarations: VARCHAR of the catalogue's UDR width in the catalogue's character
// set, so that a field holds that many bytes whatever the database's default set.
std::string udr_type(const Value& v, std::string_view charset) {
    switch (v.kind) {
    case Kind::text:
        return "VARCHAR(" + std::to_string(v.width.udr) + ") CHARACTER SET " + std::string(charset);
    case Kind::int32: return "INTEGER";
    case Kind::float64: return "DOUBLE PRECISION";
    case Kind::none: break;
    }
    return "";
}

// COMMENT ON: the summary and the release that declared it, for SHOW FUNCTION and
// RDB$DESCRIPTION.
void print_comment(std::string_view what, std::string_view name, std::string_view summary) {
    std::string text;
    for (char c : summary) text += c == '\'' ? std::string("''") : std::string(1, c);
    std::printf("COMMENT ON %.*s %.*s IS '%s (ardudf %s)';\n", int(what.size()), what.data(), int(name.size()),
                name.data(), text.c_str(), ARDUDF_VERSION);
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

void print_udr() {
    std::printf("-- ardudf %s: declares all %zu functions of the UDR module 'ardudf_udr', and its\n",
                ARDUDF_VERSION, exports.size());
    std::printf("-- procedures. Generated from src/catalogue/catalogue.h by ardudf_catalogue;\n");
    std::printf("-- do not edit. Needs no UdfAccess: the UDR engine loads libardudf_udr.so from its\n");
    std::printf("-- plugins/udr folder (plugins.conf, UDR_config path). Same SQL names as sql/ardudf.sql:\n");
    std::printf("-- to switch a database, run the other module's drop script, then this one.\n");
    std::printf("-- CREATE OR ALTER: running it again, or over a database declared by an earlier\n");
    std::printf("-- release, brings every declaration and its comment up to this release.\n");
    std::printf("-- A NULL argument gives NULL unless the function's comment says otherwise.\n");
    std::string group;
    for (const auto& e : exports) {
        if (e.group != group) {
            group = e.group;
            std::printf("\n-- ---- %s functions ----\n", group.c_str());
        }
        std::printf("\n-- %.*s; %s\n", int(e.summary.size()), e.summary.data(), udr_null_rule(e).c_str());
        const std::string params = udr_params(e.args, e.charset);
        std::printf("CREATE OR ALTER FUNCTION %.*s (%s%s)\n", int(e.name.size()), e.name.data(), params.c_str(),
                    params.empty() ? "" : "\n");
        std::printf("    RETURNS %s\n", udr_type(e.result, e.charset).c_str());
        std::printf("    EXTERNAL NAME 'ardudf_udr!%.*s' ENGINE UDR;\n", int(e.name.size()), e.name.data());
        print_comment("FUNCTION", e.name, e.summary);
    }
    for (const auto& p : procedures) {
        std::printf("\n-- ---- the walk in one call ----\n\n");
        std::printf("-- The rows the last payment or credit note changed, as the loop of\n-- %.*s\n",
                    int(p.loop.size()), p.loop.data());
        std::printf("-- reads them (with the same resets); no rows for NULL or a handle of another attachment.\n");
        std::string args;
        for (const Value& v : p.args) args += (args.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
        std::string results;
        for (const Value& v : p.results)
            results += (results.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
        std::printf("CREATE OR ALTER PROCEDURE %.*s (%s)\n", int(p.name.size()), p.name.data(), args.c_str());
        std::printf("    RETURNS (%s)\n", results.c_str());
        std::printf("    EXTERNAL NAME 'ardudf_udr!%.*s' ENGINE UDR;\n", int(p.name.size()), p.name.data());
        print_comment("PROCEDURE", p.name, p.summary);
    }
    std::printf("\nCOMMIT;\n");
}

void print_udr_drop() {
    std::printf("-- ardudf %s: removes the %zu functions and the procedures of the UDR module.\n", ARDUDF_VERSION,
                exports.size());
    std::printf("-- Generated from the catalogue; do not edit.\n");
    for (const auto& p : procedures) std::printf("DROP PROCEDURE %.*s;\n", int(p.name.size()), p.name.data());
    for (const auto& e : exports) std::printf("DROP FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
    std::printf("COMMIT;\n");
}

void print_def() {
    std::printf("LIBRARY ardudf.dll\nEXPORTS\n");
    for (const auto& e : exports) std::printf("    %.*s\n", int(e.name.size()), e.name.data());
}

void print_sql() {
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
            std::printf("    %s%s\n", sql_arg(e, i).c_str(), i + 1 < n ? "," : "");
        std::printf("    RETURNS %s\n", sql_result(e).c_str());
        std::printf("    ENTRY_POINT '%.*s' MODULE_NAME 'ardudf';\n", int(e.name.size()), e.name.data());
        print_comment("FUNCTION", e.name, e.summary);
    }
    std::printf("\nCOMMIT;\n");
}

void print_drop() {
    std::printf("-- ardudf %s: removes all %zu functions. Generated from the catalogue; do not edit.\n",
                ARDUDF_VERSION, exports.size());
    for (const auto& e : exports)
        std::printf("DROP EXTERNAL FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
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

// A plain value for each kind: a balance handle of 0, so that nothing is changed.
std::string plain(const Export& e, int i) {
    switch (e.args[i].kind) {
    case Kind::text: return "'A,B'";
    case Kind::int32: return e.group == "balance" && i == 0 ? "0" : "2";
    case Kind::float64: return "45000.5";
    case Kind::none: break;
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
        const std::string_view base = e.name.substr(3);
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
                params[udr] += (i ? ", " : "") + std::string(e.args[i].name) + " " + doc_type(e.args[i], e.charset, udr);
        const std::string name(e.name);
        std::printf("### %s\n", name.c_str());
        std::printf("Legacy: `%s(%s) RETURNS %s`\\\n", name.c_str(), params[0].c_str(),
                    doc_type(e.result, e.charset, false).c_str());
        std::printf("UDR: `%s(%s) RETURNS %s`\n", name.c_str(), params[1].c_str(),
                    doc_type(e.result, e.charset, true).c_str());
    }
    for (const auto& p : procedures) {
        std::string args, results;
        for (const Value& v : p.args) args += (args.empty() ? "" : ", ") + std::string(v.name) + " " + doc_type(v, "NONE", true);
        for (const Value& v : p.results)
            results += (results.empty() ? "" : ", ") + std::string(v.name) + " " + doc_type(v, "NONE", true);
        std::printf("### %.*s (UDR module only)\n", int(p.name.size()), p.name.data());
        std::printf("UDR: `%.*s(%s) RETURNS (%s)`\n", int(p.name.size()), p.name.data(), args.c_str(), results.c_str());
    }
}

void print_bench() {
    for (const auto& e : exports)
        if (!e.bench.empty())
            std::printf("%.*s#%.*s\n", int(e.name.size() - 3), e.name.data() + 3, int(e.bench.size()), e.bench.data());
}

} // namespace

int main(int argc, char** argv) {
    const std::string_view what = argc > 1 ? argv[1] : "";
    if (what == "def") print_def();
    else if (what == "sql") print_sql();
    else if (what == "drop") print_drop();
    else if (what == "udr") print_udr();
    else if (what == "udr_drop") print_udr_drop();
    else if (what == "map") print_map();
    else if (what == "list") print_list();
    else if (what == "nulls") print_nulls();
    else if (what == "bench") print_bench();
    else if (what == "signatures") print_signatures();
    else if (what == "names") {
        for (const auto& e : exports) std::printf("%.*s\n", int(e.name.size()), e.name.data());
    } else if (what == "procedures") {
        for (const auto& p : procedures) std::printf("%.*s\n", int(p.name.size()), p.name.data());
    } else {
        std::fprintf(stderr, "usage: ardudf_catalogue def|map|sql|drop|udr|udr_drop|list|nulls|bench|names|procedures|signatures\n");
        return 2;
    }
    return 0;
}
