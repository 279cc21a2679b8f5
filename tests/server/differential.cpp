// The calls of the differential run (differential.sh): every function of the catalogue
// with random and edge arguments, and random settlement sequences, as SQL that runs each
// call through the UDR module (declared as u_NAME) and through the PSQL functions
// (ib_NAME) in one database and prints a row for every call whose two answers differ.
//   ardudf_differential SEED CALLS_PER_FUNCTION SEQUENCES [bound]
// The same seed gives the same SQL on every platform (std::mt19937 and our own draws).
// bound: the functions that take a double and the settlements only, their doubles (NaN,
// the infinities and -0.0 among them) as parameters of each block, for ardudf_bound.
#include "catalogue/catalogue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

using namespace ardudf::catalogue;

namespace {

std::mt19937 rng;

// Where the SQL goes: stdout, or in bound mode the block being made (its parameters are
// known only at its end).
FILE* out = stdout;
bool bound = false;
std::vector<double> parameters;

std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(rng() % n); }
bool one_in(std::uint32_t n) { return below(n) == 0; }
template <class T> const T& pick(const std::vector<T>& v) { return v[below(static_cast<std::uint32_t>(v.size()))]; }

// A double as an SQL literal that reads back as the same double.
std::string dbl(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17e", x);
    return buf;
}

// Texts as hex literals (any byte, NUL too), made NONE; a long one as a short one repeated.
std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out = "x'";
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out + "'";
}
std::string text_sql(const std::string& bytes, int repeat_to = 0) {
    const std::string seed = "CAST(" + hex(bytes) + " AS VARCHAR(8200) CHARACTER SET NONE)";
    if (repeat_to <= 0 || bytes.empty()) return seed;
    return "RPAD(" + seed + ", " + std::to_string(repeat_to) + ", " + seed + ")";
}

const std::string alphabet = "abcABC ,;.-xyzYMDymd0123456789'";

std::string random_bytes(std::size_t n, bool any_byte) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        if (any_byte && one_in(3))
            s += static_cast<char>(below(256));
        else
            s += alphabet[below(static_cast<std::uint32_t>(alphabet.size()))];
    }
    return s;
}

// A text argument: edge texts, random short ones, long ones up to and past the widths.
std::string random_text(const Export& e, int arg) {
    const std::string_view arg_name = e.args[arg].name;
    const int width = e.args[arg].width.udr;
    if (arg_name == "pattern" && !one_in(4)) {
        std::string p;
        const std::string letters = "YMDymd./- xAt";
        for (std::uint32_t i = 0, n = 1 + below(14); i < n; ++i) p += letters[below(13)];
        return text_sql(p);
    }
    if (arg_name.substr(0, 4) == "flag" && !one_in(4))
        return text_sql(pick<std::string>({"A", "a", "", "AN", "N", " A"}));
    if (arg_name == "delimiters" && !one_in(4)) return text_sql(pick<std::string>({",", " ", "", ";,", "\x01", "a"}));
    switch (below(11)) {
    case 10: { // a number as ib_convchartoint reads it: blanks, a sign, digits, and what follows
        std::string t =
            pick<std::string>({"", " ", "\t", "\n ", "\x0b"}) + pick<std::string>({"", "+", "-", "--", "+-"});
        for (std::uint32_t i = 0, n = below(13); i < n; ++i) t += static_cast<char>('0' + below(10));
        return text_sql(t + pick<std::string>({"", "x", " 5", ".5", "\xff"}));
    }
    case 0:
        return text_sql("");
    case 1:
        return text_sql(pick<std::string>({" ", "  x  ", std::string("ab\0cd", 5), std::string("\0", 1), "'", "''",
                                           "+12", "-2147483648", "2147483648", "  -17abc", "\t9", "99999999999"}));
    case 2: // long: near the declared width, or past it
        return text_sql(random_bytes(1 + below(7), true),
                        pick<int>({width - 1, width, width + 1, width / 2, 255, 256}));
    case 3:
        return text_sql(random_bytes(below(300), true));
    default:
        return text_sql(random_bytes(below(20), one_in(2)));
    }
}

