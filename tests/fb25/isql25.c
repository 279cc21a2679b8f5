/* ardudf_isql25: the isql of our tests for the Firebird 2.5 embedded engine (fbembed.dll),
 * which ships no isql.exe. It runs an isql script and prints what isql 3 prints with
 * -q -e -m, so that the server suites compare its output with the same expected files; and
 * it does gbak's two jobs through the services API. Test tooling only, never shipped.
 *
 *   ardudf_isql25 [-q] [-e] [-m] [-b] [-z] [-ch CHARSET] [-i FILE] [-s DIALECT] [DATABASE]
 *   ardudf_isql25 -backup DATABASE FILE       (gbak -b, verbose)
 *   ardudf_isql25 -restore FILE DATABASE      (gbak -c, verbose)
 *
 * The script comes from FILE or stdin. Understood besides SQL: SET TERM, SET BAIL, SET LIST,
 * SET HEADING, SET AUTODDL, SET SQL DIALECT, SET ECHO, SET NAMES (SET PLAN and SET STATS are
 * read and ignored: 2.5 prints plans differently), CREATE DATABASE, COMMIT, ROLLBACK, EXIT,
 * QUIT. A path starting with '/' (the database, the root in FIREBIRD) is a file of the Wine
 * drive Z:. fbembed.dll is loaded from the folder ARDUDF_FB25_KIT names, or the program's. */
#define __USE_MINGW_ANSI_STDIO 1 /* C99 printf: two-digit exponents, as isql prints them */
#include <windows.h>
#include <ctype.h>
#include <io.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* ---- the few declarations of ibase.h that we use (2.5, 32-bit) ---- */
typedef intptr_t ISC_STATUS;
typedef uintptr_t HND;
typedef struct { int high; unsigned low; } ISC_QUAD;
typedef struct {
    short sqltype, sqlscale, sqlsubtype, sqllen;
    char* sqldata;
    short* sqlind;
    short sqlname_length; char sqlname[32];
    short relname_length; char relname[32];
    short ownname_length; char ownname[32];
    short aliasname_length; char aliasname[32];
} XSQLVAR;
typedef struct {
    short version; char sqldaid[8]; int sqldabc; short sqln, sqld;
    XSQLVAR sqlvar[1];
} XSQLDA;
typedef struct { HND* db; long tpb_len; const char* tpb; } TEB;

#define API(ret, name, args) typedef ret(__stdcall* name##_fn) args; static name##_fn name;
API(ISC_STATUS, isc_attach_database, (ISC_STATUS*, short, const char*, HND*, short, const char*))
API(ISC_STATUS, isc_detach_database, (ISC_STATUS*, HND*))
API(ISC_STATUS, isc_database_info, (ISC_STATUS*, HND*, short, const char*, short, char*))
API(ISC_STATUS, isc_start_multiple, (ISC_STATUS*, HND*, short, TEB*))
API(ISC_STATUS, isc_commit_transaction, (ISC_STATUS*, HND*))
API(ISC_STATUS, isc_rollback_transaction, (ISC_STATUS*, HND*))
API(ISC_STATUS, isc_dsql_allocate_statement, (ISC_STATUS*, HND*, HND*))
API(ISC_STATUS, isc_dsql_prepare, (ISC_STATUS*, HND*, HND*, unsigned short, const char*, unsigned short, XSQLDA*))
API(ISC_STATUS, isc_dsql_describe, (ISC_STATUS*, HND*, unsigned short, XSQLDA*))
API(ISC_STATUS, isc_dsql_sql_info, (ISC_STATUS*, HND*, short, const char*, short, char*))
API(ISC_STATUS, isc_dsql_execute, (ISC_STATUS*, HND*, HND*, unsigned short, XSQLDA*))
API(ISC_STATUS, isc_dsql_execute2, (ISC_STATUS*, HND*, HND*, unsigned short, XSQLDA*, XSQLDA*))
API(ISC_STATUS, isc_dsql_execute_immediate, (ISC_STATUS*, HND*, HND*, unsigned short, const char*, unsigned short, XSQLDA*))
API(ISC_STATUS, isc_dsql_fetch, (ISC_STATUS*, HND*, unsigned short, XSQLDA*))
API(ISC_STATUS, isc_dsql_free_statement, (ISC_STATUS*, HND*, unsigned short))
API(ISC_STATUS, isc_open_blob2, (ISC_STATUS*, HND*, HND*, HND*, ISC_QUAD*, short, const char*))
API(ISC_STATUS, isc_get_segment, (ISC_STATUS*, HND*, unsigned short*, unsigned short, char*))
API(ISC_STATUS, isc_close_blob, (ISC_STATUS*, HND*))
API(ISC_STATUS, isc_service_attach, (ISC_STATUS*, unsigned short, const char*, HND*, unsigned short, const char*))
API(ISC_STATUS, isc_service_detach, (ISC_STATUS*, HND*))
API(ISC_STATUS, isc_service_start, (ISC_STATUS*, HND*, HND*, unsigned short, const char*))
API(ISC_STATUS, isc_service_query, (ISC_STATUS*, HND*, HND*, unsigned short, const char*, unsigned short, const char*, unsigned short, char*))
API(int, fb_interpret, (char*, unsigned, const ISC_STATUS**))
API(void, fb_sqlstate, (char*, const ISC_STATUS*))

