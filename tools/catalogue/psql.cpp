// The PSQL face: every function of the catalogue as a PSQL stored function (and each
// procedure as a selectable procedure), for servers that load no module.
//   ardudf_catalogue psql       sql/ardudf_psql.sql
//   ardudf_catalogue psql_drop  sql/ardudf_psql_drop.sql
// The headers, argument lists, NULL rules and comments come from the catalogue, as in the
// UDR script; the bodies from src/psql/GROUP.sql, one file per group of the catalogue,
// marked up as value.sql's head says.
#include "ardudf_version.h"
#include "generate.h"
#include "template.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifndef ARDUDF_PSQL_DIR
#error "ARDUDF_PSQL_DIR names the folder of the PSQL bodies"
#endif

namespace ardudf::catalogue::gen {
namespace {

enum class Mark { setup, helper, routine };

struct Section {
    Mark mark = Mark::routine;
    std::string name; // routine: the catalogue's name; helper: the routine it creates
    std::string text; // its lines, as written, without the mark
};

// The word after `after` in text, or empty.
std::string word_after(std::string_view text, std::string_view after) {
    const std::size_t at = text.find(after);
    if (at == std::string_view::npos) return {};
    std::size_t end = at + after.size();
    while (end < text.size() && (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_')) ++end;
    return std::string(text.substr(at + after.size(), end - at - after.size()));
}

// Every trailing blank line dropped.
std::string trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

// What a body may name in {{...}}, as the templates do: the release, the widest VARCHAR and
// the width of a balance row's type; a function's body also its result's width and each
// text argument's ({{result_width}}, {{text_width}}), all from the catalogue.
Fields fields_of(const Export* e) {
    const Export& row = exports[index_of("ib_scbaddrow")];
    Fields f{{"version", ARDUDF_VERSION},
             {"max_varchar", std::to_string(max_varchar)},
             {"row_type_width", std::to_string(row.args[1].width.udr)}};
    if (e == nullptr) return f;
    if (e->result.kind == Kind::text) f["result_width"] = std::to_string(e->result.width.udr);
    for (int i = 0; i < arg_count(*e); ++i)
        if (e->args[i].kind == Kind::text)
            f[std::string(e->args[i].name) + "_width"] = std::to_string(e->args[i].width.udr);
    return f;
}

// The sections of every group's file, in group order; false when a file cannot be read.
bool read_sections(std::vector<Section>& sections) {
    for (std::string_view group : groups()) {
        const std::string path = std::string(ARDUDF_PSQL_DIR) + "/" + std::string(group) + ".sql";
        std::ifstream in(path);
        if (!in) {
            std::fprintf(stderr, "ardudf_catalogue psql: cannot read %s\n", path.c_str());
            return false;
        }
        std::string line;
        Section* open = nullptr;
        while (std::getline(in, line)) {
            if (line.rfind("-- @", 0) == 0) {
                Section s;
                const std::string_view mark = std::string_view(line).substr(4);
                if (mark == "setup")
                    s.mark = Mark::setup;
                else if (mark == "helper")
                    s.mark = Mark::helper;
                else if (mark.rfind(' ', 0) == 0)
                    s.name = std::string(mark.substr(1));
                else {
                    std::fprintf(stderr, "ardudf_catalogue psql: %s: unknown mark %s\n", path.c_str(), line.c_str());
                    return false;
                }
                sections.push_back(s);
                open = &sections.back();
                continue;
            }
            if (open != nullptr) open->text += line + "\n";
        }
        for (Section& s : sections) {
            const auto e =
                std::find_if(exports.begin(), exports.end(), [&](const Export& x) { return x.name == s.name; });
            s.text = fill_text(trimmed(s.text), path, fields_of(e == exports.end() ? nullptr : &*e));
            if (s.mark == Mark::helper && s.name.empty()) {
                s.name = word_after(s.text, "CREATE OR ALTER FUNCTION ");
                if (s.name.empty()) s.name = word_after(s.text, "CREATE OR ALTER PROCEDURE ");
            }
        }
    }
    return true;
}

const Section* body_of(const std::vector<Section>& sections, std::string_view name) {
    for (const Section& s : sections)
        if (s.mark == Mark::routine && s.name == name) return &s;
    return nullptr;
}

// Every routine of the catalogue has its body, and every body its routine.
bool complete(const std::vector<Section>& sections) {
    bool ok = true;
    for (const auto& e : exports)
        if (body_of(sections, e.name) == nullptr) {
            std::fprintf(stderr, "ardudf_catalogue psql: no body for %.*s in src/psql/%.*s.sql\n", int(e.name.size()),
                         e.name.data(), int(e.group.size()), e.group.data());
            ok = false;
        }
    for (const auto& p : procedures)
        if (body_of(sections, p.name) == nullptr) {
            std::fprintf(stderr, "ardudf_catalogue psql: no body for %.*s\n", int(p.name.size()), p.name.data());
            ok = false;
        }
    for (const Section& s : sections) {
        const bool known =
            std::any_of(exports.begin(), exports.end(), [&](const Export& e) { return e.name == s.name; }) ||
            std::any_of(procedures.begin(), procedures.end(), [&](const Procedure& p) { return p.name == s.name; });
        if (s.mark == Mark::routine && !known) {
            std::fprintf(stderr, "ardudf_catalogue psql: a body for %s, which the catalogue does not have\n",
                         s.name.c_str());
            ok = false;
        }
        if (s.mark == Mark::helper && s.name.rfind("ardudf_psql_", 0) != 0) {
            std::fprintf(stderr, "ardudf_catalogue psql: a helper must be named ardudf_psql_...: %s\n", s.name.c_str());
            ok = false;
        }
    }
    return ok;
}

// The catalogue's NULL rule, put first in the body: a NULL argument gives NULL and the
// rest of the body does not run, unless the function reads NULL itself.
std::string with_null_rule(const Export& e, const std::string& body) {
    const int n = arg_count(e);
    if (!e.udr_nulls.empty() || n == 0) return body;
    std::string test;
    for (int i = 0; i < n; ++i) test += (i ? " OR " : "") + std::string(e.args[i].name) + " IS NULL";
    const std::size_t begin = body.find("\nBEGIN\n");
    const std::size_t at = body.rfind("BEGIN\n", 0) == 0 ? 6 : begin + 7;
    return body.substr(0, at) + "  IF (" + test + ") THEN RETURN NULL;\n" + body.substr(at);
}

// The tables and sequences the setup sections create, in the order they name them.
std::vector<std::string> setup_objects(const std::vector<Section>& sections, std::string_view kind) {
    std::vector<std::string> out;
    for (const Section& s : sections) {
        if (s.mark != Mark::setup) continue;
        for (std::size_t at = s.text.find(kind); at != std::string::npos; at = s.text.find(kind, at + 1)) {
            const std::string name = word_after(std::string_view(s.text).substr(at), kind);
            if (std::find(out.begin(), out.end(), name) == out.end()) out.push_back(name);
        }
    }
    return out;
}

constexpr std::string_view table_kind = "CREATE GLOBAL TEMPORARY TABLE ";
constexpr std::string_view sequence_kind = "CREATE SEQUENCE ";

std::vector<std::string> helper_names(const std::vector<Section>& sections) {
    std::vector<std::string> out;
    for (const Section& s : sections)
        if (s.mark == Mark::helper) out.push_back(s.name);
    return out;
}

} // namespace

int print_psql() {
    std::vector<Section> sections;
    if (!read_sections(sections) || !complete(sections)) return 1;
    std::printf("-- ardudf %s: declares all %zu functions of ardudf, and its procedures, as PSQL\n", ARDUDF_VERSION,
                exports.size());
    std::printf("-- stored routines: no module to install and nothing in firebird.conf, for a server\n");
    std::printf("-- that loads no UDF or UDR module, or runs where no module of ours is built. Same names,\n");
    std::printf("-- arguments and results as sql/ardudf_udr.sql, and the same NULL rule.\n");
    std::printf("-- Generated from src/catalogue/catalogue.h and the bodies in src/psql/ by\n");
    std::printf("-- ardudf_catalogue; do not edit. Balance contexts live in global temporary tables,\n");
    std::printf("-- so each belongs to the attachment that created it and ends with it.\n");
    std::printf("-- CREATE OR ALTER: running it again, or over a database declared by an earlier\n");
    std::printf("-- release, brings every routine and its comment up to this release; the tables are\n");
    std::printf("-- made when missing. A UDR module's declarations of the same names are replaced.\n");
    std::printf("-- A NULL argument gives NULL unless the function's comment says otherwise.\n");
    std::fputs(guard("guard_udr.sql", "ardudf_psql.sql").c_str(), stdout);
    std::printf("SET TERM ^ ;\n");
    for (const Section& s : sections)
        if (s.mark == Mark::setup) std::printf("\n%s\n", s.text.c_str());
    std::printf("\n-- ---- helpers of the routines below ----\n");
    for (const Section& s : sections) {
        if (s.mark != Mark::helper) continue;
        std::printf("\n%s^\n", s.text.c_str());
        const bool function = s.text.find("CREATE OR ALTER FUNCTION ") != std::string::npos;
        std::printf("%s^\n",
                    comment_ddl(function ? "FUNCTION" : "PROCEDURE", s.name, "a helper of the PSQL functions").c_str());
    }
    for (std::string_view group : groups()) {
        std::printf("\n-- ---- %.*s functions ----\n", int(group.size()), group.data());
        for (const auto& e : exports) {
            if (e.group != group) continue;
            std::printf("\n-- %.*s; %s\n", int(e.summary.size()), e.summary.data(), udr_null_rule(e).c_str());
            const std::string params = udr_params(e.args, e.charset);
            std::printf("CREATE OR ALTER FUNCTION %.*s (%s%s)\n", int(e.name.size()), e.name.data(), params.c_str(),
                        params.empty() ? "" : "\n");
            std::printf("    RETURNS %s\nAS\n", udr_type(e.result, e.charset).c_str());
            std::printf("%s^\n", with_null_rule(e, body_of(sections, e.name)->text).c_str());
            std::printf("%s^\n", comment_ddl("FUNCTION", e.name, e.summary).c_str());
        }
    }
    for (const auto& p : procedures) {
        std::printf("\n-- ---- the walk in one call ----\n\n");
        std::printf("-- The rows the last payment or credit note changed, as the loop of\n-- %.*s\n",
                    int(p.loop.size()), p.loop.data());
        std::printf("-- reads them (with the same resets); no rows for NULL or a handle of another attachment.\n");
        std::string args, results;
        for (const Value& v : p.args)
            args += (args.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
        for (const Value& v : p.results)
            results += (results.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
        std::printf("CREATE OR ALTER PROCEDURE %.*s (%s)\n    RETURNS (%s)\nAS\n", int(p.name.size()), p.name.data(),
                    args.c_str(), results.c_str());
        std::printf("%s^\n", body_of(sections, p.name)->text.c_str());
        std::printf("%s^\n", comment_ddl("PROCEDURE", p.name, p.summary).c_str());
    }
    std::printf("\nSET TERM ; ^\nCOMMIT;\n");
    return 0;
}

int print_psql_drop() {
    std::vector<Section> sections;
    if (!read_sections(sections) || !complete(sections)) return 1;
    const std::vector<std::string> helpers = helper_names(sections);
    const std::vector<std::string> tables = setup_objects(sections, table_kind);
    const std::vector<std::string> sequences = setup_objects(sections, sequence_kind);
    auto list = [](auto begin, auto end) {
        std::string out;
        for (auto it = begin; it != end; ++it) out += (out.empty() ? "'" : ", '") + upper(*it) + "'";
        return out;
    };
    std::vector<std::string> functions, procs, ours;
    for (const auto& e : exports) functions.emplace_back(e.name);
    for (const auto& p : procedures) procs.emplace_back(p.name);
    for (const Section& s : sections)
        if (s.mark == Mark::helper)
            (s.text.find("CREATE OR ALTER FUNCTION ") != std::string::npos ? functions : procs).push_back(s.name);
    ours = functions;
    ours.insert(ours.end(), procs.begin(), procs.end());
    const std::string script = "ardudf_psql_drop.sql";
    std::printf("-- ardudf %s: removes the %zu PSQL functions and the procedures of sql/ardudf_psql.sql,\n",
                ARDUDF_VERSION, exports.size());
    std::printf("-- their helpers, and the tables that hold the balance contexts.\n");
    std::printf("-- Generated from the catalogue; do not edit.\n");
    std::printf("-- (The routines call one another's helpers and tables; those calls are not counted.)\n");
    std::printf("-- Another attachment still holding balance contexts keeps its tables in use: then the\n");
    std::printf("-- COMMIT fails, and nothing is dropped either.\n");
    const std::string dropped =
        "((d.RDB$DEPENDED_ON_TYPE = 15 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN (" +
        list(functions.begin(), functions.end()) +
        "))\n         OR (d.RDB$DEPENDED_ON_TYPE = 5 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN (" +
        list(procs.begin(), procs.end()) +
        "))\n         OR (d.RDB$DEPENDED_ON_TYPE = 0 AND TRIM(d.RDB$DEPENDED_ON_NAME) IN (" +
        list(tables.begin(), tables.end()) +
        ")))\n        AND NOT (d.RDB$DEPENDENT_TYPE IN (5, 15) AND TRIM(d.RDB$DEPENDENT_NAME) IN (" +
        list(ours.begin(), ours.end()) + "))";
    std::fputs(drop_head(script, dropped).c_str(), stdout);
    for (const auto& p : procedures) std::printf("DROP PROCEDURE %.*s;\n", int(p.name.size()), p.name.data());
    for (const auto& e : exports) std::printf("DROP FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
    // Helpers last to first: a later one may call an earlier one.
    for (auto it = helpers.rbegin(); it != helpers.rend(); ++it) {
        const bool function = std::find(functions.begin(), functions.end(), *it) != functions.end();
        std::printf("DROP %s %s;\n", function ? "FUNCTION" : "PROCEDURE", it->c_str());
    }
    for (auto it = tables.rbegin(); it != tables.rend(); ++it) std::printf("DROP TABLE %s;\n", it->c_str());
    for (const std::string& s : sequences) std::printf("DROP SEQUENCE %s;\n", s.c_str());
    std::printf("COMMIT;\n");
    return 0;
}

} // namespace ardudf::catalogue::gen
