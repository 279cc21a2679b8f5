// Plays the engine's part for the UDR module (engine.h) and calls its routines as SQL would.
//
//   udr_host MODULE DECLARE.sql check [--calls F] [--docs F] [--select F.sql F.out] ...
//       every call of the files; a call with an expected result must give it
//   udr_host MODULE DECLARE.sql run  [same files]   prints "CALL → RESULT" for every call
//   udr_host -      DECLARE.sql sql  [same files]   prints an isql script that makes the same
//       calls in the engine and prints each result the way `run` does (tests/udr/engine_agrees.sh)
//
// The routines are declared by the module's declare script. A call file holds lines
//   [@N ][var = ]CALL [→ RESULT]
// CALL is a routine with literal arguments ('text', numbers, NULL), calls or :var; @N makes
// it in attachment N (1 when not given); RESULT is an SQL literal, a list of rows
// "(v, v, v); ..." or "no rows" for a procedure, or "error: LINE / LINE" (the engine's
// message lines). --docs takes the `Example:` lines of docs/functions.md as the server tests
// choose them for the UDR module; --select takes each "ib_...(...) AS alias" column of a
// server test and the value isql printed for it in that test's expected output.
#include "engine.h"

#include <firebird/Message.h>

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

namespace {

using host::Value;

// ---- parsing ---------------------------------------------------------------------------------

struct Expr {
    enum Kind { literal, call, var } kind = literal;
    Value value;      // literal
    std::string name; // call or var
    std::vector<Expr> args;
};

struct Parser {
    const std::string& s;
    std::size_t i = 0;

    void blank() {
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    }
    [[noreturn]] void error(const std::string& what) const {
        throw std::runtime_error(what + " at column " + std::to_string(i + 1) + " of: " + s);
    }
    bool eat(char c) {
        blank();
        if (i < s.size() && s[i] == c) return ++i, true;
        return false;
    }
    std::string word() {
        blank();
        const std::size_t from = i;
        while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '_' || s[i] == '$')) ++i;
        return s.substr(from, i - from);
    }
    Expr expr() {
        blank();
        Expr e;
        if (i >= s.size()) error("an expression expected");
        if (s[i] == '\'') {
            e.value.kind = Value::text;
            for (++i;; ++i) {
                if (i >= s.size()) error("an unterminated text");
                if (s[i] == '\'') {
                    if (i + 1 < s.size() && s[i + 1] == '\'')
                        ++i;
                    else
                        break;
                }
                e.value.s += s[i];
            }
            ++i;
            return e;
        }
        if (s[i] == ':') {
            ++i;
            e.kind = Expr::var;
            e.name = word();
            return e;
        }
        if (s[i] == '-' || s[i] == '.' || std::isdigit(static_cast<unsigned char>(s[i]))) {
            const std::size_t from = i;
            if (s[i] == '-') ++i;
            while (i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
            bool exponent = false;
            if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
                exponent = true;
                ++i;
                if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
                while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
            }
            e.value.s = s.substr(from, i - from);
            if (!exponent && e.value.s.find('.') == std::string::npos) {
                e.value.kind = Value::integer;
                e.value.i = std::stoll(e.value.s);
            } else {
                e.value.kind = Value::real;
                e.value.exact = !exponent;
                e.value.d = std::strtod(e.value.s.c_str(), nullptr);
            }
            return e;
        }
        const std::string w = word();
        if (w.empty()) error("an expression expected");
        std::string upper = w;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper == "NULL") return e;
        e.kind = Expr::call;
        e.name = upper;
        if (!eat('(')) error("'(' expected");
        if (!eat(')')) {
            do e.args.push_back(expr());
            while (eat(','));
            if (!eat(')')) error("')' expected");
        }
        return e;
    }
    bool done() {
        blank();
        return i == s.size();
    }
};

struct Line {
    std::string where;
    int attachment = 1;
    std::string var;
    std::string text; // the call as written
    Expr call;
    bool expects = false;
    std::string expected;
    bool isql = false; // expected as isql printed it (--select)
};

const std::string arrow = " \xE2\x86\x92 "; // " → "