enum { SQL_VARYING = 448, SQL_TEXT = 452, SQL_DOUBLE = 480, SQL_FLOAT = 482, SQL_LONG = 496,
       SQL_SHORT = 500, SQL_TIMESTAMP = 510, SQL_BLOB = 520, SQL_D_FLOAT = 530, SQL_TYPE_TIME = 560,
       SQL_TYPE_DATE = 570, SQL_INT64 = 580 };
enum { STMT_SELECT = 1, STMT_DDL = 5, STMT_EXEC_PROCEDURE = 8, STMT_START_TRANS = 9,
       STMT_COMMIT = 10, STMT_ROLLBACK = 11, STMT_SELECT_FOR_UPD = 12 };

/* ---- state ---- */
static ISC_STATUS st[20];
static HND db, tr, prep; /* prep: statements are prepared where committed DDL shows */
static int echo, bail, list, heading = 1, autoddl = 1, dialect = 3, dialect_set, errors;
static const char* charset;
static char engine_version[64] = "WI-V?";
static const char* input_name; /* -i FILE as given: named in error lines */
static int prev_end_line; /* the line where the last statement ended */

/* /x/y -> Z:\x\y; anything else unchanged. */
static char* win_path(const char* p) {
    char* r = malloc(strlen(p) + 3);
    if (p[0] == '/') {
        sprintf(r, "Z:%s", p);
        for (char* c = r; *c; c++) if (*c == '/') *c = '\\';
    } else {
        strcpy(r, p);
    }
    return r;
}

/* The 2.5 engine creates a file under its name in capitals: on Wine's case-sensitive drive
 * the file is then renamed to the name asked for (two steps: the names are one to Windows). */
static void keep_case(const char* name) {
    if (name[0] != '/') return;
    char* path = win_path(name);
    char* upper = _strdup(path);
    char* tmp = malloc(strlen(path) + 16);
    sprintf(tmp, "%s.ardudf-case", path);
    _strupr(strrchr(upper, '\\') + 1);
    if (strcmp(upper, path) != 0 && MoveFileA(upper, tmp)) MoveFileA(tmp, path);
    free(path);
    free(upper);
    free(tmp);
}

/* The status as isql prints it (statement: the heading with the SQLSTATE), as gbak without. */
static void print_status(FILE* out, int statement) {
    char state[6] = "", buf[1024];
    const ISC_STATUS* v = st;
    fb_sqlstate(state, st);
    if (statement) fprintf(out, "Statement failed, SQLSTATE = %.5s\n", state);
    int at = 0, line = 0, column = 0;
    for (int first = 1; fb_interpret(buf, sizeof buf, &v) > 0; first = 0) {
        fprintf(out, "%s%s\n", first ? "" : "-", buf);
        const char* l = strstr(buf, "line ");
        if (l && sscanf(l, "line %d, column %d", &line, &column) == 2) at = line;
    }
    /* A prepare error points into the statement: isql counts its lines from the end of the
     * last one, as if the statement began on the next line. Anything else follows the last. */
    if (input_name && at > 0)
        fprintf(out, "At line %d in file %s\n", prev_end_line + at, input_name);
    else if (input_name)
        fprintf(out, "After line %d in file %s\n", prev_end_line, input_name);
    errors++;
}

/* Prints the failure of the last call; 1 when the script stops there. */
static int failed(void) {
    fflush(stdout);
    print_status(stderr, 1);
    fflush(stderr);
    return bail;
}

static int attach(const char* name) {
    char dpb[256], *p = dpb;
    *p++ = 1;                         /* isc_dpb_version1 */
    *p++ = 28; *p++ = 6; memcpy(p, "SYSDBA", 6); p += 6; /* isc_dpb_user_name */
    if (charset) { size_t n = strlen(charset); *p++ = 48; *p++ = (char)n; memcpy(p, charset, n); p += n; }
    char* path = win_path(name);
    ISC_STATUS r = isc_attach_database(st, 0, path, &db, (short)(p - dpb), dpb);
    free(path);
    if (r) { db = 0; return 1; }
    if (!dialect_set) { /* the database's own dialect, as isql takes it */
        char item = 62, info[16]; /* isc_info_db_sql_dialect */
        if (!isc_database_info(st, &db, 1, &item, sizeof info, info) && info[0] == 62) dialect = info[3];
    }
    return 0;
}

