// Tick counts, day serials and the calendar rules, checked against vectors and against a
// days-from-civil formula written here, independent of <chrono>.
#include "core/calendar/serial.h"
#include "platform/clock.h"

#include <cstring>
#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <limits>

namespace {

using namespace ardudf::calendar;
using ardudf::platform::FileTime;
using ardudf::platform::SystemTime;
namespace platform = ardudf::platform;

constexpr std::uint64_t day_ticks = 864'000'000'000;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
constexpr std::int64_t days_from_civil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}
constexpr std::int64_t serial_day(std::int64_t y, unsigned m, unsigned d) {
    return days_from_civil(y, m, d) - days_from_civil(1899, 12, 30);
}

std::string text(const SystemTime& f) {
    char out[64];
    std::snprintf(out, sizeof out, "%d-%02d-%02d %02d:%02d:%02d.%03d dow %d", f.wYear, f.wMonth, f.wDay, f.wHour,
                  f.wMinute, f.wSecond, f.wMilliseconds, f.wDayOfWeek);
    return out;
}
SystemTime fields(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0, int dow = 0) {
    auto u = [](int v) { return static_cast<std::uint16_t>(v); };
    return {u(y), u(mo), u(dow), u(d), u(h), u(mi), u(s), u(ms)};
}

// ---- the platform layer -------------------------------------------------------------