Line parse_line(const std::string& where, std::string text) {
    Line l;
    l.where = where;
    if (text.rfind('@', 0) == 0) {
        const auto space = text.find(' ');
        l.attachment = std::stoi(text.substr(1, space - 1));
        text = text.substr(space + 1);
    }
    const auto at = text.find(arrow);
    if (at != std::string::npos) {
        l.expects = true;
        l.expected = text.substr(at + arrow.size());
        text = text.substr(0, at);
    }
    static const std::regex binding(R"(^\s*([a-z_][a-z_0-9]*)\s*=\s*(.*)$)");
    std::smatch m;
    if (std::regex_match(text, m, binding)) {
        l.var = m[1];
        text = m[2];
    }
    l.text = text;
    Parser p{text};
    l.call = p.expr();
    if (!p.done() || l.call.kind != Expr::call) p.error("one call expected");
    return l;
}

std::vector<std::string> read_lines(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::vector<Line> calls_file(const std::string& file) {
    std::vector<Line> out;
    const auto lines = read_lines(file);
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const std::string& t = lines[n];
        if (t.empty() || t[0] == '#') continue;
        out.push_back(parse_line(file + ":" + std::to_string(n + 1), t));
    }
    return out;
}

// The examples the server tests run through the UDR module: every `Example:` without NULL in
// its call, and the `UDR example:` lines. Those that are not one call (an expression around
// calls) are left to the server tests, and counted.
std::vector<Line> docs_file(const std::string& file, int* left) {
    std::vector<Line> out;
    const auto lines = read_lines(file);
    static const std::regex example("^(Example|UDR example): `(.*)` \xE2\x86\x92 `(.*)`$");
    static const std::regex null_word(R"(\bNULL\b)");
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::smatch m;
        if (!std::regex_match(lines[n], m, example)) continue;
        if (m[1] == "Example" && std::regex_search(m[2].str(), null_word)) continue;
        try {
            out.push_back(parse_line(file + ":" + std::to_string(n + 1), m[2].str() + arrow + m[3].str()));
        } catch (const std::runtime_error&) {
            ++*left;
        }
    }
    return out;
}

// Each "ib_...(...) AS alias" column of a server test, expected as its .out file shows it.
std::vector<Line> select_file(const std::string& sql, const std::string& out) {
    std::map<std::string, std::string> printed;
    static const std::regex value(R"(^([A-Z][A-Z_0-9]*)\s+(.*?)\s*$)");
    for (const auto& l : read_lines(out)) {
        std::smatch m;
        if (std::regex_match(l, m, value)) printed[m[1]] = m[2];
    }
    std::vector<Line> lines;
    static const std::regex column(R"(^(?:SELECT |\s+)(ib_.*\)) AS ([a-z_0-9]+),?$)");
    const auto text = read_lines(sql);
    for (std::size_t n = 0; n < text.size(); ++n) {
        std::smatch m;
        if (!std::regex_match(text[n], m, column)) continue;
        Line l = parse_line(sql + ":" + std::to_string(n + 1), m[1]);
        std::string alias = m[2];
        for (char& c : alias) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        auto it = printed.find(alias);
        if (it == printed.end()) throw std::runtime_error(out + " shows no " + alias);
        l.expects = l.isql = true;
        l.expected = it->second;
        lines.push_back(l);
    }
    return lines;
}

// ---- declarations --------------------------------------------------------------------------