static int start_tpb(HND* t, const char* tpb, long n) {
    TEB teb = {&db, n, tpb};
    return isc_start_multiple(st, t, 1, &teb) != 0;
}

static int start(HND* t) {
    static const char tpb[] = {3, 9, 2, 6}; /* version3, write, concurrency, wait: isql's */
    return start_tpb(t, tpb, sizeof tpb);
}

static int end_tr(int commit) {
    if (!tr) return 0;
    ISC_STATUS r = commit ? isc_commit_transaction(st, &tr) : isc_rollback_transaction(st, &tr);
    if (!r) tr = 0;
    return r != 0;
}

static void detach(void) {
    if (prep) isc_commit_transaction(st, &prep);
    prep = 0;
    if (db) isc_detach_database(st, &db);
    db = 0;
}

/* ---- values ---- */
static int bytes_per_char(const XSQLVAR* v) {
    switch (v->sqlsubtype & 0xFF) { case 3: return 3; case 4: return 4; case 5: case 6: case 8: return 2; default: return 1; }
}

/* Display width (isql's): the type's, at least the name and "<null>". */
static int width(const XSQLVAR* v) {
    int w, t = v->sqltype & ~1;
    switch (t) {
        case SQL_TEXT: case SQL_VARYING: w = v->sqllen / bytes_per_char(v); break;
        case SQL_SHORT: w = 7; break;
        case SQL_LONG: w = 12; break;
        case SQL_INT64: w = 21; break;
        case SQL_FLOAT: w = 14; break;
        case SQL_DOUBLE: case SQL_D_FLOAT: w = 23; break;
        case SQL_TYPE_DATE: w = 11; break;
        case SQL_TYPE_TIME: w = 13; break;
        case SQL_TIMESTAMP: w = 25; break;
        case SQL_BLOB: w = 17; break;
        default: w = 10;
    }
    if (w < v->aliasname_length) w = v->aliasname_length;
    return w < 6 ? 6 : w;
}

static int is_text(const XSQLVAR* v) { int t = v->sqltype & ~1; return t == SQL_TEXT || t == SQL_VARYING; }
static int left_aligned(const XSQLVAR* v) {
    int t = v->sqltype & ~1;
    return is_text(v) || t == SQL_TYPE_DATE || t == SQL_TYPE_TIME || t == SQL_TIMESTAMP;
}

static void civil(int mjd, int* y, int* m, int* d) { /* days since 1858-11-17 */
    long z = mjd + 678881L, era = (z >= 0 ? z : z - 146096) / 146097; /* days since 0000-03-01 */
    long doe = z - era * 146097, yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    *d = (int)(doy - (153 * mp + 2) / 5 + 1);
    *m = (int)(mp < 10 ? mp + 3 : mp - 9);
    *y = (int)(yoe + era * 400 + (*m <= 2));
}

static int fmt_date(char* o, int days) { int y, m, d; civil(days, &y, &m, &d); return sprintf(o, "%04d-%02d-%02d", y, m, d); }
static int fmt_time(char* o, unsigned t) {
    return sprintf(o, "%02u:%02u:%02u.%04u", t / 36000000, t / 600000 % 60, t / 10000 % 60, t % 10000);
}

static void fmt_scaled(char* o, long long n, int scale) {
    if (scale >= 0) { sprintf(o, "%lld", n); return; }
    unsigned long long a = n < 0 ? 0ULL - (unsigned long long)n : (unsigned long long)n, p = 1;
    for (int i = 0; i < -scale; i++) p *= 10;
    sprintf(o, "%s%llu.%0*llu", n < 0 ? "-" : "", a / p, -scale, a % p);
}

