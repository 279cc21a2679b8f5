/* ardudf - external SQL functions for Firebird / InterBase. Generated from the catalogue
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

/* ---- value functions ---- */
ARDUDF_API int32_t ib_string_length(const char* text) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_uniqueid(const int32_t* len) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_isnotnull(const char* text) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_convchartoint(const char* text) ARDUDF_NOEXCEPT;
ARDUDF_API double ib_greatest(const double* a, const double* b) ARDUDF_NOEXCEPT;
ARDUDF_API double ib_least(const double* a, const double* b) ARDUDF_NOEXCEPT;
ARDUDF_API char* ardudf_version(void) ARDUDF_NOEXCEPT;

/* ---- text functions ---- */
ARDUDF_API char* ib_string_left(const char* text, const int32_t* len) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_string_right(const char* text, const int32_t* len) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_lpad(const char* text, const int32_t* len, const char* pad) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_reversestring(const char* text) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_quote_literal(const char* text) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_find_token(const char* text, const char* part) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_get_token(const char* text, const char* delimiters) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_delete_token(const char* text, const char* delimiters) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_gets_u2_prefix(const char* flag1, const char* flag2) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_gets_u_prefix(const char* flag) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_correct_phone_number(const char* text) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_remove_diacritics(const char* text) ARDUDF_NOEXCEPT;

/* ---- calendar: a date is a day serial, days since 1899-12-30 plus the day fraction ---- */
/* Supported: day serials -109205.0 (1601-01-01) to about 10565994.1 (30828-09-14) and
 * dates 1601-01-01 to 30827-12-31, in the Gregorian calendar, without a time zone. Outside
 * that (NaN, infinities, 1e300, -109206.0, or a date that does not exist such as
 * 2023-02-29) every decoded field is 0 (ib_dayofweek too), ib_encodedate and
 * ib_endofdecade give 0.0, and ib_datetostring formats the fields as 0 (DD.MM.YYYY gives
 * 0.0.0, YY gives 00). Times of day are truncated to the millisecond, never rounded. */
ARDUDF_API int32_t ib_dayofweek(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_decodedate_year(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_decodedate_month(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_decodedate_day(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_decodetime_hour(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_decodetime_min(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_decodetime_sec(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API double ib_encodedate(const int32_t* year_num, const int32_t* month_num,
                                const int32_t* day_num) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_isleapyear(const int32_t* year_num) ARDUDF_NOEXCEPT;
ARDUDF_API double ib_endofdecade(const double* serial) ARDUDF_NOEXCEPT;
ARDUDF_API double ib_current_time(void) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_datetostring(const double* serial, const char* pattern) ARDUDF_NOEXCEPT;

/* ---- settlement balance engine: a context is named by the handle from ib_scbcreate ---- */
ARDUDF_API int32_t ib_scbcreate(void) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_scbaddrow(const int32_t* handle, const char* row_type, const double* amount,
                                const double* vat) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_scbstartcreditnote(const int32_t* handle) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_scbisaffectedrows(const int32_t* handle) ARDUDF_NOEXCEPT;
ARDUDF_API char* ib_scbreadtype(const int32_t* handle) ARDUDF_NOEXCEPT;
ARDUDF_API double ib_scbreadamount(const int32_t* handle) ARDUDF_NOEXCEPT;
ARDUDF_API double ib_scbreadvat(const int32_t* handle) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_scbclear(const int32_t* handle) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_scbfree(const int32_t* handle) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_scbaddpayment(const int32_t* handle, const double* amount) ARDUDF_NOEXCEPT;
ARDUDF_API int32_t ib_scbaddcreditnote(const int32_t* handle, const char* row_type, const double* amount,
                                       const double* vat) ARDUDF_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
