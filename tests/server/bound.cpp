// The part of the differential run that SQL text cannot carry: doubles bound as
// parameters, NaN and the infinities among them, which no SQL literal or expression of
// the engine yields. Runs the blocks of `ardudf_differential SEED CALLS SEQUENCES bound`
// on a database through libfbclient and prints their rows as isql's SET LIST does
// (differential.sh reads both the same way).
//   ardudf_bound DATABASE FILE
// FILE: blocks, each after a line "-- bind: V ..." (one strtod value per parameter: 1.5,
// -0.0, nan, inf, -inf) and ending with a line "^".
#include <ibase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

ISC_STATUS_ARRAY status;

bool failed(const char* what) {
    if (status[0] != 1 || status[1] == 0) return false;
    std::printf("Statement failed: %s\n", what);
    const ISC_STATUS* s = status;
    char message[512];
    while (fb_interpret(message, sizeof message, &s) != 0) std::printf("-%s\n", message);
    return true;
}

// A row as isql lists it: the column's name, then its value; texts in a binary character
// set in hex, as isql shows them.
void print_row(const XSQLDA* out) {
    for (int i = 0; i < out->sqld; ++i) {
        const XSQLVAR& v = out->sqlvar[i];
        std::printf("%-31.*s ", int(v.aliasname_length), v.aliasname);
        if (*v.sqlind < 0) {
            std::printf("<null>\n");
            continue;
        }
        const auto* data = reinterpret_cast<const unsigned char*>(v.sqldata);
        if ((v.sqltype & ~1) != SQL_VARYING) {
            std::printf("?\n");
            continue;
        }
        const unsigned length = data[0] | (data[1] << 8);
        const bool binary = v.sqlsubtype == 1; // OCTETS
        for (unsigned k = 0; k < length; ++k) std::printf(binary ? "%02X" : "%c", data[2 + k]);
        std::printf("\n");
    }
    std::printf("\n");
}

bool run(isc_db_handle* db, isc_tr_handle* tr, const std::string& sql, const std::vector<double>& values) {
    isc_stmt_handle stmt = 0;
    if (isc_dsql_allocate_statement(status, db, &stmt), failed("allocate")) return false;
    std::vector<char> out_buf(XSQLDA_LENGTH(3));
    auto* out = reinterpret_cast<XSQLDA*>(out_buf.data());
    out->version = SQLDA_VERSION1;
    out->sqln = 3;
    if (isc_dsql_prepare(status, tr, &stmt, 0, sql.c_str(), 3, out), failed("prepare")) return false;
    std::vector<char> in_buf(XSQLDA_LENGTH(values.size() + 1));
    auto* in = reinterpret_cast<XSQLDA*>(in_buf.data());
    in->version = SQLDA_VERSION1;
    in->sqln = static_cast<short>(values.size() + 1);
    if (isc_dsql_describe_bind(status, &stmt, 1, in), failed("describe")) return false;
    if (in->sqld != static_cast<short>(values.size())) {
        std::printf("Statement failed: %d parameters, %zu values\n", in->sqld, values.size());
        return false;
    }
    std::vector<double> bound(values);
    std::vector<short> nulls(values.size() + out->sqld, 0);
    for (std::size_t i = 0; i < values.size(); ++i) {
        in->sqlvar[i].sqltype = SQL_DOUBLE + 1;
        in->sqlvar[i].sqllen = sizeof(double);
        in->sqlvar[i].sqldata = reinterpret_cast<char*>(&bound[i]);
        in->sqlvar[i].sqlind = &nulls[i];
    }
    std::vector<std::vector<char>> columns(out->sqld);
    for (int i = 0; i < out->sqld; ++i) {
        columns[i].resize(out->sqlvar[i].sqllen + 2);
        out->sqlvar[i].sqldata = columns[i].data();
        out->sqlvar[i].sqlind = &nulls[values.size() + i];
    }
    if (isc_dsql_execute(status, tr, &stmt, 1, in), failed("execute")) return false;
    for (;;) {
        const ISC_STATUS fetched = isc_dsql_fetch(status, &stmt, 1, out);
        if (fetched == 100) break;
        if (failed("fetch")) return false;
        print_row(out);
    }
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: ardudf_bound DATABASE FILE\n");
        return 2;
    }
    std::ifstream file(argv[2]);
    if (!file) {
        std::fprintf(stderr, "ardudf_bound: cannot read %s\n", argv[2]);
        return 2;
    }
    const char* user = std::getenv("ISC_USER");
    std::string dpb(1, char(isc_dpb_version1));
    auto add = [&dpb](char tag, const std::string& value) {
        dpb += tag;
        dpb += char(value.size());
        dpb += value;
    };
    add(isc_dpb_user_name, user ? user : "SYSDBA");
    add(isc_dpb_lc_ctype, "UTF8");
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    if (isc_attach_database(status, 0, argv[1], &db, short(dpb.size()), dpb.data()), failed("attach")) return 1;
    if (isc_start_transaction(status, &tr, 1, &db, 0, nullptr), failed("start")) return 1;
    std::string line, sql;
    std::vector<double> values;
    int bad = 0;
    while (std::getline(file, line)) {
        if (line.rfind("-- bind:", 0) == 0) {
            std::istringstream in(line.substr(8));
            values.clear();
            for (std::string v; in >> v;) values.push_back(std::strtod(v.c_str(), nullptr));
            sql.clear();
        } else if (line == "^") {
            if (!run(&db, &tr, sql, values)) ++bad;
            sql.clear();
        } else {
            sql += line + "\n";
        }
    }
    if (isc_commit_transaction(status, &tr), failed("commit")) ++bad;
    isc_detach_database(status, &db);
    return bad == 0 ? 0 : 1;
}