/* The value as text (a pointer into buf or the data), its length in bytes. */
static const char* value(const XSQLVAR* v, char* buf, int* len) {
    const char* d = v->sqldata;
    int t = v->sqltype & ~1;
    if ((v->sqltype & 1) && *v->sqlind < 0) { *len = 6; return "<null>"; }
    switch (t) {
        case SQL_TEXT: { /* a CHAR(n) of a multi-byte set comes padded to its bytes: n characters */
            int bpc = bytes_per_char(v), n = v->sqllen / bpc, i = 0;
            if (bpc > 1)
                for (int c = 0; i < v->sqllen && (c < n || ((unsigned char)d[i] & 0xC0) == 0x80); i++)
                    c += ((unsigned char)d[i] & 0xC0) != 0x80;
            *len = bpc > 1 ? i : v->sqllen;
            return d;
        }
        case SQL_VARYING: *len = *(const unsigned short*)d; return d + 2;
        case SQL_SHORT: fmt_scaled(buf, *(const short*)d, v->sqlscale); break;
        case SQL_LONG: fmt_scaled(buf, *(const int*)d, v->sqlscale); break;
        case SQL_INT64: fmt_scaled(buf, *(const long long*)d, v->sqlscale); break;
        case SQL_FLOAT: sprintf(buf, "%#.8g", *(const float*)d); break;
        case SQL_DOUBLE: case SQL_D_FLOAT: sprintf(buf, "%#.16g", *(const double*)d); break;
        case SQL_TYPE_DATE: fmt_date(buf, *(const int*)d); break;
        case SQL_TYPE_TIME: fmt_time(buf, *(const unsigned*)d); break;
        case SQL_TIMESTAMP: {
            int n = fmt_date(buf, *(const int*)d);
            buf[n] = ' ';
            fmt_time(buf + n + 1, ((const unsigned*)d)[1]);
            break;
        }
        case SQL_BLOB: sprintf(buf, "%x:%x", ((const ISC_QUAD*)d)->high, ((const ISC_QUAD*)d)->low); break;
        default: strcpy(buf, "<unsupported type>");
    }
    *len = (int)strlen(buf);
    return buf;
}

static int chars(const char* s, int n, int bpc) {
    if (bpc == 1) return n;
    int c = 0;
    for (int i = 0; i < n; i++) c += ((unsigned char)s[i] & 0xC0) != 0x80;
    return c;
}

static void print_blob(HND* t, const XSQLVAR* v) {
    if (((v->sqltype & 1) && *v->sqlind < 0) || v->sqlsubtype != 1) return;
    HND blob = 0;
    char seg[4096];
    unsigned short n;
    if (isc_open_blob2(st, &db, t, &blob, (ISC_QUAD*)v->sqldata, 0, NULL)) { failed(); return; }
    while (isc_get_segment(st, &blob, &n, sizeof seg, seg) == 0 || st[1] == 335544366L /* isc_segment */)
        fwrite(seg, 1, n, stdout);
    isc_close_blob(st, &blob);
    putchar('\n');
}

/* What comes before the first row, or before the error of the first fetch: a blank line and
 * in column mode the headings and their rules. */
static void print_heading(XSQLDA* da) {
    putchar('\n');
    if (list || !heading) return;
    for (int i = 0; i < da->sqld; i++) {
        XSQLVAR* v = &da->sqlvar[i];
        printf(is_text(v) ? "%-*.*s " : "%*.*s ", width(v), v->aliasname_length, v->aliasname);
    }
    putchar('\n');
    for (int i = 0; i < da->sqld; i++) {
        for (int w = width(&da->sqlvar[i]); w > 0; w--) putchar('=');
        putchar(' ');
    }
    putchar('\n');
}

static void print_row(HND* t, XSQLDA* da, int first) {
    char buf[128];
    int len;
    if (first) print_heading(da);
    else if (list) putchar('\n'); /* a blank line before each record */
    if (list) {
        for (int i = 0; i < da->sqld; i++) {
            XSQLVAR* v = &da->sqlvar[i];
            const char* s = value(v, buf, &len);
            printf("%-31.*s ", v->aliasname_length, v->aliasname);
            fwrite(s, 1, len, stdout);
            putchar('\n');
            if ((v->sqltype & ~1) == SQL_BLOB) print_blob(t, v);
        }
        putchar('\n');
        return;
    }
    for (int i = 0; i < da->sqld; i++) {
        XSQLVAR* v = &da->sqlvar[i];
        const char* s = value(v, buf, &len);
        int isnull = (v->sqltype & 1) && *v->sqlind < 0, pad = width(v) - chars(s, len, isnull ? 1 : bytes_per_char(v));
        if (!left_aligned(v) || (isnull && !is_text(v))) while (pad-- > 0) putchar(' ');
        fwrite(s, 1, len, stdout);
        while (pad-- > 0) putchar(' ');
        putchar(' ');
    }
    putchar('\n');
    for (int i = 0; i < da->sqld; i++)
        if ((da->sqlvar[i].sqltype & ~1) == SQL_BLOB) {
            puts("==============================================================================");
            printf("%.*s:  \n", da->sqlvar[i].aliasname_length, da->sqlvar[i].aliasname);
            print_blob(t, &da->sqlvar[i]);
            puts("==============================================================================");
        }
}

static XSQLDA* new_da(int n) {
    XSQLDA* da = calloc(1, sizeof(XSQLDA) + (n > 0 ? n - 1 : 0) * sizeof(XSQLVAR));
    da->version = 1;
    da->sqln = (short)(n > 0 ? n : 1);
    return da;
}

