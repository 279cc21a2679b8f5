// Day serials: a double of whole days since 1899-12-30 00:00 plus the elapsed fraction of
// the day (0.5 is noon), linear on both sides of the origin (-0.25 is 1899-12-29 18:00).
// A day serial is a wall-clock date and time; no time zone enters anywhere.
//
// Every conversion passes through the platform's tick count (platform/clock.h):
//   serial -> ticks: trunc(serial * 10,000,000 * 86,400 + E), each step a double
//                    operation in that order, truncated toward zero, never rounded;
//   ticks -> serial: double(ticks - E) / 10,000,000 / 86,400,
// with E = 94,353,120,000,000,000, the tick count of 1899-12-30 00:00. Adding E before
// truncating is what makes 1/3 decode to 08:00:00.000 rather than 07:59:59.999.
//
// Domain: day serials whose tick sum lies in 0 .. 2^63-1 (-109205.0, 1601-01-01, up to
// about 10565994.1, 30828-09-14), and dates 1601-01-01 .. 30827-12-31.
// Outside it, one fixed answer for the whole library, so that no double is ever converted
// to an integer it does not fit (NaN, infinities, 1e300, -109206.0, ...):
//   - a day serial decodes to calendar fields that are all 0 (year 0, month 0, day 0,
//     00:00:00.000, wDayOfWeek 0); the field exports return 0, ib_dayofweek included;
//   - a date that does not exist (2023-02-29, month 13, day 0, years 1600 or 30828 after
//     the 16-bit narrowing) encodes to 0.0;
//   - ib_datetostring formats the fields as 0 (DD.MM.YYYY gives 0.0.0, YY gives 00).
#pragma once

#include "platform/clock.h"

#include <cstdint>

namespace ardudf::calendar {

using platform::SystemTime;

// The tick count of 1899-12-30 00:00:00.000, day serial 0.0 (109,205 days after 1601).
inline constexpr std::int64_t origin_ticks = 94'353'120'000'000'000;

// The day serial of the fields, fraction included (wDayOfWeek ignored); 0.0 for fields
// that name no date and time.
double serial_from_systemtime(const SystemTime& fields) noexcept;

// All eight fields of a day serial, day of the week included; every field 0 outside the
// domain. Milliseconds are truncated: 0.999999 is 23:59:59.913.
SystemTime systemtime_from_serial(double serial) noexcept;

// The fields of a day serial that the field functions of both modules return.
struct Date {
    std::int32_t year = 0, month = 0, day = 0;
};
struct TimeOfDay {
    std::int32_t hour = 0, minute = 0, second = 0;
};

// The year, month and day (or hour, minute and second) of systemtime_from_serial: all 0
// outside the domain.
Date decode_date(double serial) noexcept;
TimeOfDay decode_time(double serial) noexcept;

// The whole day serial of 00:00 on the date. Each argument counts by its low 16 bits only
// (67560 is 2024); 0.0 for a date that does not exist.
double encode_date(std::int32_t year, std::int32_t month, std::int32_t day) noexcept;

// The current local date and time, to the millisecond.
double current_serial() noexcept;

// serial_from_systemtime of the clock's fields, bit for bit; quicker when the thread's
// previous call was in the same second (only the milliseconds are added then).
double serial_of_clock_fields(const SystemTime& fields) noexcept;

// Gregorian rule over every int32 (0 and -400 are leap years, -100 is not): 1 or 0.
std::int32_t is_leap_year(std::int32_t year) noexcept;

// Days of the month; 30 for a month outside 1 .. 12.
std::int32_t days_in_month(std::int32_t year, std::int32_t month) noexcept;

// The day of the week, 1 = Sunday .. 7 = Saturday; 0 outside the domain.
std::int32_t day_of_week(double serial) noexcept;

// The whole day serial of the first day after the ten-day period of the date (days 1-10,
// 11-20, 21-end of month); 0.0 outside the domain.
double end_of_decade(double serial) noexcept;

} // namespace ardudf::calendar
