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

// Where a body's first statement goes: after its BEGIN line, the body's first line or a line
// of its own after the declarations; npos when it has none (complete() refuses such a body).
std::size_t after_begin(const std::string& body) {
    if (body.rfind("BEGIN\n", 0) == 0) return 6;
    const std::size_t at = body.find("\nBEGIN\n");
    return at == std::string::npos ? at : at + 7;
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
        if (s.mark == Mark::routine && after_begin(s.text) == std::string::npos) {
            std::fprintf(stderr, "ardudf_catalogue psql: the body of %s has no line BEGIN of its own\n",
                         s.name.c_str());
            ok = false;
        }
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
    const std::size_t at = after_begin(body);
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

// The first line of every routine's body: how this script and the move tell ardudf's own
// PSQL routines from anyone else's. A body changes only when the routine is redeclared,
// where its description is the DBA's to rewrite (COMMENT ON) and a restore keeps whatever
// it says; so the body, not the comment, says who wrote the routine.
constexpr std::string_view mark = "-- ardudf: declared by sql/ardudf_psql.sql, which replaces it in each release";

constexpr std::string_view moved_mark = psql_moved_mark;

// What a context is refused in a read-only database (ib_scbcreate writes its row).
constexpr std::string_view read_only_exception = "ardudf_psql_read_only";
constexpr std::string_view read_only_message =
    "this database is read-only: the PSQL settlement functions keep their contexts in its tables";

// A helper's text with the mark after its AS; a routine's body with the mark first.
std::string marked(const std::string& text, bool whole) {
    if (!whole) return std::string(mark) + "\n" + text;
    const std::size_t as = text.find("\nAS\n");
    return as == std::string::npos ? text : text.substr(0, as + 4) + std::string(mark) + "\n" + text.substr(as + 4);
}

// text in lower case, its comments dropped and each run of blanks and line ends one blank:
// what the scans below read (a routine named in a comment is not called).
std::string folded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (text.compare(i, 2, "--") == 0 || text.compare(i, 2, "/*") == 0) {
            const bool line = text[i] == '-';
            i = text.find(line ? "\n" : "*/", i);
            if (i == std::string_view::npos) break;
            i += line ? 0 : 1;
            c = ' ';
        }
        const bool blank = c == ' ' || c == '\n' || c == '\t' || c == '\r';
        if (blank && (out.empty() || out.back() == ' ')) continue;
        out += blank ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// Whether the folded text names name (lower case) as a whole word, after `before` when given.
bool names(const std::string& text, std::string_view name, std::string_view before = "") {
    const std::string word = std::string(before) + std::string(name);
    auto ident = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$'; };
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        const bool start = at == 0 || !ident(text[at - 1]);
        const bool end = at + word.size() == text.size() || !ident(text[at + word.size()]);
        if (start && end) return true;
    }
    return false;
}

// A routine the script creates: FUNCTION or PROCEDURE, its name and everything it runs.
struct Routine {
    std::string kind, name, text;
};

// The GRANTs that let routine r do what its text does whoever calls it: the engine checks
// a routine's every access against the routine's own privileges or its caller's, so a
// user granted EXECUTE on ib_lpad alone may run it only when ib_lpad holds EXECUTE on
// the helpers it calls, and the settlement functions their rights on the tables.
std::vector<std::string> grants_of(const Routine& r, const std::vector<Routine>& all,
                                   const std::vector<std::string>& tables, const std::vector<std::string>& sequences,
                                   bool raises) {
    const std::string text = folded(r.text);
    const std::string to = " TO " + r.kind + " " + r.name;
    std::vector<std::string> out;
    for (const Routine& o : all)
        if (o.name != r.name && names(text, folded(o.name)))
            out.push_back("GRANT EXECUTE ON " + o.kind + " " + o.name + to);
    for (const std::string& t : tables) {
        const std::string name = folded(t);
        if (!names(text, name)) continue;
        std::string rights = "SELECT";
        if (names(text, name, "insert into ") || names(text, name, "merge into ")) rights += ", INSERT";
        if (names(text, name, "update ") || names(text, name, "merge into ")) rights += ", UPDATE";
        if (names(text, name, "delete from ")) rights += ", DELETE";
        out.push_back("GRANT " + rights + " ON TABLE " + t + to);
    }
    for (const std::string& s : sequences)
        if (names(text, folded(s))) out.push_back("GRANT USAGE ON SEQUENCE " + s + to);
    if (raises) out.push_back("GRANT USAGE ON EXCEPTION " + std::string(read_only_exception) + to);
    return out;
}

