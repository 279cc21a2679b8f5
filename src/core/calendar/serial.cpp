#include "core/calendar/serial.h"

#include <chrono>

namespace ardudf::calendar {
namespace {

constexpr double ticks_per_second = 10'000'000.0;
constexpr double seconds_per_day = 86'400.0;
// 2^63: the first tick sum that no longer fits an int64 (and the platform refuses).
constexpr double tick_limit = 9'223'372'036'854'775'808.0;

} // namespace

double serial_from_systemtime(const SystemTime& fields) noexcept {
    platform::FileTime ticks;
    if (!platform::system_time_to_file_time(fields, ticks)) return 0.0;
    // Both counts are below 2^63, so the difference is exact in int64.
    const auto since_origin = static_cast<std::int64_t>(platform::ticks_of(ticks)) - origin_ticks;
    return static_cast<double>(since_origin) / ticks_per_second / seconds_per_day;
}

SystemTime systemtime_from_serial(double serial) noexcept {
    const double product = serial * ticks_per_second;
    const double sum = product * seconds_per_day + static_cast<double>(origin_ticks);
    SystemTime fields{};
    // Negated so that NaN fails too; inside, the truncation below is defined.
    if (!(sum >= 0.0 && sum < tick_limit)) return fields;
    const auto ticks = static_cast<std::uint64_t>(static_cast<std::int64_t>(sum));
    if (!platform::file_time_to_system_time(platform::file_time_of(ticks), fields)) return SystemTime{};
    return fields;
}

Date decode_date(double serial) noexcept {
    const SystemTime f = systemtime_from_serial(serial);
    return {f.wYear, f.wMonth, f.wDay};
}

TimeOfDay decode_time(double serial) noexcept {
    const SystemTime f = systemtime_from_serial(serial);
    return {f.wHour, f.wMinute, f.wSecond};
}

double encode_date(std::int32_t year, std::int32_t month, std::int32_t day) noexcept {
    SystemTime fields{};
    fields.wYear = static_cast<std::uint16_t>(year);
    fields.wMonth = static_cast<std::uint16_t>(month);
    fields.wDay = static_cast<std::uint16_t>(day);
    // -109205 .. 10565736 for a date that exists, 0.0 otherwise: always fits an int32.
    const double value = serial_from_systemtime(fields);
    const auto whole = static_cast<std::int32_t>(value);
    return value - whole >= 0.5 ? whole + 1.0 : static_cast<double>(whole);
}

double serial_of_clock_fields(const SystemTime& now) noexcept {
    // Within one second only the milliseconds change: each thread keeps the tick count of
    // the last second it converted and adds them, which is the sum the conversion makes.
    struct LastSecond {
        SystemTime fields{};
        std::uint64_t ticks = 0;
        bool valid = false;
    };
    thread_local LastSecond last;
    const auto same_second = [](const SystemTime& a, const SystemTime& b) {
        return a.wYear == b.wYear && a.wMonth == b.wMonth && a.wDay == b.wDay && a.wHour == b.wHour &&
               a.wMinute == b.wMinute && a.wSecond == b.wSecond;
    };
    if (now.wMilliseconds > 999) return serial_from_systemtime(now); // not a clock's reading
    if (!last.valid || !same_second(last.fields, now)) {
        SystemTime second = now;
        second.wMilliseconds = 0;
        platform::FileTime ticks;
        if (!platform::system_time_to_file_time(second, ticks)) return 0.0;
        last = LastSecond{second, platform::ticks_of(ticks), true};
    }
    constexpr std::uint64_t ticks_per_ms = 10'000;
    const auto since_origin = static_cast<std::int64_t>(last.ticks + now.wMilliseconds * ticks_per_ms) - origin_ticks;
    return static_cast<double>(since_origin) / ticks_per_second / seconds_per_day;
}

double current_serial() noexcept {
    SystemTime now;
    platform::get_local_time(now);
    return serial_of_clock_fields(now);
}

std::int32_t is_leap_year(std::int32_t year) noexcept {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0) ? 1 : 0;
}

std::int32_t days_in_month(std::int32_t year, std::int32_t month) noexcept {
    using namespace std::chrono;
    if (month < 1 || month > 12) return 30;
    // chrono's years end at +-32767; February alone depends on the year, by the rule above.
    if (month == 2) return 28 + is_leap_year(year);
    const year_month_day_last last{std::chrono::year{2001},
                                   month_day_last{std::chrono::month{static_cast<unsigned>(month)}}};
    return static_cast<std::int32_t>(static_cast<unsigned>(last.day()));
}

std::int32_t day_of_week(double serial) noexcept {
    const SystemTime fields = systemtime_from_serial(serial);
    return fields.wMonth == 0 ? 0 : fields.wDayOfWeek + 1;
}

double end_of_decade(double serial) noexcept {
    const auto [year, month, day] = decode_date(serial);
    if (day < 11) return encode_date(year, month, 11);
    if (day < 21) return encode_date(year, month, 21);
    return encode_date(year, month, days_in_month(year, month)) + 1.0;
}

} // namespace ardudf::calendar