/* One SQL statement: 1 when the script stops. */
static int run_sql(const char* sql) {
    HND stmt = 0, ddl = 0, *t = &tr;
    if (!db) {
        fflush(stdout);
        fprintf(stderr, "Statement failed, SQLSTATE = 08003\nDatabase not connected\n");
        errors++;
        return bail;
    }
    /* 2.5 looks a name up in the transaction of the prepare: isql's snapshot would not see
     * what a DDL statement committed since it started. */
    static const char read_committed[] = {3, 8, 15, 17, 6}; /* read, read_committed, rec_version, wait */
    if (!prep && start_tpb(&prep, read_committed, sizeof read_committed)) return failed();
    if (!tr && start(&tr)) return failed();
    XSQLDA* out = new_da(1);
    if (isc_dsql_allocate_statement(st, &db, &stmt)) { free(out); return failed(); }
    int stop = 0, failures = errors;
    if (isc_dsql_prepare(st, &prep, &stmt, 0, sql, (unsigned short)dialect, out)) { stop = failed(); goto done; }
    if (out->sqld > out->sqln) {
        int n = out->sqld;
        free(out);
        out = new_da(n);
        if (isc_dsql_describe(st, &stmt, 1, out)) { stop = failed(); goto done; }
    }
    char item = 21, info[16]; /* isc_info_sql_stmt_type */
    if (isc_dsql_sql_info(st, &stmt, 1, &item, sizeof info, info)) { stop = failed(); goto done; }
    int type = info[3];
    if (type == STMT_DDL && autoddl) { /* isql runs DDL in a transaction of its own and commits it */
        if (start(&ddl)) { stop = failed(); goto done; }
        t = &ddl;
    }
    if (type == STMT_START_TRANS || type == STMT_COMMIT || type == STMT_ROLLBACK) {
        if (type == STMT_START_TRANS && end_tr(1)) { stop = failed(); goto done; }
        if (isc_dsql_execute_immediate(st, &db, &tr, 0, sql, (unsigned short)dialect, NULL)) stop = failed();
        goto done;
    }
    for (int i = 0; i < out->sqld; i++) {
        XSQLVAR* v = &out->sqlvar[i];
        int t2 = v->sqltype & ~1, size = t2 == SQL_VARYING ? v->sqllen + 2 : v->sqllen;
        v->sqldata = calloc(1, size + 8);
        v->sqlind = calloc(1, sizeof(short));
    }
    if (type == STMT_EXEC_PROCEDURE && out->sqld > 0) {
        if (isc_dsql_execute2(st, t, &stmt, 1, NULL, out)) { stop = failed(); goto done; }
        print_row(t, out, 1);
        putchar('\n');
    } else if (type == STMT_SELECT || type == STMT_SELECT_FOR_UPD) {
        if (isc_dsql_execute(st, t, &stmt, 1, NULL)) { stop = failed(); goto done; }
        ISC_STATUS r;
        int rows = 0;
        while ((r = isc_dsql_fetch(st, &stmt, 1, out)) == 0) print_row(t, out, rows++ == 0);
        /* isql has begun the record (or the table) when a fetch fails */
        if (rows == 0 && r != 100) print_heading(out);
        if (rows) putchar('\n');
        if (r != 100) stop = failed();
    } else if (isc_dsql_execute(st, t, &stmt, 1, NULL)) {
        stop = failed();
    }
done:
    if (ddl && (failures != errors || isc_commit_transaction(st, &ddl))) {
        if (failures == errors) stop = failed();
        isc_rollback_transaction(st, &ddl);
    }
    isc_dsql_free_statement(st, &stmt, 2);
    for (int i = 0; i < out->sqld && i < out->sqln; i++) { free(out->sqlvar[i].sqldata); free(out->sqlvar[i].sqlind); }
    free(out);
    fflush(stdout);
    return stop;
}

/* ---- the script ---- */
static char term[16] = ";";

/* Case-insensitive: does s start with the words of w (blanks between them any blanks)? Sets
 * *rest after them. */
static int words(const char* s, const char* w, const char** rest) {
    while (*w) {
        if (*w == ' ') {
            if (!isspace((unsigned char)*s)) return 0;
            while (isspace((unsigned char)*s)) s++;
            w++;
        } else if (toupper((unsigned char)*s++) != *w++) {
            return 0;
        }
    }
    if (isalnum((unsigned char)*s) || *s == '_' || *s == '$') return 0;
    while (isspace((unsigned char)*s)) s++;
    if (rest) *rest = s;
    return 1;
}

static int on_off(const char* rest, int* flag) {
    if (*rest == 0) *flag = !*flag;
    else *flag = words(rest, "ON", NULL);
    return 0;
}