// The built-in functions the bodies call, as an SQL list. A function of the database under
// one of these names stands in for the built-in inside every PSQL routine (Firebird 3 to 5
// let it), so the bodies would call it instead: the scripts refuse such a database.
std::string called_builtins(const std::vector<Section>& sections) {
    std::vector<std::string> found;
    for (const Section& s : sections) {
        const std::string text = folded(s.text);
        for (std::size_t i = 0; i < text.size();) {
            if (!std::isalpha(static_cast<unsigned char>(text[i]))) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < text.size() &&
                   (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_' || text[end] == '$'))
                ++end;
            const bool word_start = i == 0 || !(std::isalnum(static_cast<unsigned char>(text[i - 1])) ||
                                                text[i - 1] == '_' || text[i - 1] == '$');
            const std::size_t after = text.compare(end, 1, " ") == 0 ? end + 1 : end;
            const std::string name = upper(text.substr(i, end - i));
            if (word_start && text.compare(after, 1, "(") == 0 && is_builtin(name) &&
                std::find(found.begin(), found.end(), name) == found.end())
                found.push_back(name);
            i = end;
        }
    }
    std::sort(found.begin(), found.end());
    std::string out;
    for (std::size_t k = 0; k < found.size(); ++k)
        out += (k == 0 ? "'" : k % 8 == 0 ? ",\n        '" : ", '") + found[k] + "'";
    return out;
}

// Whether a body takes a new value of one of the sequences: the routine that creates a
// context, which a read-only database refuses.
bool creates_context(const std::string& text, const std::vector<std::string>& sequences) {
    const std::string t = folded(text);
    for (const std::string& s : sequences)
        if (names(t, folded(s), "gen_id(") || names(t, folded(s), "next value for ")) return true;
    return false;
}

// The body with a handler that turns the engine's "attempted update on read-only database"
// into ardudf's own sentence, before its last END.
std::string refusing_read_only(const std::string& body) {
    const std::size_t end = body.rfind("END");
    return body.substr(0, end) + "  WHEN GDSCODE read_only_database DO\n    EXCEPTION " +
           std::string(read_only_exception) + ";\n" + body.substr(end);
}

std::vector<std::string> helper_names(const std::vector<Section>& sections) {
    std::vector<std::string> out;
    for (const Section& s : sections)
        if (s.mark == Mark::helper) out.push_back(s.name);
    return out;
}

} // namespace

// The names of the routines the script creates, upper case as the system tables hold
// them, as an SQL list: functions, or procedures.
std::string created(const std::vector<Section>& sections, bool functions) {
    std::string out;
    std::size_t line = 0; // where the last line of out begins
    auto add = [&](std::string_view name) {
        if (out.size() - line > 80) {
            out += ",\n          ";
            line = out.size() - 10;
        } else if (!out.empty())
            out += ", ";
        out += "'" + upper(name) + "'";
    };
    if (functions)
        for (const auto& e : exports) add(e.name);
    else
        for (const auto& p : procedures) add(p.name);
    for (const Section& s : sections)
        if (s.mark == Mark::helper && (s.text.find("CREATE OR ALTER FUNCTION ") != std::string::npos) == functions)
            add(s.name);
    return out;
}

// What the PSQL script and the move to PSQL both create first: the tables and the
// sequence when missing, the read-only refusal, the helpers (each added to routines).
std::string common_parts(const std::vector<Section>& sections, std::vector<Routine>& routines) {
    std::string out;
    for (const Section& s : sections)
        if (s.mark == Mark::setup) out += "\n" + s.text + "\n";
    out += "\nCREATE OR ALTER EXCEPTION " + std::string(read_only_exception) + "\n  '" +
           std::string(read_only_message) + "'^\n";
    out += "\n-- ---- helpers of the routines below ----\n";
    for (const Section& s : sections) {
        if (s.mark != Mark::helper) continue;
        const std::string kind =
            s.text.find("CREATE OR ALTER FUNCTION ") != std::string::npos ? "FUNCTION" : "PROCEDURE";
        routines.push_back({kind, s.name, marked(s.text, true)});
        out +=
            "\n" + routines.back().text + "^\n" + comment_ddl(kind, s.name, "a helper of the PSQL functions") + "^\n";
    }
    return out;
}

