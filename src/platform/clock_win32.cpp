#ifdef _WIN32
#include "platform/clock.h"

#include <windows.h>

#include <chrono>

namespace ardudf::platform {
namespace {

SYSTEMTIME to_native(const SystemTime& f) noexcept {
    SYSTEMTIME s;
    s.wYear = f.wYear;
    s.wMonth = f.wMonth;
    s.wDayOfWeek = f.wDayOfWeek;
    s.wDay = f.wDay;
    s.wHour = f.wHour;
    s.wMinute = f.wMinute;
    s.wSecond = f.wSecond;
    s.wMilliseconds = f.wMilliseconds;
    return s;
}

SystemTime from_native(const SYSTEMTIME& s) noexcept {
    return {s.wYear, s.wMonth, s.wDayOfWeek, s.wDay, s.wHour, s.wMinute, s.wSecond, s.wMilliseconds};
}

// Kernels differ on dates that do not exist: Wine's takes 29 February of every year and the
// year 30828. The documented contract is checked here, so that every kernel gives the same.
bool names_a_day(const SystemTime& f) noexcept {
    using namespace std::chrono;
    // month and day hold 0 .. 255 only: bound them before they are made.
    return f.wYear >= 1601 && f.wYear <= 30827 && f.wMonth <= 12 && f.wDay <= 31 &&
           year_month_day{year{f.wYear}, month{f.wMonth}, day{f.wDay}}.ok();
}

} // namespace

bool system_time_to_file_time(const SystemTime& fields, FileTime& ticks) noexcept {
    if (!names_a_day(fields)) return false;
    const SYSTEMTIME native = to_native(fields);
    FILETIME out;
    if (!SystemTimeToFileTime(&native, &out)) return false;
    ticks = {out.dwLowDateTime, out.dwHighDateTime};
    return true;
}

bool file_time_to_system_time(const FileTime& ticks, SystemTime& fields) noexcept {
    FILETIME native;
    native.dwLowDateTime = ticks.dwLowDateTime;
    native.dwHighDateTime = ticks.dwHighDateTime;
    SYSTEMTIME out;
    if (!FileTimeToSystemTime(&native, &out)) return false;
    fields = from_native(out);
    return true;
}

void get_local_time(SystemTime& fields) noexcept {
    SYSTEMTIME now;
    GetLocalTime(&now);
    fields = from_native(now);
}

} // namespace ardudf::platform
#endif
