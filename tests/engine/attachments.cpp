// Several attachments on several threads of one process, through libfbclient's embedded
// engine, calling the functions at once for a bounded time. Each statement's result must be
// the one it gave on a single attachment before the threads started.
//   engine_attachments DATABASE THREADS SECONDS
#include <ibase.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Each statement gives one row of one text column.
const char* const statements[] = {
    // Text, value and calendar functions in one row.
    "SELECT CAST(ib_string_left('abcdef', 2) || '|' || ib_string_right('abcdef', 2) || '|' || ib_lpad('42', 5, '0')"
    " || '|' || ib_quote_literal('it''s') || '|' || ib_reversestring('abc') || '|' || ib_isnotnull('')"
    " || '|' || ib_get_token(',,ab,,cd,ef', ',') || '|' || ib_delete_token(',,ab,,cd,ef', ',')"
    " || '|' || ib_find_token('abcdef', 'cd') || '|' || ib_convchartoint('  -17abc')"
    " || '|' || ib_gets_u2_prefix('A', 'N') || '|' || ib_correct_phone_number('+1 (2) 3-x')"
    " || '|' || ib_string_length('abc') || '|' || ib_greatest(1, 2) || '|' || ib_least(1, 2) AS VARCHAR(4000))"
    " FROM RDB$DATABASE",
    "SELECT CAST(ib_encodedate(2024, 3, 5) || '|' || ib_decodedate_year(45356.5675) || '|' || "
    "ib_decodedate_month(45356.5675)"
    " || '|' || ib_decodedate_day(45356.5675) || '|' || ib_decodetime_hour(45356.5675)"
    " || '|' || ib_decodetime_min(45356.5675) || '|' || ib_decodetime_sec(45356.5675)"
    " || '|' || ib_dayofweek(45356.0) || '|' || ib_isleapyear(2024) || '|' || ib_endofdecade(45356.0)"
    " || '|' || ib_datetostring(45356.0, 'Today: DD.MM.YYYY') || '|' || ib_gets_u_prefix('A') AS VARCHAR(4000))"
    " FROM RDB$DATABASE",
    // A document settled on a context of this attachment: rows, a payment, a walk, a
    // credit note, another walk, then free.
    "EXECUTE BLOCK RETURNS (r VARCHAR(4000)) AS\n"
    "DECLARE h INTEGER; DECLARE i INTEGER; DECLARE n INTEGER = 0;\n"
    "BEGIN\n"
    "  h = ib_scbcreate();\n"
    "  r = '';\n"
    "  WHILE (n < 20) DO BEGIN\n"
    "    i = ib_scbaddrow(h, 'GOODS' || MOD(n, 7), 100 + n, 21);\n"
    "    i = ib_scbaddrow(h, 'DISCOUNT', -2.5, 0);\n"
    "    n = n + 1;\n"
    "  END\n"
    "  r = r || 'pay ' || ib_scbaddpayment(h, 345.67);\n"
    "  WHILE (ib_scbisaffectedrows(h) = 1) DO\n"
    "    r = r || ';' || ib_scbreadtype(h) || ' ' || ib_scbreadamount(h) || ' ' || ib_scbreadvat(h);\n"
    "  r = r || '|note ' || ib_scbaddcreditnote(h, 'GOODS3', 500, 40);\n"
    "  WHILE (ib_scbisaffectedrows(h) = 1) DO\n"
    "    r = r || ';' || ib_scbreadtype(h) || ' ' || ib_scbreadamount(h) || ' ' || ib_scbreadvat(h);\n"
    "  r = r || '|clear ' || ib_scbclear(h) || '|free ' || ib_scbfree(h) || '|again ' || ib_scbfree(h);\n"
    "  SUSPEND;\n"
    "END",
};
constexpr int statement_count = sizeof statements / sizeof statements[0];

// The documented examples among them, as the server prints them.
const char* const documented[] = {
    "ab|ef|00042|'it''s'|cba|N|ab|cd,ef|3|-17|S_|123|3|2.000000000000000|1.000000000000000",
    "45356.00000000000|2024|3|5|13|37|12|3|1|45362.00000000000|To5a24: 5.3.2024|S_",
};

std::mutex print;

bool failed(const ISC_STATUS* status, const char* what) {
    if (status[0] != 1 || status[1] == 0) return false;
    std::lock_guard lock(print);
    std::fprintf(stderr, "%s:\n", what);
    const ISC_STATUS* p = status;
    char message[512];
    while (fb_interpret(message, sizeof message, &p)) std::fprintf(stderr, "  %s\n", message);
    return true;
}

