// The calendar functions of the UDR module, over the routines of src/calendar. Day serials
// are DOUBLE PRECISION as in the legacy declarations; a NULL argument gives NULL.
#include "udr/routine.h"

#include "core/calendar/format.h"
#include "core/calendar/serial.h"

#include <new>
#include <string>

using namespace ardudf::udr;
namespace calendar = ardudf::calendar;

// One DOUBLE PRECISION day serial in, one INTEGER field out.
#define ARDUDF_SERIAL_FIELD(name, expression)                                   \
    FB_UDR_BEGIN_FUNCTION(name)                                                \
        FB_UDR_MESSAGE(InMessage, (FB_DOUBLE, date));                          \
        FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));                      \
        FB_UDR_EXECUTE_FUNCTION {                                              \
            (void)status, (void)context;                                       \
            if (in->dateNull) return set_null(out->resultNull);                \
            const double serial = in->date;                                    \
            set_value(out->result, out->resultNull, static_cast<ISC_LONG>(expression)); \
        }                                                                      \
    FB_UDR_END_FUNCTION

namespace {
std::int32_t year_of(double s) noexcept { std::int32_t y, m, d; calendar::decode_date(s, y, m, d); return y; }
std::int32_t month_of(double s) noexcept { std::int32_t y, m, d; calendar::decode_date(s, y, m, d); return m; }
std::int32_t day_of(double s) noexcept { std::int32_t y, m, d; calendar::decode_date(s, y, m, d); return d; }
std::int32_t hour_of(double s) noexcept { std::int32_t h, m, x; calendar::decode_time(s, h, m, x); return h; }
std::int32_t minute_of(double s) noexcept { std::int32_t h, m, x; calendar::decode_time(s, h, m, x); return m; }
std::int32_t second_of(double s) noexcept { std::int32_t h, m, x; calendar::decode_time(s, h, m, x); return x; }
} // namespace

// ib_dayofweek(date DOUBLE PRECISION) RETURNS INTEGER: 1 = Sunday .. 7 = Saturday
ARDUDF_SERIAL_FIELD(ib_dayofweek, calendar::day_of_week(serial))
// ib_decodedate_year / _month / _day(date DOUBLE PRECISION) RETURNS INTEGER
ARDUDF_SERIAL_FIELD(ib_decodedate_year, year_of(serial))
ARDUDF_SERIAL_FIELD(ib_decodedate_month, month_of(serial))
ARDUDF_SERIAL_FIELD(ib_decodedate_day, day_of(serial))
// ib_decodetime_hour / _min / _sec(date DOUBLE PRECISION) RETURNS INTEGER
ARDUDF_SERIAL_FIELD(ib_decodetime_hour, hour_of(serial))
ARDUDF_SERIAL_FIELD(ib_decodetime_min, minute_of(serial))
ARDUDF_SERIAL_FIELD(ib_decodetime_sec, second_of(serial))

// ib_encodedate(year INTEGER, month INTEGER, day INTEGER) RETURNS DOUBLE PRECISION
FB_UDR_BEGIN_FUNCTION(ib_encodedate)
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, year)(FB_INTEGER, month)(FB_INTEGER, day));
    FB_UDR_MESSAGE(OutMessage, (FB_DOUBLE, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->yearNull || in->monthNull || in->dayNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, calendar::encode_date(in->year, in->month, in->day));
    }
FB_UDR_END_FUNCTION

// ib_isleapyear(year INTEGER) RETURNS INTEGER
FB_UDR_BEGIN_FUNCTION(ib_isleapyear)
    FB_UDR_MESSAGE(InMessage, (FB_INTEGER, year));
    FB_UDR_MESSAGE(OutMessage, (FB_INTEGER, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->yearNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, static_cast<ISC_LONG>(calendar::is_leap_year(in->year)));
    }
FB_UDR_END_FUNCTION

// ib_endofdecade(date DOUBLE PRECISION) RETURNS DOUBLE PRECISION
FB_UDR_BEGIN_FUNCTION(ib_endofdecade)
    FB_UDR_MESSAGE(InMessage, (FB_DOUBLE, date));
    FB_UDR_MESSAGE(OutMessage, (FB_DOUBLE, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context;
        if (in->dateNull) return set_null(out->resultNull);
        set_value(out->result, out->resultNull, calendar::end_of_decade(in->date));
    }
FB_UDR_END_FUNCTION

// ib_current_time() RETURNS DOUBLE PRECISION: the local wall clock, to the millisecond.
FB_UDR_BEGIN_FUNCTION(ib_current_time)
    FB_UDR_MESSAGE(OutMessage, (FB_DOUBLE, result));
    FB_UDR_EXECUTE_FUNCTION {
        (void)status, (void)context, (void)in;
        set_value(out->result, out->resultNull, calendar::current_serial());
    }
FB_UDR_END_FUNCTION

// ib_datetostring(date DOUBLE PRECISION, pattern VARCHAR(255)) RETURNS VARCHAR(512)
FB_UDR_BEGIN_FUNCTION(ib_datetostring)
    ARDUDF_DECLARED_MESSAGES("ib_datetostring")
    FB_UDR_EXECUTE_FUNCTION {
        (void)context;
        const auto a = args(in);
        if (a.any_null()) return result(out).null();
        std::string text;
        try {
            text = calendar::format_date(a.float64(0), a.text(1));
        } catch (const std::bad_alloc&) {
            raise_no_memory(status);
        }
        result(out).text(status, text);
    }
FB_UDR_END_FUNCTION
