// The calendar exports: thin readers of the server's arguments over calendar/serial.h and
// calendar/format.h. A null argument pointer reads as 0 (the day serial of 1899-12-30).
// A day serial or a date outside the supported range gives 0 (0.0 for a date result); see
// calendar/serial.h.
#include "ardudf/ardudf.h"
#include "core/calendar/format.h"
#include "core/calendar/serial.h"
#include "legacy/arguments.h"
#include "legacy/result.h"

#include <string>

namespace {

using namespace ardudf::calendar;

using ardudf::legacy::read_int;
double read_serial(const double* serial) noexcept { return ardudf::legacy::read_double(serial); }

} // namespace

// The day of the week, 1 = Sunday .. 7 = Saturday; the time of day plays no part.
// 0 for a day serial outside the supported range.
extern "C" std::int32_t ib_dayofweek(const double* serial) noexcept { return day_of_week(read_serial(serial)); }

// The year of the date (1601 .. 30828).
// 0 for a day serial outside the supported range.
extern "C" std::int32_t ib_decodedate_year(const double* serial) noexcept {
    return decode_date(read_serial(serial)).year;
}

// The month of the date, 1 .. 12.
// 0 for a day serial outside the supported range.
extern "C" std::int32_t ib_decodedate_month(const double* serial) noexcept {
    return decode_date(read_serial(serial)).month;
}

// The day of the month, 1 .. 31.
// 0 for a day serial outside the supported range.
extern "C" std::int32_t ib_decodedate_day(const double* serial) noexcept {
    return decode_date(read_serial(serial)).day;
}

// The hour of the time of day, 0 .. 23.
// 0 for a day serial outside the supported range.
extern "C" std::int32_t ib_decodetime_hour(const double* serial) noexcept {
    return decode_time(read_serial(serial)).hour;
}

// The minute of the time of day, 0 .. 59.
// 0 for a day serial outside the supported range.
extern "C" std::int32_t ib_decodetime_min(const double* serial) noexcept {
    return decode_time(read_serial(serial)).minute;
}

// The second of the time of day, 0 .. 59; milliseconds are dropped (12:00:59.999 gives 59).
// 0 for a day serial outside the supported range.
extern "C" std::int32_t ib_decodetime_sec(const double* serial) noexcept {
    return decode_time(read_serial(serial)).second;
}

// The whole day serial of year-month-day 00:00; each argument counts by its low 16 bits.
// 0.0 for a date that does not exist (2023-02-29, month 13, day 0, year 1600).
extern "C" double ib_encodedate(const std::int32_t* year_num, const std::int32_t* month_num,
                                const std::int32_t* day_num) noexcept {
    return encode_date(read_int(year_num), read_int(month_num), read_int(day_num));
}

// 1 for a leap year of the Gregorian calendar, else 0.
// Every int32 is a year: 0 and -4 are leap years, -100 is not.
extern "C" std::int32_t ib_isleapyear(const std::int32_t* year_num) noexcept {
    return is_leap_year(read_int(year_num));
}

// The whole day serial of the first day after the date's ten-day period (days 1-10, 11-20,
// 21-end of month); the time of day plays no part. 0.0 outside the supported range.
extern "C" double ib_endofdecade(const double* serial) noexcept { return end_of_decade(read_serial(serial)); }

// The current local wall-clock date and time as a day serial, to the millisecond.
// Takes no argument.
extern "C" double ib_current_time(void) noexcept { return current_serial(); }

// The pattern with YYYY, YYY/YY/Y, MM/M and DD/D (any case, inside words too) replaced by
// the date's numbers; "" for an empty or NULL pattern. Fields 0 outside the supported range;
// NULL when no memory is left for the working copy or the result.
extern "C" char* ib_datetostring(const double* serial, const char* pattern) noexcept {
    try {
        const std::string text = format_date(read_serial(serial), pattern != nullptr ? pattern : "");
        return ardudf::legacy::copy_result(text);
    } catch (...) {
        return nullptr; // the working text is already released by the unwinding
    }
}
