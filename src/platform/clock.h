// The tick count and the calendar fields: what differs per OS. On Windows these are the
// kernel's SystemTimeToFileTime, FileTimeToSystemTime and GetLocalTime; elsewhere the same
// contract is built on <chrono>'s civil calendar.
//
// Ticks are 100 ns intervals since 1601-01-01 00:00:00 in the Gregorian calendar applied
// to all years, without leap seconds and without any time zone. Valid counts: 0 .. 2^63-1
// (up to 30828-09-14 02:48:05.4775807).
#pragma once

#include <cstdint>

namespace ardudf::platform {

// The layout and field order of the kernel's SYSTEMTIME.
struct SystemTime {
    std::uint16_t wYear;         // 1601 .. 30827 (30828 only when decoded from ticks)
    std::uint16_t wMonth;        // 1 .. 12
    std::uint16_t wDayOfWeek;    // 0 = Sunday .. 6 = Saturday
    std::uint16_t wDay;          // 1 .. the month's length
    std::uint16_t wHour;         // 0 .. 23
    std::uint16_t wMinute;       // 0 .. 59
    std::uint16_t wSecond;       // 0 .. 59
    std::uint16_t wMilliseconds; // 0 .. 999
};

// The layout of the kernel's FILETIME: the low half first.
struct FileTime {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};

constexpr std::uint64_t ticks_of(FileTime t) noexcept {
    return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime;
}
constexpr FileTime file_time_of(std::uint64_t ticks) noexcept {
    return {static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32)};
}

// The tick count of the fields (wDayOfWeek ignored). False, and ticks untouched, when a
// field is out of its range above or the day does not exist in its month.
bool system_time_to_file_time(const SystemTime& fields, FileTime& ticks) noexcept;

// All eight fields of a tick count, wDayOfWeek included; ticks below a millisecond are
// dropped. False, and fields untouched, for a count of 2^63 or more.
bool file_time_to_system_time(const FileTime& ticks, SystemTime& fields) noexcept;

// The current local wall-clock date and time, to the millisecond.
void get_local_time(SystemTime& fields) noexcept;

} // namespace ardudf::platform