struct ToTicksCase {
    SystemTime in;
    std::uint64_t ticks;
};
TEST(CalendarPlatform, FieldsToTicks) {
    const ToTicksCase cases[] = {
        {fields(1601, 1, 1), 0},
        {fields(1601, 1, 1, 0, 0, 0, 1), 10'000},
        {fields(1899, 12, 30), origin_ticks},                // the origin held in serial.h
        {fields(1899, 12, 30, 0, 0, 0, 0, 3), origin_ticks}, // wDayOfWeek is ignored
        {fields(2024, 3, 5, 13, 37, 12, 345),
         static_cast<std::uint64_t>(days_from_civil(2024, 3, 5) - days_from_civil(1601, 1, 1)) * day_ticks +
             49'032'345ull * 10'000},
        {fields(30827, 12, 31, 23, 59, 59, 999), 10'674'941ull * day_ticks + 86'399'999ull * 10'000},
    };
    for (const auto& c : cases) {
        FileTime out{1, 1};
        ASSERT_TRUE(platform::system_time_to_file_time(c.in, out)) << text(c.in);
        EXPECT_EQ(platform::ticks_of(out), c.ticks) << text(c.in);
    }
}

TEST(CalendarPlatform, FieldsThatNameNoInstantFail) {
    const SystemTime cases[] = {
        fields(1600, 12, 31),
        fields(30828, 1, 1),
        fields(0, 1, 1),
        fields(2023, 0, 1),
        fields(2023, 13, 1),
        fields(2023, 1, 0),
        fields(2023, 1, 32),
        fields(2023, 2, 29),
        fields(1900, 2, 29),
        fields(2024, 4, 31),
        fields(2023, 1, 1, 24),
        fields(2023, 1, 1, 0, 60),
        fields(2023, 1, 1, 0, 0, 60),
        fields(2023, 1, 1, 0, 0, 0, 1000),
        fields(65535, 65535, 65535, 65535, 65535, 65535, 65535),
        fields(2023, 257, 1),
        fields(2023, 1, 271), // 1 and 15 in their low byte
    };
    for (const auto& c : cases) {
        FileTime out{7, 7};
        EXPECT_FALSE(platform::system_time_to_file_time(c, out)) << text(c);
        EXPECT_EQ(platform::ticks_of(out), (7ull << 32) | 7) << "written on failure: " << text(c);
    }
}

struct ToFieldsCase {
    std::uint64_t ticks;
    SystemTime out;
};
TEST(CalendarPlatform, TicksToFields) {
    const ToFieldsCase cases[] = {
        {0, fields(1601, 1, 1, 0, 0, 0, 0, 1)},     // a Monday
        {9'999, fields(1601, 1, 1, 0, 0, 0, 0, 1)}, // below a millisecond: dropped
        {10'000, fields(1601, 1, 1, 0, 0, 0, 1, 1)},
        {day_ticks - 1, fields(1601, 1, 1, 23, 59, 59, 999, 1)},
        {origin_ticks, fields(1899, 12, 30, 0, 0, 0, 0, 6)},
        {(1ull << 63) - 1, fields(30828, 9, 14, 2, 48, 5, 477, 4)}, // the largest count
    };
    for (const auto& c : cases) {
        SystemTime out{};
        ASSERT_TRUE(platform::file_time_to_system_time(platform::file_time_of(c.ticks), out)) << c.ticks;
        EXPECT_EQ(text(out), text(c.out)) << c.ticks;
    }
    for (std::uint64_t bad : {1ull << 63, ~0ull}) {
        SystemTime out = fields(1, 2, 3, 4, 5, 6, 7, 1);
        EXPECT_FALSE(platform::file_time_to_system_time(platform::file_time_of(bad), out)) << bad;
        EXPECT_EQ(text(out), text(fields(1, 2, 3, 4, 5, 6, 7, 1))) << "written on failure";
    }
}

// ---- day serials ----------------------------------------------------------------------

struct EncodeCase {
    int y, m, d;
    double serial;
};
TEST(CalendarSerial, EncodeDate) {
    const EncodeCase cases[] = {
        {1899, 12, 30, 0.0},
        {1900, 1, 1, 2.0},
        {1900, 3, 1, 61.0}, // 1900 has no 29 February
        {2000, 1, 1, 36526.0},
        {2024, 2, 29, 45351.0},
        {2024, 3, 5, 45356.0},
        {1899, 12, 29, -1.0},
        {1601, 1, 1, -109205.0},
        {30827, 12, 31, 10565736.0},
        // only the low 16 bits of each argument count
        {67560, 3, 5, 45356.0},
        {2024, 65539, 5, 45356.0},
        {2024, 3, 65541, 45356.0},
        // dates that do not exist: 0.0
        {2023, 2, 29, 0.0},
        {2023, 13, 1, 0.0},
        {2023, 0, 1, 0.0},
        {2023, 1, 0, 0.0},
        {1600, 12, 31, 0.0},
        {30828, 1, 1, 0.0},
        {-1, 1, 1, 0.0},
        {INT_MIN, INT_MIN, INT_MIN, 0.0},
        {INT_MAX, INT_MAX, INT_MAX, 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(encode_date(c.y, c.m, c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
}

struct DecodeCase {
    double serial;
    SystemTime out;
};
TEST(CalendarSerial, SystemtimeFromSerial) {
    const DecodeCase cases[] = {
        {0.0, fields(1899, 12, 30, 0, 0, 0, 0, 6)},
        {1.0, fields(1899, 12, 31, 0, 0, 0, 0, 0)},
        {-1.0, fields(1899, 12, 29, 0, 0, 0, 0, 5)},
        {-0.25, fields(1899, 12, 29, 18, 0, 0, 0, 5)}, // a quarter day before the origin
        {45356.5675, fields(2024, 3, 5, 13, 37, 12, 0, 2)},
        {45356.99, fields(2024, 3, 5, 23, 45, 36, 0, 2)},
        {1.0 / 3.0, fields(1899, 12, 30, 8, 0, 0, 0, 6)}, // E added before truncation
        {2.0 / 3.0, fields(1899, 12, 30, 16, 0, 0, 0, 6)},
        {0.999999, fields(1899, 12, 30, 23, 59, 59, 913, 6)}, // 86,399.9136 s: truncated
        {-109205.0, fields(1601, 1, 1, 0, 0, 0, 0, 1)},
        {10565736.0, fields(30827, 12, 31, 0, 0, 0, 0, 5)},
        {10565994.1, fields(30828, 9, 14, 2, 24, 0, 0, 4)},
        // outside the domain: every field 0
        {-109205.001, SystemTime{}},
        {-109206.0, SystemTime{}},
        {10565994.2, SystemTime{}},
        {1e300, SystemTime{}},
        {-1e300, SystemTime{}},
        {std::numeric_limits<double>::max(), SystemTime{}},
        {std::numeric_limits<double>::infinity(), SystemTime{}},
        {-std::numeric_limits<double>::infinity(), SystemTime{}},
        {std::numeric_limits<double>::quiet_NaN(), SystemTime{}},
        {-std::numeric_limits<double>::quiet_NaN(), SystemTime{}},
    };
    for (const auto& c : cases) EXPECT_EQ(text(systemtime_from_serial(c.serial)), text(c.out)) << c.serial;
}

struct FromFieldsCase {
    SystemTime in;
    double serial;
};
TEST(CalendarSerial, SerialFromSystemtime) {
    const FromFieldsCase cases[] = {
        {fields(2024, 3, 5, 12), 45356.5}, {fields(1899, 12, 29, 18), -0.25},
        {fields(1601, 1, 1), -109205.0},   {fields(1899, 12, 30, 6, 0, 0, 0, 3), 0.25}, // wDayOfWeek ignored
        {fields(2023, 2, 29), 0.0},        {fields(2024, 3, 5, 24), 0.0},               // no such instant
    };
    for (const auto& c : cases) EXPECT_EQ(serial_from_systemtime(c.in), c.serial) << text(c.in);
}

// Every whole second of a day decodes to exactly that second, and encodes back to the
// same serial.
TEST(CalendarSerial, EveryWholeSecondOfADay) {
    for (int s = 0; s < 86400; ++s) {
        const double serial = 45356 + s / 86400.0;
        const SystemTime f = systemtime_from_serial(serial);
        ASSERT_EQ(text(f), text(fields(2024, 3, 5, s / 3600, s / 60 % 60, s % 60, 0, 2))) << s;
        ASSERT_EQ(serial_from_systemtime(f), serial) << s;
    }
}

// Every day from 1601-01-01 to 30827-12-31: the serial rises by one a day, encodes and
// decodes to the same date and the day of the week cycles (under a second by default,
// about 7 s under the sanitizers).
TEST(CalendarSerial, EveryDayOfTheRange) {
    std::int64_t expected = -109205;
    for (int y = 1601; y <= 30827; ++y) {
        for (unsigned m = 1; m <= 12; ++m) {
            const unsigned length = m == 2 ? 28 + is_leap_year(y) : 30 + ((m + m / 8) & 1);
            for (unsigned d = 1; d <= length; ++d, ++expected) {
                ASSERT_EQ(serial_day(y, m, d), expected) << y << "-" << m << "-" << d;
                ASSERT_EQ(encode_date(y, static_cast<int>(m), static_cast<int>(d)), static_cast<double>(expected))
                    << y << "-" << m << "-" << d;
                const SystemTime f = systemtime_from_serial(static_cast<double>(expected));
                const auto dow = static_cast<std::uint16_t>(((expected % 7) + 13) % 7); // 0.0 is a Saturday
                ASSERT_TRUE(f.wYear == y && f.wMonth == m && f.wDay == d && f.wDayOfWeek == dow && f.wHour == 0 &&
                            f.wMinute == 0 && f.wSecond == 0 && f.wMilliseconds == 0)
                    << expected << ": " << text(f);
            }
        }
    }
    EXPECT_EQ(expected, 10565736 + 1);
}

TEST(CalendarSerial, CurrentSerialIsTheLocalWallClock) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    ASSERT_EQ(localtime_s(&local, &now), 0);
#else
    ASSERT_NE(localtime_r(&now, &local), nullptr);
#endif
    const double expected = serial_day(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                                       static_cast<unsigned>(local.tm_mday)) +
                            (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    EXPECT_NEAR(current_serial(), expected, 2.0 / 86400);
}

// The clock's conversion keeps the tick count of the last second: a run of readings as the
// clock gives them (same second, the next, a new day, back again, an impossible field) must
// convert exactly as serial_from_systemtime does.
TEST(CalendarSerial, ClockFieldsConvertLikeAnyFields) {
    const SystemTime readings[] = {
        {2024, 2, 4, 29, 23, 59, 58, 0},   {2024, 2, 4, 29, 23, 59, 58, 1}, {2024, 2, 4, 29, 23, 59, 58, 999},
        {2024, 2, 4, 29, 23, 59, 59, 500}, {2024, 3, 5, 1, 0, 0, 0, 7},     {2024, 3, 5, 1, 0, 0, 0, 7},
        {2024, 2, 4, 29, 23, 59, 58, 3},   {1601, 1, 1, 1, 0, 0, 0, 0},     {30827, 12, 5, 31, 23, 59, 59, 999},
        {2023, 2, 0, 29, 12, 0, 0, 0},     {2024, 3, 5, 1, 0, 0, 0, 8},     {2024, 3, 5, 1, 0, 0, 0, 1000},
    };
    for (const SystemTime& f : readings) {
        const double expected = serial_from_systemtime(f);
        const double got = serial_of_clock_fields(f);
        EXPECT_EQ(std::memcmp(&expected, &got, sizeof got), 0)
            << f.wYear << "-" << f.wMonth << "-" << f.wDay << " " << f.wHour << ":" << f.wMinute << ":" << f.wSecond
            << "." << f.wMilliseconds;
    }
}

// ---- calendar rules -----------------------------------------------------------------

struct LeapCase {
    int year, leap;
};
TEST(CalendarRules, IsLeapYear) {
    const LeapCase cases[] = {
        {1900, 0}, {2000, 1}, {2023, 0}, {2024, 1},    {0, 1},       {-4, 1},
        {-100, 0}, {-400, 1}, {-1, 0},   {INT_MAX, 0}, {INT_MIN, 1}, // -2^31: divisible by 4, not by 100
    };
    for (const auto& c : cases) EXPECT_EQ(is_leap_year(c.year), c.leap) << c.year;
}

struct MonthCase {
    int year, month, days;
};
TEST(CalendarRules, DaysInMonth) {
    const MonthCase cases[] = {
        {2024, 2, 29}, {1900, 2, 28},  {2000, 2, 29},       {2023, 4, 30}, {2023, 12, 31},   {2023, 1, 31},
        {2023, 6, 30}, {2023, 7, 31},  {2023, 8, 31},       {2023, 9, 30}, {2023, 11, 30},   {2023, 13, 30},
        {2023, 0, 30}, {2023, -1, 30}, {2023, INT_MIN, 30}, {-4, 2, 29},   {INT_MAX, 2, 28},
    };
    for (const auto& c : cases) EXPECT_EQ(days_in_month(c.year, c.month), c.days) << c.year << "-" << c.month;
}

} // namespace