static int create_database(const char* sql) {
    /* The file name in the statement becomes a Windows path; the rest goes as it is. */
    const char* q = strchr(sql, '\'');
    const char* e = q ? strchr(q + 1, '\'') : NULL;
    if (!e) return run_sql(sql);
    char* name = malloc(e - q);
    memcpy(name, q + 1, e - q - 1);
    name[e - q - 1] = 0;
    char* path = win_path(name);
    size_t n = strlen(sql) + strlen(path) + 8;
    char* stmt = malloc(n);
    snprintf(stmt, n, "%.*s'%s'%s", (int)(q - sql), sql, path, e + 1);
    if (tr) end_tr(1);
    detach();
    HND t = 0;
    int stop = 0;
    /* Created through a null handle, then attached again with the connection's character set. */
    if (isc_dsql_execute_immediate(st, &db, &t, 0, stmt, (unsigned short)dialect, NULL)) stop = failed();
    else if (isc_detach_database(st, &db) || (keep_case(name), attach(name))) stop = failed();
    free(name);
    free(path);
    free(stmt);
    return stop;
}

/* One command of the script, its terminator cut off: 1 when the script stops. */
static int command(const char* s) {
    const char* r;
    if (words(s, "SET TERM", &r) || words(s, "SET TERMINATOR", &r)) {
        size_t n = strcspn(r, " \t\r\n");
        if (n == 0 || n >= sizeof term) return 0;
        memcpy(term, r, n);
        term[n] = 0;
        return 0;
    }
    if (words(s, "SET BAIL", &r)) return on_off(r, &bail);
    if (words(s, "SET LIST", &r)) return on_off(r, &list);
    if (words(s, "SET HEADING", &r) || words(s, "SET HEADINGS", &r)) return on_off(r, &heading);
    if (words(s, "SET AUTODDL", &r) || words(s, "SET AUTO", &r)) return on_off(r, &autoddl);
    if (words(s, "SET ECHO", &r)) return on_off(r, &echo);
    if (words(s, "SET SQL DIALECT", &r)) { dialect = atoi(r); dialect_set = 1; return 0; }
    if (words(s, "SET PLAN", &r) || words(s, "SET PLANONLY", &r) || words(s, "SET STATS", &r) ||
        words(s, "SET STATISTICS", &r) || words(s, "SET COUNT", &r) || words(s, "SET WARNINGS", &r))
        return 0;
    if (words(s, "SET NAMES", &r)) {
        static char cs[32];
        snprintf(cs, sizeof cs, "%.*s", (int)strcspn(r, " \t\r\n"), r);
        charset = cs;
        return 0;
    }
    if (words(s, "CREATE DATABASE", &r) || words(s, "CREATE SCHEMA", &r)) return create_database(s);
    if ((words(s, "COMMIT", &r) || words(s, "ROLLBACK", &r)) && (*r == 0 || words(r, "WORK", &r)) && *r == 0) {
        if (end_tr(toupper((unsigned char)s[0]) == 'C')) return failed();
        return 0;
    }
    if (words(s, "EXIT", &r) && *r == 0) { end_tr(1); return 2; }
    if (words(s, "QUIT", &r) && *r == 0) { end_tr(0); return 2; }
    return run_sql(s);
}

static int line_of(const char* text, const char* p) {
    int n = 1;
    for (const char* c = text; c < p; c++) n += *c == '\n';
    return n;
}

/* Reads the commands of text one after the other; with echo, each line is printed as it is
 * read, before the commands that end on it run. */
static int run_script(char* text) {
    char* p = text;
    char* echoed = text; /* the first line not yet printed */
    int stop = 0;
    while (!stop) {
        /* blanks and comments before the command */
        for (;;) {
            while (isspace((unsigned char)*p)) p++;
            if (p[0] == '-' && p[1] == '-') { p += strcspn(p, "\n"); continue; }
            if (p[0] == '/' && p[1] == '*') { char* e = strstr(p + 2, "*/"); p = e ? e + 2 : p + strlen(p); continue; }
            break;
        }
        if (*p == 0) break;
        char* start = p;
        size_t tl = strlen(term);
        while (*p && strncmp(p, term, tl) != 0) {
            if (*p == '\'' || *p == '"') {
                char q = *p++;
                while (*p && !(*p == q && p[1] != q)) p += (*p == q) ? 2 : 1;
                if (*p) p++;
            } else if (p[0] == '-' && p[1] == '-') {
                p += strcspn(p, "\n");
            } else if (p[0] == '/' && p[1] == '*') {
                char* e = strstr(p + 2, "*/");
                p = e ? e + 2 : p + strlen(p);
            } else {
                p++;
            }
        }
        if (*p == 0) { /* no terminator: isql leaves it unexecuted and says so */
            if (echo && *echoed) { fputs(echoed, stdout); if (p[-1] != '\n') putchar('\n'); }
            echoed = p;
            fflush(stdout);
            fprintf(stderr, "Expected end of statement, encountered EOF\n");
            break;
        }
        char* end = p;
        p += tl;
        char* eol = p + strcspn(p, "\n");
        if (echo && eol > echoed) {
            fwrite(echoed, 1, eol - echoed + (*eol == '\n'), stdout);
            if (*eol == 0) putchar('\n');
        }
        if (eol > echoed) echoed = *eol ? eol + 1 : eol;
        char saved = *end;
        *end = 0;
        stop = command(start);
        *end = saved;
        prev_end_line = line_of(text, end);
    }
    if (echo && *echoed && stop != 1) {
        size_t n = strlen(echoed);
        fwrite(echoed, 1, n, stdout);
        if (echoed[n - 1] != '\n') putchar('\n');
    }
    fflush(stdout);
    return stop == 1;
}