// The routines of the module's declare script, as the engine describes their parameters.
std::vector<host::Declaration> declarations(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    std::string all;
    for (const auto& l : [&] {
             std::vector<std::string> v;
             std::string line;
             while (std::getline(ss, line)) v.push_back(line);
             return v;
         }()) {
        const auto comment = l.find("--");
        all += (comment == std::string::npos ? l : l.substr(0, comment)) + "\n";
    }
    static const std::regex routine(
        R"(CREATE OR ALTER (FUNCTION|PROCEDURE) (\w+) \(([^;]*?)\)\s*RETURNS\s+(\([^;]*?\)|[^;]*?))"
        R"(\s+EXTERNAL NAME '([^']*)' ENGINE UDR;)");
    static const std::regex param(
        R"(^\s*(\w+\s+)?(VARCHAR|CHAR|INTEGER|SMALLINT|BIGINT|DOUBLE PRECISION)(?:\((\d+)\))?)"
        R"((?:\s+CHARACTER SET (\w+))?\s*$)");
    auto params = [&](std::string list, bool named) {
        if (!list.empty() && list.front() == '(') list = list.substr(1, list.size() - 2);
        std::vector<host::Param> out;
        std::stringstream items(list);
        std::string item;
        while (std::getline(items, item, ',')) {
            if (item.find_first_not_of(" \t\r\n") == std::string::npos) continue;
            std::smatch m;
            if (!std::regex_match(item, m, param))
                throw std::runtime_error("a parameter the host does not know: " + item);
            host::Param p;
            p.name = named && m[1].matched ? m[1].str().substr(0, m[1].str().find_first_of(" \t\r\n")) : "";
            const std::string type = m[2];
            const std::string charset = m[4];
            if (type == "VARCHAR" || type == "CHAR") {
                p.type = type == "VARCHAR" ? SQL_VARYING : SQL_TEXT;
                p.length = static_cast<unsigned>(std::stoul(m[3].matched ? m[3].str() : "1"));
                p.charset = charset == "WIN1250" ? 51 : charset == "UTF8" ? 4 : 0;
                if (p.charset == 4) p.length *= 4;
            } else if (type == "INTEGER") {
                p.type = SQL_LONG, p.length = 4;
            } else if (type == "SMALLINT") {
                p.type = SQL_SHORT, p.length = 2;
            } else if (type == "BIGINT") {
                p.type = SQL_INT64, p.length = 8;
            } else {
                p.type = SQL_DOUBLE, p.length = 8;
            }
            out.push_back(p);
        }
        return out;
    };
    std::vector<host::Declaration> found;
    for (std::sregex_iterator it(all.begin(), all.end(), routine), end; it != end; ++it) {
        host::Declaration d;
        d.procedure = (*it)[1] == "PROCEDURE";
        d.name = (*it)[2];
        for (char& c : d.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        d.in = params((*it)[3], true);
        d.out = params((*it)[4], d.procedure);
        d.entry_point = (*it)[5];
        found.push_back(d);
    }
    if (found.empty()) throw std::runtime_error(file + " declares no UDR routine");
    return found;
}

// ---- results as text -------------------------------------------------------------------------

// A double as the engine casts it to a text: 16 significant digits, printf's "%#.16g".
std::string real_text(double d) {
    if (d == 0) return "0.000000000000000";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, 15);
    std::string sci(buf, r.ptr);
    const auto e = sci.find('e');
    const int exponent = std::stoi(sci.substr(e + 1));
    if (exponent < -4 || exponent >= 16) return sci;
    const bool negative = sci[0] == '-';
    std::string digits;
    for (std::size_t k = negative ? 1 : 0; k < e; ++k)
        if (sci[k] != '.') digits += sci[k];
    std::string out = negative ? "-" : "";
    if (exponent >= 0)
        out += digits.substr(0, exponent + 1) + "." + digits.substr(exponent + 1);
    else
        out += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    return out;
}

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

std::string text_of(const Value& v, unsigned type) {
    if (v.kind == Value::null) return "NULL";
    if (type == SQL_DOUBLE)
        return real_text(v.kind == Value::real      ? v.d
                         : v.kind == Value::integer ? static_cast<double>(v.i)
                                                    : std::strtod(v.s.c_str(), nullptr));
    if (type == SQL_VARYING || type == SQL_TEXT)
        return quoted(v.kind == Value::text ? v.s : v.s.empty() ? std::to_string(v.i) : v.s);
    if (v.kind == Value::integer) return std::to_string(v.i);
    return v.s;
}

std::string text_of(const host::Outcome& o, bool procedure) {
    if (!o.error.empty()) {
        std::string t = "error: ";
        for (std::size_t k = 0; k < o.error.size(); ++k) t += (k ? " / " : "") + o.error[k];
        return t;
    }
    if (!procedure) return text_of(o.rows.at(0).at(0), o.types.at(0));
    if (o.rows.empty()) return "no rows";
    std::string t;
    for (const auto& row : o.rows) {
        t += t.empty() ? "(" : "; (";
        for (std::size_t c = 0; c < row.size(); ++c) t += (c ? ", " : "") + text_of(row[c], o.types[c]);
        t += ")";
    }
    return t;
}