std::string random_int(const Export& e, int arg) {
    const std::string_view name = e.args[arg].name;
    if (name == "handle") return pick<std::string>({"0", "-1", "1", "123456", "1048576", "2147483647", "NULL"});
    if (name == "year_num" && !one_in(3)) return std::to_string(1500 + static_cast<int>(below(800)));
    if (name == "month_num" && !one_in(3)) return std::to_string(static_cast<int>(below(15)));
    if (name == "day_num" && !one_in(3)) return std::to_string(static_cast<int>(below(33)));
    switch (below(4)) {
    case 0:
        return pick<std::string>({"0",          "1",           "-1",    "2",     "255",        "256",
                                  "8191",       "8192",        "32765", "32766", "65535",      "65536",
                                  "67560",      "1601",        "30827", "30828", "2000000000", "-2000000000",
                                  "2147483647", "-2147483648", "400",   "-400",  "-100"});
    case 1:
        return std::to_string(static_cast<std::int32_t>(rng()));
    default:
        return std::to_string(static_cast<int>(below(40)) - 5);
    }
}

// In bound mode, a value as the block's next parameter. An infinite amount reaches no
// settlement: the engine refuses an operation whose result is infinite (docs/psql.md).
std::string parameter(double x) {
    parameters.push_back(x);
    return "d" + std::to_string(parameters.size() - 1);
}
std::string special_double(bool finite) {
    const double nan = std::nan(""), inf = HUGE_VAL;
    return parameter(finite ? pick<double>({nan, -0.0, 0.0}) : pick<double>({nan, nan, inf, -inf, -0.0, 0.0}));
}

std::string random_double(const Export& e) {
    const bool serial = e.group == "calendar";
    if (bound && one_in(2)) return special_double(e.group == "balance");
    switch (below(5)) {
    case 0:
        return dbl(pick<double>({0.0,        -0.0,
                                 1.0,        -1.0,
                                 0.5,        1.0 / 3,
                                 0.999999,   4e-7,
                                 5e-7,       6e-7,
                                 0.15,       1e300,
                                 -1e300,     1.7976931348623157e308,
                                 1e-250,     9007199254740993.0,
                                 -109205.0,  -109205.0000001,
                                 -109206.0,  10565994.0,
                                 10565995.0, 2958465.0,
                                 45000.5,    1e15,
                                 1e16,       -1e16}));
    case 1:
        if (serial) return dbl(-109205.0 + std::uniform_real_distribution<double>(0, 10675000)(rng));
        return dbl(std::uniform_real_distribution<double>(-1e6, 1e6)(rng));
    case 2: // whole days with a fraction
        return dbl(std::floor(std::uniform_real_distribution<double>(-2e4, 8e4)(rng)) + below(86400) / 86400.0);
    default:
        return dbl(std::uniform_real_distribution<double>(-100, 100000)(rng));
    }
}

// Two doubles are the same when both are NULL, both NaN, or equal with the same sign (the
// sign of a zero shows in ATAN2; a cast to text drops it).
std::string same_double(const std::string& u, const std::string& p) {
    return "((" + u + " IS NULL AND " + p + " IS NULL) OR (" + u + " = " + p + " AND ATAN2(" + u + ", -1e0) = ATAN2(" +
           p + ", -1e0)) OR (" + u + " <> " + u + " AND " + p + " <> " + p + "))";
}

std::string sql_type(const Value& v, std::string_view charset) {
    if (v.kind == Kind::int32) return "INTEGER";
    if (v.kind == Kind::float64) return "DOUBLE PRECISION";
    // Wider than declared, so that a text too long for the function reaches it.
    return "VARCHAR(8200) CHARACTER SET " + std::string(charset);
}

// A block that runs calls of one function through both and prints each difference; a
// block holds at most this many calls (Firebird 3 takes 64 KB of SQL a statement).
constexpr int calls_per_block = 40;
void print_block(const Export& e, int calls);

// One block as make prints it; in bound mode with the parameters it drew declared, after
// the line that gives their values, and ended by a line "^" (ardudf_bound's form).
template <class Make> void in_block(Make make) {
    if (!bound) return make();
    char* text = nullptr;
    std::size_t size = 0;
    parameters.clear();
    out = open_memstream(&text, &size);
    make();
    std::fclose(out);
    out = stdout;
    std::string block(text, size);
    std::free(text);
    std::string declared, values;
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        declared += (i ? ", d" : "(d") + std::to_string(i) + " DOUBLE PRECISION = ?";
        char v[40];
        std::snprintf(v, sizeof v, " %.17g", parameters[i]);
        values += v;
    }
    if (!declared.empty()) block.replace(block.find("EXECUTE BLOCK ") + 14, 0, declared + ") ");
    block.replace(block.rfind("END^"), 4, "END\n^");
    std::printf("-- bind:%s\n%s", values.c_str(), block.c_str());
}