static char* read_all(FILE* f) {
    size_t n = 0, cap = 1 << 16;
    char* b = malloc(cap);
    size_t got;
    while ((got = fread(b + n, 1, cap - n - 1, f)) > 0) {
        n += got;
        if (cap - n - 1 == 0) b = realloc(b, cap *= 2);
    }
    b[n] = 0;
    /* CR LF as LF */
    char* w = b;
    for (char* r = b; *r; r++) if (!(*r == '\r' && r[1] == '\n')) *w++ = *r;
    *w = 0;
    return b;
}

/* ---- gbak's work through the services API ---- */
static void spb_text(char** p, char tag, const char* s) {
    size_t n = strlen(s);
    *(*p)++ = tag;
    *(*p)++ = (char)(n & 0xFF);
    *(*p)++ = (char)(n >> 8);
    memcpy(*p, s, n);
    *p += n;
}

static int service(int restore, const char* from, const char* to) {
    char spb[64] = {2, 2, 28, 6, 'S', 'Y', 'S', 'D', 'B', 'A'}; /* version 2, user SYSDBA */
    HND svc = 0;
    if (isc_service_attach(st, 0, "service_mgr", &svc, 10, spb)) { print_status(stderr, 0); return 1; }
    char req[2048], *p = req;
    char* db_path = win_path(restore ? to : from);
    char* file = win_path(restore ? from : to);
    *p++ = restore ? 2 : 1; /* isc_action_svc_restore / backup */
    spb_text(&p, 106, db_path); /* isc_spb_dbname */
    spb_text(&p, 5, file);      /* isc_spb_bkp_file */
    *p++ = 107;                 /* isc_spb_verbose */
    if (restore) { /* isc_spb_options: isc_spb_res_create */
        unsigned o = 0x2000;
        *p++ = 108; memcpy(p, &o, 4); p += 4;
    }
    int rc = 0;
    if (isc_service_start(st, &svc, NULL, (unsigned short)(p - req), req)) {
        print_status(stderr, 0);
        rc = 1;
    } else {
        /* The verbose lines until an empty one; a failure comes back in the status. */
        char ask = 63, buf[8192]; /* isc_info_svc_line */
        for (;;) {
            if (isc_service_query(st, &svc, NULL, 0, NULL, 1, &ask, sizeof buf, buf)) { print_status(stderr, 0); rc = 1; break; }
            if (buf[0] != 63) break;
            unsigned n = (unsigned char)buf[1] | (unsigned char)buf[2] << 8;
            if (n == 0) break;
            printf("%.*s\n", (int)n, buf + 3);
            if (strstr(buf + 3, "ERROR:")) rc = 1;
        }
    }
    isc_service_detach(st, &svc);
    if (restore && rc == 0) keep_case(to);
    free(db_path);
    free(file);
    fflush(stdout);
    return rc;
}