// An expected result in the same form: its literals read as the columns' types.
std::string expected_text(const Line& l, const host::Outcome& o, bool procedure) {
    if (l.expected.rfind("error: ", 0) == 0 || l.expected == "no rows") return l.expected;
    if (l.isql) { // as isql prints a column
        if (l.expected == "<null>") return "NULL";
        Value v;
        v.kind = Value::text;
        v.s = l.expected;
        const unsigned type = o.types.empty() ? SQL_VARYING : o.types[0];
        if (type != SQL_VARYING && type != SQL_TEXT) {
            v.kind = Value::real;
            v.d = std::strtod(v.s.c_str(), nullptr);
            if (type != SQL_DOUBLE) return v.s;
        }
        return text_of(v, type);
    }
    auto literal_text = [](const Expr& e, unsigned type) {
        if (e.kind != Expr::literal) throw std::runtime_error("a literal expected");
        return text_of(e.value, type);
    };
    if (!procedure) {
        Parser p{l.expected};
        const Expr e = p.expr();
        if (!p.done()) p.error("one literal expected");
        return literal_text(e, o.types.empty() ? SQL_VARYING : o.types[0]);
    }
    std::string t;
    std::stringstream rows(l.expected);
    std::string row;
    while (std::getline(rows, row, ';')) {
        Parser p{row};
        if (!p.eat('(')) p.error("'(' expected");
        t += t.empty() ? "(" : "; (";
        for (std::size_t c = 0;; ++c) {
            t += (c ? ", " : "") + literal_text(p.expr(), c < o.types.size() ? o.types[c] : SQL_VARYING);
            if (!p.eat(',')) break;
        }
        if (!p.eat(')') || !p.done()) p.error("')' expected");
        t += ")";
    }
    return t;
}

// ---- the layout rule against the compiler's -------------------------------------------------

// A module that declares its messages with Message.h (the walk procedure does) reads them as
// C structs: the engine's rule in engine.cpp must give the same offsets on each platform.
FB_MESSAGE(Probe, ::Firebird::CheckStatusWrapper,
           (FB_SMALLINT, s)(FB_DOUBLE, d)(FB_VARCHAR(5), v)(FB_INTEGER, i)(FB_BIGINT, b)(FB_VARCHAR(2), w)(FB_DOUBLE,
                                                                                                           e));

int layout_faults() {
    using T = Probe::Type;
    const std::vector<host::Param> fields = {
        {"s", SQL_SHORT, 2, 0, 0}, {"d", SQL_DOUBLE, 8, 0, 0},  {"v", SQL_VARYING, 5, 0, 0}, {"i", SQL_LONG, 4, 0, 0},
        {"b", SQL_INT64, 8, 0, 0}, {"w", SQL_VARYING, 2, 0, 0}, {"e", SQL_DOUBLE, 8, 0, 0}};
    const std::size_t want[][2] = {{offsetof(T, s), offsetof(T, sNull)}, {offsetof(T, d), offsetof(T, dNull)},
                                   {offsetof(T, v), offsetof(T, vNull)}, {offsetof(T, i), offsetof(T, iNull)},
                                   {offsetof(T, b), offsetof(T, bNull)}, {offsetof(T, w), offsetof(T, wNull)},
                                   {offsetof(T, e), offsetof(T, eNull)}};
    const auto got = host::lay_out(fields, nullptr);
    int faults = 0;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (got[k].offset == want[k][0] && got[k].null_offset == want[k][1]) continue;
        std::cout << "FAIL: field " << fields[k].name << " laid out at " << got[k].offset << "/" << got[k].null_offset
                  << ", the compiler's struct has " << want[k][0] << "/" << want[k][1] << "\n";
        ++faults;
    }
    return faults;
}

// ---- running calls -----------------------------------------------------------------------------

class Session {
public:
    explicit Session(host::Engine& engine) : engine_(engine) {}

    // The outcome of a line; a nested call's error is the line's.
    host::Outcome run(const Line& l) {
        host::Outcome o = call(l.attachment, l.call);
        if (!l.var.empty() && o.error.empty()) vars_[l.var] = o.rows.at(0).at(0);
        return o;
    }
    bool procedure(const Line& l) const {
        const host::Declaration* d = engine_.find(l.call.name);
        return d != nullptr && d->procedure;
    }

private:
    host::Outcome call(int attachment, const Expr& e) {
        std::vector<Value> args;
        for (const Expr& a : e.args) {
            if (a.kind == Expr::literal)
                args.push_back(a.value);
            else if (a.kind == Expr::var)
                args.push_back(vars_.at(a.name));
            else {
                host::Outcome inner = call(attachment, a);
                if (!inner.error.empty()) return inner;
                args.push_back(inner.rows.at(0).at(0));
            }
        }
        return engine_.call(attachment, e.name, args);
    }

