#ifndef _WIN32
#include "platform/clock.h"

#include <chrono>
#include <ctime>

namespace ardudf::platform {
namespace {

using namespace std::chrono;

// 1601-01-01, day 0 of the tick count.
constexpr sys_days tick_epoch = sys_days{year{1601} / January / 1};
constexpr std::uint64_t ticks_per_ms = 10'000;
constexpr std::uint64_t ticks_per_day = 864'000'000'000;

} // namespace

bool system_time_to_file_time(const SystemTime& f, FileTime& ticks) noexcept {
    // month and day hold 0 .. 255 only: 257 would be taken for January, so bound them first.
    if (f.wYear < 1601 || f.wYear > 30827 || f.wMonth > 12 || f.wDay > 31 || f.wHour > 23 || f.wMinute > 59 ||
        f.wSecond > 59 || f.wMilliseconds > 999)
        return false;
    const year_month_day date{year{f.wYear}, month{f.wMonth}, day{f.wDay}};
    if (!date.ok()) return false; // month 0 or 13+, day 0 or past the month's end
    // Days since 1601: 0 .. 10,675,698; the count below stays under 2^63.
    const auto days = static_cast<std::uint64_t>((sys_days{date} - tick_epoch).count());
    const std::uint64_t ms = ((f.wHour * 60ull + f.wMinute) * 60ull + f.wSecond) * 1000ull + f.wMilliseconds;
    ticks = file_time_of(days * ticks_per_day + ms * ticks_per_ms);
    return true;
}

bool file_time_to_system_time(const FileTime& ticks, SystemTime& f) noexcept {
    const std::uint64_t t = ticks_of(ticks);
    if (t >> 63 != 0) return false;
    const sys_days midnight = tick_epoch + days{static_cast<std::int64_t>(t / ticks_per_day)};
    const std::uint64_t ms = t % ticks_per_day / ticks_per_ms; // 0 .. 86,399,999
    const year_month_day date{midnight};
    f.wYear = static_cast<std::uint16_t>(static_cast<int>(date.year()));
    f.wMonth = static_cast<std::uint16_t>(static_cast<unsigned>(date.month()));
    f.wDayOfWeek = static_cast<std::uint16_t>(weekday{midnight}.c_encoding());
    f.wDay = static_cast<std::uint16_t>(static_cast<unsigned>(date.day()));
    f.wHour = static_cast<std::uint16_t>(ms / 3'600'000);
    f.wMinute = static_cast<std::uint16_t>(ms / 60'000 % 60);
    f.wSecond = static_cast<std::uint16_t>(ms / 1000 % 60);
    f.wMilliseconds = static_cast<std::uint16_t>(ms % 1000);
    return true;
}

void get_local_time(SystemTime& f) noexcept {
    // libstdc++ 12 has no time-zone database in <chrono>, so the local offset comes from
    // the C library (TZ and /etc/localtime, as the server process sees them). localtime_r
    // takes the library's time-zone lock on every call, and the local fields cannot change
    // within one second: each thread keeps those of the last second it converted (a new
    // TZ takes effect at the next second).
    struct LocalSecond {
        std::time_t second = 0;
        bool valid = false;
        std::tm fields{};
    };
    thread_local LocalSecond last;
    const auto now = floor<milliseconds>(system_clock::now());
    const auto whole = floor<seconds>(now);
    const std::time_t since_1970 = system_clock::to_time_t(whole);
    if (!last.valid || last.second != since_1970) {
        std::tm converted{};
        if (localtime_r(&since_1970, &converted) == nullptr) {
            f = SystemTime{1601, 1, 1, 1, 0, 0, 0, 0}; // unreachable for any real clock
            return;
        }
        last = LocalSecond{since_1970, true, converted};
    }
    const std::tm& local = last.fields;
    f.wYear = static_cast<std::uint16_t>(local.tm_year + 1900);
    f.wMonth = static_cast<std::uint16_t>(local.tm_mon + 1);
    f.wDayOfWeek = static_cast<std::uint16_t>(local.tm_wday);
    f.wDay = static_cast<std::uint16_t>(local.tm_mday);
    f.wHour = static_cast<std::uint16_t>(local.tm_hour);
    f.wMinute = static_cast<std::uint16_t>(local.tm_min);
    // A leap second (tm_sec 60) is held at :59, as the kernel never reports one.
    f.wSecond = static_cast<std::uint16_t>(local.tm_sec > 59 ? 59 : local.tm_sec);
    f.wMilliseconds = static_cast<std::uint16_t>((now - whole).count());
}

} // namespace ardudf::platform
#endif