/* ---- the engine ---- */
static int load_engine(void) {
    /* The engine reads its root from FIREBIRD (and FIREBIRD_LOCK, FIREBIRD_TMP): Windows paths. */
    static const char* vars[] = {"FIREBIRD", "FIREBIRD_LOCK", "FIREBIRD_TMP"};
    for (int i = 0; i < 3; i++) {
        const char* v = getenv(vars[i]);
        if (v && v[0] == '/') {
            char* w = win_path(v);
            SetEnvironmentVariableA(vars[i], w);
            char* e = malloc(strlen(w) + 32);
            sprintf(e, "%s=%s", vars[i], w);
            _putenv(e);
            free(w);
        }
    }
    char dir[MAX_PATH], dll[MAX_PATH + 16];
    const char* kit = getenv("ARDUDF_FB25_KIT");
    if (kit && *kit) {
        char* w = win_path(kit);
        snprintf(dir, sizeof dir, "%s", w);
        free(w);
    } else {
        GetModuleFileNameA(NULL, dir, sizeof dir);
        char* slash = strrchr(dir, '\\');
        if (slash) *slash = 0;
    }
    /* ib_util.dll and the runtime beside fbembed.dll: found by name, by the engine and the UDFs. */
    SetDllDirectoryA(dir);
    snprintf(dll, sizeof dll, "%s\\fbembed.dll", dir);
    HMODULE m = LoadLibraryExA(dll, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!m) { fprintf(stderr, "isql25: cannot load %s (error %lu)\n", dll, GetLastError()); return 1; }
    /* isc_get_client_version answers the compatible InterBase version (6.3): the file's
     * own version is the release. */
    DWORD h, n = GetFileVersionInfoSizeA(dll, &h);
    void* info = n ? malloc(n) : NULL;
    VS_FIXEDFILEINFO* f;
    UINT fl;
    if (info && GetFileVersionInfoA(dll, 0, n, info) && VerQueryValueA(info, "\\", (void**)&f, &fl))
        snprintf(engine_version, sizeof engine_version, "WI-V%lu.%lu.%lu.%lu Firebird %lu.%lu",
                 f->dwFileVersionMS >> 16, f->dwFileVersionMS & 0xFFFF, f->dwFileVersionLS >> 16,
                 f->dwFileVersionLS & 0xFFFF, f->dwFileVersionMS >> 16, f->dwFileVersionMS & 0xFFFF);
    free(info);
#define LOAD(name) if (!(name = (name##_fn)(void (*)(void))GetProcAddress(m, #name))) { fprintf(stderr, "isql25: %s lacks %s\n", dll, #name); return 1; }
    LOAD(isc_attach_database) LOAD(isc_detach_database) LOAD(isc_database_info) LOAD(isc_start_multiple)
    LOAD(isc_commit_transaction) LOAD(isc_rollback_transaction) LOAD(isc_dsql_allocate_statement)
    LOAD(isc_dsql_prepare) LOAD(isc_dsql_describe) LOAD(isc_dsql_sql_info) LOAD(isc_dsql_execute)
    LOAD(isc_dsql_execute2) LOAD(isc_dsql_execute_immediate) LOAD(isc_dsql_fetch)
    LOAD(isc_dsql_free_statement) LOAD(isc_open_blob2) LOAD(isc_get_segment) LOAD(isc_close_blob)
    LOAD(isc_service_attach) LOAD(isc_service_detach) LOAD(isc_service_start) LOAD(isc_service_query)
    LOAD(fb_interpret) LOAD(fb_sqlstate)
    return 0;
}

static int usage(void) {
    fprintf(stderr, "usage: ardudf_isql25 [-q] [-e] [-m] [-b] [-z] [-ch CHARSET] [-i FILE] [-s DIALECT] [DATABASE]\n"
                    "       ardudf_isql25 -backup DATABASE FILE | -restore FILE DATABASE\n");
    return 2;
}

static int opt(const char* a, const char* name, size_t min) { /* isql's abbreviations */
    size_t n = strlen(a + 1);
    return a[0] == '-' && n >= min && n <= strlen(name) && _strnicmp(a + 1, name, n) == 0;
}

int main(int argc, char** argv) {
    const char* database = NULL;
    const char* input = NULL;
    int version = 0, merge = 0;
    setvbuf(stdout, NULL, _IOFBF, 1 << 16);
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        int more = i + 1 < argc;
        if ((strcmp(a, "-backup") == 0 || strcmp(a, "-restore") == 0) && i + 3 == argc) {
            if (load_engine()) return 1;
            return service(a[1] == 'r', argv[i + 1], argv[i + 2]);
        }
        if (opt(a, "quiet", 1)) continue;
        else if (opt(a, "echo", 1)) echo = 1;
        else if (opt(a, "merge", 1)) merge = 1;
        else if (opt(a, "bail", 1)) bail = 1;
        else if (opt(a, "z", 1)) version = 1;
        else if (opt(a, "charset", 2) && more) charset = argv[++i];
        else if (opt(a, "input", 1) && more) input = argv[++i];
        else if (opt(a, "sqldialect", 1) && more) { dialect = atoi(argv[++i]); dialect_set = 1; }
        else if ((opt(a, "user", 1) || opt(a, "password", 1) || opt(a, "role", 1)) && more) i++;
        else if (a[0] != '-' && !database) database = a;
        else return usage();
    }
    if (merge) _dup2(fileno(stdout), fileno(stderr)); /* errors in the order of the output */
    if (load_engine()) return 1;
    if (version) printf("ISQL Version: %s\n", engine_version);
    FILE* in = stdin;
    if (input && !(in = fopen(win_path(input), "rb"))) {
        fprintf(stderr, "Unable to open %s\n", input);
        return 1;
    }
    input_name = input;
    char* text = read_all(in);
    if (database && attach(database)) {
        print_status(stderr, 1);
        return 1;
    }
    int stopped = run_script(text);
    if (stopped) end_tr(0);
    else if (end_tr(1)) print_status(stderr, 1);
    detach();
    fflush(stdout);
    return stopped || errors ? 1 : 0;
}