    host::Engine& engine_;
    std::map<std::string, Value> vars_; // one set for all attachments, as the script keeps them
};

// ---- the same calls as an isql script ---------------------------------------------------------

// A call in SQL. The variables live in the first attachment's context; a statement of
// another attachment gets them as parameters.
std::string sql_of(const Expr& e, bool first, std::vector<std::string>& vars) {
    if (e.kind == Expr::var) {
        if (std::find(vars.begin(), vars.end(), e.name) == vars.end()) vars.push_back(e.name);
        return first ? "CAST(RDB$GET_CONTEXT('USER_SESSION', '" + e.name + "') AS INTEGER)"
                     : "CAST(:" + e.name + " AS INTEGER)";
    }
    if (e.kind == Expr::literal)
        return e.value.kind == Value::null ? "NULL" : e.value.kind == Value::text ? quoted(e.value.s) : e.value.s;
    std::string t = e.name + "(";
    for (std::size_t k = 0; k < e.args.size(); ++k) t += (k ? ", " : "") + sql_of(e.args[k], first, vars);
    return t + ")";
}

std::string canon_sql(const std::string& x, unsigned type, unsigned charset) {
    if (type == SQL_VARYING || type == SQL_TEXT)
        return "'''' || CAST(REPLACE(" + x + ", '''', '''''') AS VARCHAR(16383) CHARACTER SET " +
               (charset == 51 ? "WIN1250" : "NONE") + ") || ''''";
    if (type == SQL_DOUBLE) return "CAST(" + x + " AS VARCHAR(60))";
    return "CAST(" + x + " AS VARCHAR(30))";
}

// A variable as the run mode shows it: 'set' for a value other than NULL and 0.
std::string shown(const std::string& var) {
    const std::string v = "RDB$GET_CONTEXT('USER_SESSION', '" + var + "')";
    return "IIF(" + v + " IS NULL OR " + v + " = '0', COALESCE(" + v + ", 'NULL'), 'set')";
}

std::string set_var(const std::string& var, const std::string& value) {
    return "RDB$SET_CONTEXT('USER_SESSION', '" + var + "', " + value + ")";
}

// Each line prints "R:RESULT" (isql prints an error instead), behind a mark "C:n".
void print_sql(const host::Engine& engine, const std::vector<Line>& lines) {
    std::cout << "SET HEADING OFF;\nSET LIST OFF;\n";
    for (std::size_t n = 0; n < lines.size(); ++n) {
        const Line& l = lines[n];
        std::cout << "SELECT 'C:" << n << "' FROM RDB$DATABASE;\n";
        const host::Declaration* d = engine.find(l.call.name);
        if (d == nullptr) throw std::runtime_error("no routine " + l.call.name);
        const bool first = l.attachment == 1;
        std::vector<std::string> vars;
        const std::string call = sql_of(l.call, first, vars);
        std::string select; // gives "R:..." in the attachment of the line
        if (d->procedure) {
            std::string row;
            for (std::size_t c = 0; c < d->out.size(); ++c)
                row += std::string(c ? " || ', ' || " : "") + "COALESCE(" +
                       canon_sql(d->out[c].name, d->out[c].type, d->out[c].charset) + ", 'NULL')";
            select = "SELECT 'R:' || COALESCE(LIST('(' || " + row + " || ')', '; '), 'no rows') FROM " + call;
        } else if (l.var.empty()) {
            select = "SELECT 'R:' || COALESCE(" + canon_sql(call, d->out.at(0).type, d->out.at(0).charset) +
                     ", 'NULL') FROM RDB$DATABASE";
        } else {
            select = "SELECT CAST(" + call + " AS VARCHAR(30)) FROM RDB$DATABASE";
        }
        if (first && l.var.empty()) {
            std::cout << select << ";\n";
            continue;
        }
        if (first) {
            std::cout << "SELECT " << set_var(l.var, "(" + select + ")") << " FROM RDB$DATABASE;\n"
                      << "SELECT 'R:' || " << shown(l.var) << " FROM RDB$DATABASE;\n";
            continue;
        }
        // Another attachment: EXECUTE STATEMENT ... ON EXTERNAL keeps it until this one ends.
        std::string inner = select;
        for (std::size_t k = 0; (k = inner.find('\'', k)) != std::string::npos; k += 2) inner.insert(k, "'");
        std::string params;
        for (const auto& v : vars)
            params += std::string(params.empty() ? " (" : ", ") + v + " := CAST(RDB$GET_CONTEXT('USER_SESSION', '" + v +
                      "') AS INTEGER)";
        if (!params.empty()) params += ")";
        std::cout << "SET TERM ^;\nEXECUTE BLOCK RETURNS (r VARCHAR(32000) CHARACTER SET NONE) AS\nDECLARE rc "
                     "INTEGER;\nBEGIN\n"
                  << "  EXECUTE STATEMENT ('" << inner << "')" << params
                  << "\n    ON EXTERNAL RDB$GET_CONTEXT('SYSTEM', 'DB_NAME') INTO r;\n";
        if (!l.var.empty())
            std::cout << "  rc = " << set_var(l.var, "r") << ";\n  r = 'R:' || " << shown(l.var) << ";\n";
        std::cout << "  SUSPEND;\nEND^\nSET TERM ;^\n";
    }
}