void print_function(const Export& e, int calls) {
    for (int done = 0; done < calls; done += calls_per_block)
        in_block([&] { print_block(e, std::min(calls_per_block, calls - done)); });
}

void print_block(const Export& e, int calls) {
    const int n = arg_count(e);
    const std::string name(e.name);
    std::fprintf(
        out,
        "-- %.*s\nEXECUTE BLOCK RETURNS (difference VARCHAR(300), udr_answer VARCHAR(8200) CHARACTER SET OCTETS,\n"
        "    psql_answer VARCHAR(8200) CHARACTER SET OCTETS) AS\n",
        int(e.name.size()), e.name.data());
    for (int i = 0; i < n; ++i) std::fprintf(out, "  DECLARE a%d %s;\n", i, sql_type(e.args[i], e.charset).c_str());
    std::fprintf(out, "  DECLARE u %s;\n  DECLARE p %s;\n", sql_type(e.result, e.charset).c_str(),
                 sql_type(e.result, e.charset).c_str());
    std::fprintf(out, "  DECLARE ue VARCHAR(20);\n  DECLARE pe VARCHAR(20);\n  DECLARE k INTEGER = 0;\nBEGIN\n");
    std::string args;
    for (int i = 0; i < n; ++i) args += (i ? ", " : "") + std::string(":a") + std::to_string(i);
    // Both get the same values, read once into variables; a value the variable refuses is
    // skipped for both.
    // Two answers that are not a function of the arguments: the clock, and a new handle
    // (each module numbers its own; both must give one).
    const bool clock = e.name == "ib_current_time", handle = e.name == "ib_scbcreate";
    for (int c = 0; c < calls; ++c) {
        std::fprintf(out, "  k = k + 1;\n");
        if (n > 0) std::fprintf(out, "  BEGIN\n");
        for (int i = 0; i < n; ++i) {
            std::string v;
            if (e.args[i].kind == Kind::text)
                v = random_text(e, i);
            else if (e.args[i].kind == Kind::int32)
                v = random_int(e, i);
            else
                v = random_double(e);
            if (one_in(25)) v = "NULL";
            std::fprintf(out, "    a%d = %s;\n", i, v.c_str());
        }
        if (n > 0) std::fprintf(out, "    WHEN ANY DO a0 = a0;\n  END\n");
        std::fprintf(out,
                     "  ue = ''; u = NULL;\n  BEGIN u = u_%s(%s); WHEN ANY DO ue = SQLSTATE || ':' || GDSCODE; END\n",
                     name.c_str(), args.c_str());
        std::fprintf(out,
                     "  pe = ''; p = NULL;\n  BEGIN p = %s(%s); WHEN ANY DO pe = SQLSTATE || ':' || GDSCODE; END\n",
                     name.c_str(), args.c_str());
        std::string same;
        if (clock)
            same = "ABS(u - p) < 2e0 / 86400"; // the clock moves between the two calls
        else if (handle)
            same = "(u <> 0) IS NOT DISTINCT FROM (p <> 0)";
        else if (e.result.kind == Kind::text)
            same = "u IS NOT DISTINCT FROM p AND OCTET_LENGTH(u) IS NOT DISTINCT FROM OCTET_LENGTH(p)";
        else if (e.result.kind == Kind::float64)
            same = same_double("u", "p");
        else
            same = "u IS NOT DISTINCT FROM p";
        std::fprintf(out, "  IF (ue <> pe OR NOT (%s)) THEN\n  BEGIN\n", same.c_str());
        // The answers as bytes (isql shows them in hex): a text need not be valid in any set.
        const std::string as_text = e.result.kind == Kind::text ? "" : "CAST(%s AS VARCHAR(40))";
        auto answer = [&](const char* v) {
            char buf[80];
            std::snprintf(buf, sizeof buf, as_text.empty() ? "%s" : as_text.c_str(), v);
            return "CAST(" + std::string(buf) + " AS VARCHAR(8200) CHARACTER SET OCTETS)";
        };
        std::fprintf(out, "    difference = '%.*s call ' || k || ': udr ' || ue || ' | psql ' || pe;\n",
                     int(e.name.size()), e.name.data());
        std::fprintf(out, "    udr_answer = %s;\n    psql_answer = %s;\n", answer("u").c_str(), answer("p").c_str());
        std::fprintf(out, "    SUSPEND;\n  END\n");
    }
    std::fprintf(
        out, "  difference = 'calls: %.*s ' || k;\n  udr_answer = NULL;\n  psql_answer = NULL;\n  SUSPEND;\nEND^\n\n",
        int(e.name.size()), e.name.data());
}