int print_psql() {
    std::vector<Section> sections;
    if (!read_sections(sections) || !complete(sections)) return 1;
    const std::vector<std::string> tables = setup_objects(sections, table_kind);
    const std::vector<std::string> sequences = setup_objects(sections, sequence_kind);
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
    std::printf("-- made when missing. A UDR module's declarations of the same names are replaced;\n");
    std::printf("-- anyone else's are not, unless named first (below). Each routine gets the rights\n");
    std::printf("-- it needs, so that EXECUTE on a function is all a user needs to call it.\n");
    std::printf("-- A NULL argument gives NULL unless the function's comment says otherwise.\n");
    std::fputs(guard("guard_udr.sql", "ardudf_psql.sql").c_str(), stdout);
    std::fputs(fill("guard_psql.sql", {{"column", "ardudf_psql"},
                                       {"script", "ardudf_psql.sql"},
                                       {"functions", created(sections, true)},
                                       {"procedures", created(sections, false)},
                                       {"mark", std::string(mark)},
                                       {"builtins", called_builtins(sections)}})
                   .c_str(),
               stdout);
    std::printf("SET TERM ^ ;\n");
    std::vector<Routine> routines;
    std::fputs(common_parts(sections, routines).c_str(), stdout);
    std::vector<std::string> raising;
    for (std::string_view group : groups()) {
        std::printf("\n-- ---- %.*s functions ----\n", int(group.size()), group.data());
        for (const auto& e : exports) {
            if (e.group != group) continue;
            std::printf("\n%sAS\n", function_head(e).c_str());
            std::string body = with_null_rule(e, body_of(sections, e.name)->text);
            if (creates_context(body, sequences)) {
                body = refusing_read_only(body);
                raising.emplace_back(e.name);
            }
            routines.push_back({"FUNCTION", std::string(e.name), marked(body, false)});
            std::printf("%s^\n", routines.back().text.c_str());
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
        routines.push_back({"PROCEDURE", std::string(p.name), marked(body_of(sections, p.name)->text, false)});
        std::printf("%s^\n", routines.back().text.c_str());
        std::printf("%s^\n", comment_ddl("PROCEDURE", p.name, p.summary).c_str());
    }
    std::printf("\n-- ---- what each routine may use, whoever calls it ----\n\n");
    for (const Routine& r : routines) {
        const bool raises = std::find(raising.begin(), raising.end(), r.name) != raising.end();
        for (const std::string& g : grants_of(r, routines, tables, sequences, raises)) std::printf("%s^\n", g.c_str());
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
        "(" + depends_on(Depended::function, list(functions.begin(), functions.end())) + "\n         OR " +
        depends_on(Depended::procedure, list(procs.begin(), procs.end())) + "\n         OR " +
        depends_on(Depended::table, list(tables.begin(), tables.end())) +
        ")\n        AND NOT (d.RDB$DEPENDENT_TYPE IN (5, 15) AND TRIM(d.RDB$DEPENDENT_NAME) IN (" +
        list(ours.begin(), ours.end()) + "))";
    std::fputs(drop_head(script, dropped).c_str(), stdout);
    for (const auto& p : procedures) std::printf("DROP PROCEDURE %.*s;\n", int(p.name.size()), p.name.data());
    for (const auto& e : exports) std::printf("DROP FUNCTION %.*s;\n", int(e.name.size()), e.name.data());
    // Helpers last to first: a later one may call an earlier one.
    for (auto it = helpers.rbegin(); it != helpers.rend(); ++it) {
        const bool function = std::find(functions.begin(), functions.end(), *it) != functions.end();
        std::printf("DROP %s %s;\n", function ? "FUNCTION" : "PROCEDURE", it->c_str());
    }
    std::printf("DROP EXCEPTION %s;\n", std::string(read_only_exception).c_str());
    for (auto it = tables.rbegin(); it != tables.rend(); ++it) std::printf("DROP TABLE %s;\n", it->c_str());
    for (const std::string& s : sequences) std::printf("DROP SEQUENCE %s;\n", s.c_str());
    std::printf("COMMIT;\n");
    return 0;
}

namespace {

// A value of the package ARDUDF_LEGACY: a text as wide as the legacy module takes it, up to
// the 32765 bytes a VARCHAR holds.
std::string legacy_type(const Value& v, std::string_view charset) {
    if (v.kind != Kind::text) return udr_type(v, charset);
    return "VARCHAR(" + std::to_string(std::min(v.width.legacy, 32765)) + ") CHARACTER SET " + std::string(charset);
}

// The package's declaration of a function, its arguments one a line.
std::string legacy_header(const Export& e) {
    std::string args;
    for (int i = 0; i < arg_count(e); ++i)
        args += std::string(i ? ",\n" : "\n") + "      " + std::string(e.args[i].name) + " " +
                legacy_type(e.args[i], e.charset);
    return "FUNCTION " + std::string(e.name) + " (" + args + ")\n    RETURNS " + legacy_type(e.result, e.charset);
}

// The body of a function read the legacy way: each NULL argument the empty text or 0 first.
std::string legacy_body(const Export& e, const std::string& body) {
    std::string reads;
    for (int i = 0; i < arg_count(e); ++i) {
        const std::string name(e.args[i].name);
        // Not COALESCE: its type would take the literal's character set, and its width.
        reads += "  IF (" + name + " IS NULL) THEN " + name + " = " +
                 (e.args[i].kind == Kind::text    ? "''"
                  : e.args[i].kind == Kind::int32 ? "0"
                                                  : "0e0") +
                 ";\n";
    }
    const std::size_t at = after_begin(body);
    return body.substr(0, at) + reads + body.substr(at);
}

} // namespace

int print_legacy_to_psql() {
    std::vector<Section> sections;
    if (!read_sections(sections) || !complete(sections)) return 1;
    const std::vector<std::string> tables = setup_objects(sections, table_kind);
    const std::vector<std::string> sequences = setup_objects(sections, sequence_kind);
    std::vector<Routine> routines;
    std::string parts = common_parts(sections, routines);
    // The package: each function of the catalogue with the legacy module's reading of NULL
    // and its widths. Its functions are called only by the moved declarations.
    std::string head = "\nCREATE OR ALTER PACKAGE ardudf_legacy AS\nBEGIN\n", body, all;
    bool raises = false;
    for (const auto& e : exports) {
        head += "  " + legacy_header(e) + ";\n";
        std::string b = legacy_body(e, body_of(sections, e.name)->text);
        if (creates_context(b, sequences)) {
            b = refusing_read_only(b);
            raises = true;
        }
        body += "\n  " + legacy_header(e) + "\n  AS\n" + b + "\n";
        all += b;
    }
    parts +=
        head + "END^\n\nRECREATE PACKAGE BODY ardudf_legacy AS\n" + std::string(mark) + "\nBEGIN" + body + "END^\n";
    parts +=
        comment_ddl("PACKAGE", "ardudf_legacy", "the functions a database moved from the legacy module calls") + "^\n";
    const Routine package{"PACKAGE", "ardudf_legacy", all};
    parts += "\n-- ---- what each routine may use, whoever calls it ----\n\n";
    for (const Routine& r : routines)
        for (const std::string& g : grants_of(r, routines, tables, sequences, false)) parts += g + "^\n";
    for (const std::string& g : grants_of(package, routines, tables, sequences, raises)) parts += g + "^\n";

    // ib_scbwalk as sql/ardudf_psql.sql declares it, with its rights, where it is missing.
    std::string walk;
    for (const auto& p : procedures) {
        std::string args, results;
        for (const Value& v : p.args)
            args += (args.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
        for (const Value& v : p.results)
            results += (results.empty() ? "" : ", ") + std::string(v.name) + " " + udr_type(v, "NONE");
        const Routine r{"PROCEDURE", std::string(p.name), marked(body_of(sections, p.name)->text, false)};
        const std::string ddl =
            "CREATE PROCEDURE " + r.name + " (" + args + ")\n    RETURNS (" + results + ")\nAS\n" + r.text;
        walk += "  IF (n_moved > 0 AND NOT EXISTS (SELECT 1 FROM RDB$PROCEDURES\n      WHERE RDB$PROCEDURE_NAME = '" +
                upper(p.name) + "' AND RDB$PACKAGE_NAME IS NULL)) THEN BEGIN\n";
        walk += "    EXECUTE STATEMENT '" + escaped(ddl) + "';\n";
        for (const std::string& g : grants_of(r, routines, tables, sequences, false))
            walk += "    EXECUTE STATEMENT '" + escaped(g) + "';\n";
        walk += "    EXECUTE STATEMENT '" + escaped(comment_ddl("PROCEDURE", p.name, p.summary)) + "';\n";
        walk += "    walk = '; " + r.name + " declared';\n  END\n";
    }
    Fields fields = move_fields("ardudf_legacy_to_psql");
    fields["attachment_prefix"] = "nothing changed: ";
    fields["script"] = "ardudf_legacy_to_psql.sql";
    fields["moved_mark"] = std::string(moved_mark);
    fields["moved"] = "RDB$FUNCTION_SOURCE CONTAINING '" + std::string(moved_mark) + "'";
    fields["psql_parts"] = parts;
    fields["walk_block"] = walk;
    fields["builtins"] = called_builtins(sections);
    std::fputs(fill("legacy_to_psql.sql", fields).c_str(), stdout);
    return 0;
}

} // namespace ardudf::catalogue::gen