int usage() {
    std::cerr
        << "usage: udr_host MODULE|- DECLARE.sql check|run|sql [--calls F] [--docs F] [--select F.sql F.out] ...\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    try {
        const std::string module = argv[1], mode = argv[3];
        std::vector<Line> lines;
        int left = 0;
        for (int k = 4; k < argc; ++k) {
            const std::string a = argv[k];
            if (a == "--calls" && k + 1 < argc) {
                auto more = calls_file(argv[++k]);
                lines.insert(lines.end(), more.begin(), more.end());
            } else if (a == "--docs" && k + 1 < argc) {
                auto more = docs_file(argv[++k], &left);
                lines.insert(lines.end(), more.begin(), more.end());
            } else if (a == "--select" && k + 2 < argc) {
                auto more = select_file(argv[k + 1], argv[k + 2]);
                k += 2;
                lines.insert(lines.end(), more.begin(), more.end());
            } else {
                return usage();
            }
        }
        const auto declared = declarations(argv[2]);

        if ((module == "-") != (mode == "sql")) return usage();
        auto engine = std::make_unique<host::Engine>(module == "-" ? std::string() : module);
        for (const auto& d : declared) engine->declare(d);
        if (mode == "sql") {
            print_sql(*engine, lines);
            return 0;
        }

        // Every routine the module registers is declared, and every declared one registered.
        int failures = 0;
        if (mode == "check") {
            failures += layout_faults();
            const auto names = engine->registered();
            for (const auto& d : declared) {
                const auto bang = d.entry_point.find('!');
                const std::string routine =
                    d.entry_point.substr(bang + 1, d.entry_point.find('!', bang + 1) - bang - 1);
                if (std::find(names.begin(), names.end(), routine) == names.end()) {
                    std::cout << "FAIL: " << d.name << " is declared, but the module registers no " << routine << "\n";
                    ++failures;
                }
            }
            if (names.size() != declared.size()) {
                std::cout << "FAIL: the module registers " << names.size() << " routines, the script declares "
                          << declared.size() << "\n";
                ++failures;
            }
        }

        Session session(*engine);
        int checked = 0;
        for (const Line& l : lines) {
            const host::Outcome o = session.run(l);
            const bool procedure = session.procedure(l);
            const std::string got = text_of(o, procedure);
            if (mode == "run") {
                // A variable's value is a handle, which differs from run to run: only whether it is one shows.
                std::cout << (l.var.empty() || got == "0" || got == "NULL" ? got : "set") << "\n";
                continue;
            }
            if (!l.expects) continue;
            ++checked;
            const std::string want = expected_text(l, o, procedure);
            if (got != want) {
                std::cout << "FAIL: " << l.where << ": " << l.text << " gave " << got << ", expected " << want << "\n";
                ++failures;
            }
        }
        if (mode == "check") {
            std::cout << (failures ? "FAILED: " : "ok: ") << checked << " calls checked, " << failures << " failed; "
                      << declared.size() << " routines declared and registered";
            if (left) std::cout << "; " << left << " examples are expressions around calls, left to the server tests";
            std::cout << "\n";
        }
        return failures ? 1 : 0;
    } catch (const std::exception& e) {
        std::cerr << "udr_host: " << e.what() << "\n";
        return 2;
    }
}