struct Attachment {
    ISC_STATUS_ARRAY status{};
    isc_db_handle db = 0;

    bool attach(const std::string& path) {
        return !failed((isc_attach_database(status, 0, path.c_str(), &db, 0, nullptr), status), "attach");
    }
    ~Attachment() {
        if (db != 0) isc_detach_database(status, &db);
    }

    // The one text of the statement's one row, or nullopt-like "!" on an error.
    bool run(const char* sql, std::string& out) {
        isc_tr_handle tr = 0;
        isc_stmt_handle st = 0;
        if (failed((isc_start_transaction(status, &tr, 1, &db, 0, nullptr), status), "start")) return false;
        bool ok = false;
        alignas(XSQLDA) char area[XSQLDA_LENGTH(1)];
        auto* out_da = reinterpret_cast<XSQLDA*>(area);
        std::memset(area, 0, sizeof area);
        out_da->version = SQLDA_VERSION1;
        out_da->sqln = 1;
        char buffer[8192];
        short null_flag = 0;
        do {
            if (failed((isc_dsql_allocate_statement(status, &db, &st), status), "allocate")) break;
            if (failed((isc_dsql_prepare(status, &tr, &st, 0, sql, 3, out_da), status), "prepare")) break;
            XSQLVAR& v = out_da->sqlvar[0];
            if (out_da->sqld != 1 || (v.sqltype & ~1) != SQL_VARYING || v.sqllen < 0 ||
                v.sqllen > static_cast<short>(sizeof buffer - 2)) {
                std::lock_guard lock(print);
                std::fprintf(stderr, "unexpected result shape: %d columns, type %d\n", out_da->sqld, v.sqltype);
                break;
            }
            v.sqldata = buffer;
            v.sqlind = &null_flag;
            if (failed((isc_dsql_execute(status, &tr, &st, 3, nullptr), status), "execute")) break;
            if (isc_dsql_fetch(status, &st, 3, out_da) != 0) {
                failed(status, "fetch");
                break;
            }
            short length;
            std::memcpy(&length, buffer, sizeof length);
            out = null_flag != 0 ? std::string("<null>") : std::string(buffer + 2, static_cast<std::size_t>(length));
            ok = true;
        } while (false);
        if (st != 0) isc_dsql_free_statement(status, &st, DSQL_drop);
        if (tr != 0) isc_commit_transaction(status, &tr);
        return ok;
    }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s DATABASE THREADS SECONDS\n", argv[0]);
        return 2;
    }
    const std::string db = argv[1];
    const int threads = std::atoi(argv[2]);
    const int seconds = std::atoi(argv[3]);

    std::vector<std::string> alone(statement_count);
    {
        Attachment a;
        if (!a.attach(db)) return 1;
        for (int s = 0; s < statement_count; ++s) {
            if (!a.run(statements[s], alone[s])) return 1;
            std::printf("statement %d alone: %.200s%s\n", s + 1, alone[s].c_str(), alone[s].size() > 200 ? "..." : "");
            if (s < 2 && alone[s] != documented[s]) {
                std::fprintf(stderr, "statement %d should give\n  %s\n", s + 1, documented[s]);
                return 1;
            }
        }
    }

    std::atomic<long> runs{0}, wrong{0}, errors{0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&, t] {
            Attachment a;
            if (!a.attach(db)) {
                ++errors;
                return;
            }
            for (int s = t % statement_count; std::chrono::steady_clock::now() < deadline;
                 s = (s + 1) % statement_count) {
                std::string got;
                if (!a.run(statements[s], got)) {
                    ++errors;
                    return;
                }
                ++runs;
                if (got != alone[s]) {
                    if (wrong++ == 0) {
                        std::lock_guard lock(print);
                        std::fprintf(stderr, "thread %d, statement %d gave\n  %s\nnot\n  %s\n", t, s + 1, got.c_str(),
                                     alone[s].c_str());
                    }
                }
            }
        });
    for (auto& th : pool) th.join();
    std::printf("%d attachments on %d threads for %d s: %ld statements, %ld wrong results, %ld errors\n", threads,
                threads, seconds, runs.load(), wrong.load(), errors.load());
    return wrong == 0 && errors == 0 && runs > 0 ? 0 : 1;
}