std::string amount() {
    if (bound && one_in(4)) return special_double(true);
    switch (below(6)) {
    case 0:
        // Around the zero test's half step (5e-7) and on it.
        return dbl(pick<double>({0.0, -0.0, 4e-7, -4e-7, 5e-7, -5e-7, 4.9999999e-7, 5.0000001e-7, 6e-7, 1.5e-6, 2.5e-6,
                                 0.005, 0.01, 1e12, -1e12, 0.1, 0.2, 0.3}));
    case 1:
        return dbl(-static_cast<double>(below(100000)) / 100);
    default:
        return dbl(static_cast<double>(below(200000)) / 100);
    }
}

// One settlement: the same operations on a context of each, every answer compared. The
// walk is compared row by row, by the loop of four functions or by ib_scbwalk.
void print_sequence(int number) {
    const std::vector<std::string> types = {"GOODS", "SERVICE", "FEE", "A", "A ", "", "ZBOŽÍ", "x"};
    std::fprintf(
        out,
        "-- settlement %d\nEXECUTE BLOCK RETURNS (difference VARCHAR(300), udr_answer VARCHAR(300) CHARACTER SET "
        "OCTETS,\n    psql_answer VARCHAR(300) CHARACTER SET OCTETS) AS\n",
        number);
    std::fprintf(out, "  DECLARE hu INTEGER;\n  DECLARE hp INTEGER;\n  DECLARE ru DOUBLE PRECISION;\n"
                      "  DECLARE rp DOUBLE PRECISION;\n  DECLARE tu VARCHAR(255) CHARACTER SET NONE;\n"
                      "  DECLARE tp VARCHAR(255) CHARACTER SET NONE;\n  DECLARE k INTEGER = 0;\n"
                      "  DECLARE step VARCHAR(100);\n  DECLARE more SMALLINT;\n"
                      "  DECLARE vu DOUBLE PRECISION;\n  DECLARE vp DOUBLE PRECISION;\n"
                      "  DECLARE fu INTEGER;\n  DECLARE fp INTEGER;\n"
                      "  DECLARE cu CURSOR FOR (SELECT row_type, amount, vat FROM u_ib_scbwalk(:hu));\n"
                      "  DECLARE cp CURSOR FOR (SELECT row_type, amount, vat FROM ib_scbwalk(:hp));\nBEGIN\n");
    std::fprintf(out, "  hu = u_ib_scbcreate();\n  hp = ib_scbcreate();\n");
    auto compare = [number](const std::string& what, const std::string& u_call, const std::string& p_call, bool text) {
        std::fprintf(out, "  step = 'settlement %d, %s'; k = k + 1;\n", number, what.c_str());
        if (text) {
            std::fprintf(out, "  tu = %s; tp = %s;\n", u_call.c_str(), p_call.c_str());
            std::fprintf(
                out, "  IF (tu IS DISTINCT FROM tp OR OCTET_LENGTH(tu) IS DISTINCT FROM OCTET_LENGTH(tp)) THEN BEGIN\n"
                     "    difference = step; udr_answer = tu; psql_answer = tp; SUSPEND; END\n");
        } else {
            std::fprintf(out, "  ru = %s; rp = %s;\n", u_call.c_str(), p_call.c_str());
            std::fprintf(out, "  IF (NOT %s) THEN BEGIN\n", same_double("ru", "rp").c_str());
            std::fprintf(out, "    difference = step; udr_answer = CAST(ru AS VARCHAR(40)); psql_answer = CAST(rp AS "
                              "VARCHAR(40));\n    SUSPEND; END\n");
        }
    };
    auto both = [&](const std::string& what, const std::string& fn, const std::string& rest, bool text = false) {
        compare(what, "u_ib_" + fn + "(hu" + rest + ")", "ib_" + fn + "(hp" + rest + ")", text);
    };
    const int steps = 3 + static_cast<int>(below(25));
    for (int s = 0; s < steps; ++s) {
        const std::string type = text_sql(pick(types));
        switch (below(12)) {
        case 0:
        case 1:
        case 2:
        case 3:
            both("row " + std::to_string(s), "scbaddrow", ", " + type + ", " + amount() + ", " + amount());
            break;
        case 4:
        case 5:
        case 6:
            both("payment " + std::to_string(s), "scbaddpayment", ", " + amount());
            break;
        case 7:
            both("credit note " + std::to_string(s), "scbaddcreditnote",
                 ", " + type + ", " + amount() + ", " + amount());
            break;
        case 8: // a partial walk: the cursor and the reads left where they are
            both("affected " + std::to_string(s), "scbisaffectedrows", "");
            both("type " + std::to_string(s), "scbreadtype", "", true);
            if (one_in(2)) both("amount " + std::to_string(s), "scbreadamount", "");
            if (one_in(2)) both("vat " + std::to_string(s), "scbreadvat", "");
            break;
        case 9:
            if (one_in(3)) both("clear " + std::to_string(s), "scbclear", "");
            break;
        default:
            break;
        }
        // The walk after most operations, by the loop or by the procedure.
        if (one_in(3)) continue;
        if (one_in(2)) {
            std::fprintf(out, "  more = 1;\n  WHILE (more = 1) DO\n  BEGIN\n");
            compare("walk " + std::to_string(s), "u_ib_scbisaffectedrows(hu)", "ib_scbisaffectedrows(hp)", false);
            std::fprintf(out, "  more = ru;\n");
            both("walk type " + std::to_string(s), "scbreadtype", "", true);
            both("walk amount " + std::to_string(s), "scbreadamount", "");
            both("walk vat " + std::to_string(s), "scbreadvat", "");
            std::fprintf(out, "  END\n");
        } else {
            // Both procedures fetched in lockstep, each row compared.
            std::fprintf(out, "  step = 'settlement %d, walk procedure %d'; k = k + 1;\n", number, s);
            std::fprintf(
                out,
                "  OPEN cu;\n  OPEN cp;\n  more = 1;\n  WHILE (more = 1) DO\n  BEGIN\n"
                "    FETCH cu INTO :tu, :ru, :vu;\n    fu = ROW_COUNT;\n"
                "    FETCH cp INTO :tp, :rp, :vp;\n    fp = ROW_COUNT;\n"
                "    IF (fu <> fp OR (fu = 1 AND (tu IS DISTINCT FROM tp OR OCTET_LENGTH(tu) <> OCTET_LENGTH(tp)\n"
                "        OR NOT %s OR NOT %s))) THEN BEGIN\n"
                "      difference = step; udr_answer = IIF(fu = 1, tu, NULL); psql_answer = IIF(fp = 1, tp, NULL);\n"
                "      SUSPEND; END\n"
                "    more = IIF(fu = 1 AND fp = 1, 1, 0);\n  END\n  CLOSE cu;\n  CLOSE cp;\n",
                same_double("ru", "rp").c_str(), same_double("vu", "vp").c_str());
        }
    }
    compare("free", "u_ib_scbfree(hu)", "ib_scbfree(hp)", false);
    compare("free again", "u_ib_scbfree(hu)", "ib_scbfree(hp)", false);
    compare("freed handle", "u_ib_scbaddrow(hu, 'A', 1, 1)", "ib_scbaddrow(hp, 'A', 1, 1)", false);
    std::fprintf(out,
                 "  difference = 'calls: settlement %d ' || k;\n  udr_answer = NULL;\n  psql_answer = NULL;\n  "
                 "SUSPEND;\nEND^\n\n",
                 number);
}

} // namespace

int main(int argc, char** argv) {
    bound = argc == 5 && std::string_view(argv[4]) == "bound";
    if (argc != 4 && !bound) {
        std::fprintf(stderr, "usage: ardudf_differential SEED CALLS_PER_FUNCTION SEQUENCES [bound]\n");
        return 2;
    }
    rng.seed(static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)));
    const int calls = std::atoi(argv[2]), sequences = std::atoi(argv[3]);
    if (!bound) std::printf("SET LIST ON;\nSET TERM ^ ;\n");
    // ardudf_version names the face that answers: different by design.
    for (const auto& e : exports) {
        const bool takes_double =
            std::any_of(e.args.begin(), e.args.end(), [](const Value& v) { return v.kind == Kind::float64; });
        if (e.name != "ardudf_version" && (takes_double || !bound)) print_function(e, calls);
    }
    for (int s = 1; s <= sequences; ++s) in_block([s] { print_sequence(s); });
    if (!bound) std::printf("SET TERM ; ^\n");
    return 0;
}
