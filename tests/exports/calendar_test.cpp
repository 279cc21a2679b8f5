// The calendar exports through the built module, as the server calls them.
#include "harness.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <limits>
#include <string>

namespace {

const harness::Module& module() { return harness::shared(); }

// The seven field exports of one day serial, in the order of the table below.
std::array<std::int32_t, 7> fields_of(const double* serial) {
    std::array<std::int32_t, 7> out{};
    const auto& m = module();
    const harness::function_of<"ib_dayofweek"> fields[] = {m.fn<"ib_dayofweek">(),        m.fn<"ib_decodedate_year">(),
                                                           m.fn<"ib_decodedate_month">(), m.fn<"ib_decodedate_day">(),
                                                           m.fn<"ib_decodetime_hour">(),  m.fn<"ib_decodetime_min">(),
                                                           m.fn<"ib_decodetime_sec">()};
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = fields[i](serial);
    return out;
}

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

struct FieldsCase {
    double serial;
    std::array<std::int32_t, 7> dow_y_m_d_h_mi_s;
};
TEST(CalendarExports, FieldsOfADaySerial) {
    const FieldsCase cases[] = {
        {0.0, {7, 1899, 12, 30, 0, 0, 0}}, // a Saturday
        {1.0, {1, 1899, 12, 31, 0, 0, 0}},
        {45356.0, {3, 2024, 3, 5, 0, 0, 0}},
        {45356.99, {3, 2024, 3, 5, 23, 45, 36}},
        {45356.5675, {3, 2024, 3, 5, 13, 37, 12}},
        {-0.25, {6, 1899, 12, 29, 18, 0, 0}},
        {45356.0 + (12 * 3600 + 59.999) / 86400, {3, 2024, 3, 5, 12, 0, 59}}, // milliseconds dropped
        {-109205.0, {2, 1601, 1, 1, 0, 0, 0}},
        {10565994.1, {5, 30828, 9, 14, 2, 24, 0}},
        // outside the supported range: every field 0
        {-109206.0, {}},
        {10565995.0, {}},
        {1e300, {}},
        {-1e300, {}},
        {nan, {}},
        {inf, {}},
        {-inf, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(fields_of(&c.serial), c.dow_y_m_d_h_mi_s) << c.serial;
    EXPECT_EQ(fields_of(nullptr), (std::array<std::int32_t, 7>{7, 1899, 12, 30, 0, 0, 0})) << "null reads as 0.0";
}

struct EncodeCase {
    std::int32_t y, m, d;
    double serial;
};
TEST(CalendarExports, EncodeDate) {
    const EncodeCase cases[] = {
        {2024, 3, 5, 45356.0}, {1899, 12, 29, -1.0}, {67560, 3, 5, 45356.0}, {2023, 2, 29, 0.0}, // no such date
    };
    const auto encode = module().fn<"ib_encodedate">();
    for (const auto& c : cases) EXPECT_EQ(encode(&c.y, &c.m, &c.d), c.serial) << c.y << "-" << c.m << "-" << c.d;
    const std::int32_t y = 2024, m = 3;
    EXPECT_EQ(encode(&y, &m, nullptr), 0.0) << "day 0 does not exist";
}

struct LeapCase {
    std::int32_t year, leap;
};
TEST(CalendarExports, IsLeapYear) {
    const LeapCase cases[] = {{1900, 0}, {2000, 1}, {-100, 0}};
    const auto leap = module().fn<"ib_isleapyear">();
    for (const auto& c : cases) EXPECT_EQ(leap(&c.year), c.leap) << c.year;
    EXPECT_EQ(leap(nullptr), 1) << "null reads as year 0";
}

struct DecadeCase {
    double serial, next;
};
TEST(CalendarExports, EndOfDecade) {
    const DecadeCase cases[] = {
        {45356.0, 45362.0},                 // 2024-03-05 -> 2024-03-11
        {45361.0 + 1439.0 / 1440, 45362.0}, // 2024-03-10 23:59
        {45362.0, 45372.0},
        {45371.0, 45372.0},
        {45372.0, 45383.0},
        {45382.0, 45383.0},
        {45347.0, 45352.0},       // 2024-02-25 -> 2024-03-01
        {44982.0, 44986.0},       // 2023-02-25 -> 2023-03-01
        {45291.0, 45292.0},       // 2023-12-31 -> 2024-01-01
        {-1.0, 2.0},              // 1899-12-29 -> 1900-01-01
        {45382.75, 45383.0},      // the time of day plays no part
        {10565735.0, 10565737.0}, // 30827-12-30: the day after the last encodable one
        {nan, 0.0},
        {-109206.0, 0.0},
        {1e300, 0.0},
    };
    const auto decade = module().fn<"ib_endofdecade">();
    for (const auto& c : cases) EXPECT_EQ(decade(&c.serial), c.next) << c.serial;
}

TEST(CalendarExports, CurrentTimeIsToday) {
    const double before = std::floor(std::time(nullptr) / 86400.0) + 25569.0 - 2; // a UTC day, with room for any zone
    const double now = module().fn<"ib_current_time">()();
    EXPECT_GT(now, before);
    EXPECT_LT(now, before + 4);
}

struct FormatCase {
    double serial;
    const char* pattern;
    std::string expected;
};
TEST(CalendarExports, DateToString) {
    const FormatCase cases[] = {
        {45356.0, "DD.MM.YYYY", "5.3.2024"},
        {45356.75, "Today: DD", "To5a24: 5"},
        {45356.0, "", ""},
        {45356.0, "\xc8\xe9 +1", "\xc8\xe9 +1"},
        {45356.0, nullptr, ""}, // a null pattern reads as ""
        {nan, "DD.MM.YYYY", "0.0.0"},
        {-inf, "YY", "00"}, // outside the supported range: fields 0
    };
    const auto format = module().fn<"ib_datetostring">();
    for (const auto& c : cases)
        EXPECT_EQ(harness::take(format(&c.serial, c.pattern)), c.expected) << (c.pattern ? c.pattern : "(null)");
    EXPECT_EQ(harness::take(format(nullptr, "D.M.YYYY")), "30.12.1899") << "a null date reads as 0.0";
}

TEST(CalendarExports, DateToStringAtTheDeclaredWidths) {
    // Every byte a lone token of a two-digit number: 255 bytes, the widest pattern, give 510,
    // the most any pattern can give, within the declared result of 512.
    std::string pattern, expected;
    for (int i = 0; i < 85; ++i) pattern += "yMd", expected += "241225";
    const double christmas = 45651.0; // 2024-12-25
    EXPECT_EQ(harness::take(module().fn<"ib_datetostring">()(&christmas, pattern.c_str())), expected);
}

TEST(CalendarExports, DateToStringWithoutResultMemoryGivesNull) {
    harness::reset_counters(1);
    const double date = 45356.0;
    EXPECT_EQ(module().fn<"ib_datetostring">()(&date, "DD.MM.YYYY"), nullptr);
    EXPECT_EQ(harness::allocations(), 1);
    harness::reset_counters();
}

} // namespace
