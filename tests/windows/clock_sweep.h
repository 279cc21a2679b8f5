// One sweep of tick counts and calendar fields, run through a pair of conversions: the
// Windows kernel's (clock_sweep_win32.cpp) or the posix clock layer (clock_sweep_posix.cpp).
// Each case is one line, so the two runs compare line by line.
#pragma once

#include "platform/clock.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

namespace sweep {

using ardudf::platform::file_time_of;
using ardudf::platform::FileTime;
using ardudf::platform::SystemTime;
using ardudf::platform::ticks_of;

inline constexpr std::uint64_t ticks_per_day = 864'000'000'000;
inline constexpr std::uint64_t origin = 94'353'120'000'000'000; // 1899-12-30

// splitmix64: the same numbers on every platform.
struct Random {
    std::uint64_t state;
    std::uint64_t next() {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint16_t pick(std::uint16_t from, std::uint16_t to) {
        return static_cast<std::uint16_t>(from + next() % (to - from + 1u));
    }
};

inline std::string ticks_line(std::uint64_t t, bool ok, const SystemTime& f) {
    char line[128];
    if (!ok)
        std::snprintf(line, sizeof line, "t %" PRIu64 " fail", t);
    else
        std::snprintf(line, sizeof line, "t %" PRIu64 " %u-%u-%u %u %u:%u:%u.%u", t, f.wYear, f.wMonth, f.wDay,
                      f.wDayOfWeek, f.wHour, f.wMinute, f.wSecond, f.wMilliseconds);
    return line;
}

inline std::string fields_line(const SystemTime& f, bool ok, std::uint64_t t) {
    char line[128];
    const int n = std::snprintf(line, sizeof line, "f %u-%u-%u %u:%u:%u.%u ", f.wYear, f.wMonth, f.wDay, f.wHour,
                                f.wMinute, f.wSecond, f.wMilliseconds);
    if (ok)
        std::snprintf(line + n, sizeof line - n, "%" PRIu64, t);
    else
        std::snprintf(line + n, sizeof line - n, "fail");
    return line;
}

// Calls emit(line) for every case. to_fields and to_ticks have the signatures of the
// clock layer's file_time_to_system_time and system_time_to_file_time.
template <class ToFields, class ToTicks, class Emit> void run(ToFields to_fields, ToTicks to_ticks, Emit emit) {
    auto ticks_case = [&](std::uint64_t t) {
        SystemTime f{};
        const bool ok = to_fields(file_time_of(t), f);
        emit(ticks_line(t, ok, f));
    };
    auto fields_case = [&](SystemTime f) {
        FileTime out{0, 0};
        const bool ok = to_ticks(f, out);
        emit(fields_line(f, ok, ticks_of(out)));
    };

    // Tick counts: the edges, each day start of a stride through the whole range with its
    // neighbours, and counts drawn from the whole range and beyond.
    const std::uint64_t max = ~std::uint64_t{0} >> 1;
    const std::uint64_t edges[] = {0,
                                   1,
                                   9'999,
                                   10'000,
                                   ticks_per_day - 1,
                                   ticks_per_day,
                                   origin - 1,
                                   origin,
                                   origin + 1,
                                   max - ticks_per_day,
                                   max - 1,
                                   max,
                                   max + 1,
                                   ~std::uint64_t{0}};
    for (std::uint64_t t : edges) ticks_case(t);
    for (std::uint64_t day = 0; day * ticks_per_day <= max; day += 97) {
        const std::uint64_t start = day * ticks_per_day;
        ticks_case(start);
        if (start > 0) ticks_case(start - 1);
        ticks_case(start + (day * 1'234'567'891ull) % ticks_per_day);
    }
    Random random{20240305};
    for (int i = 0; i < 100'000; ++i) ticks_case(random.next() >> (i % 8 == 0 ? 0 : 1));

    // Fields: every day of years at the calendar's turns, at both ends of the day...
    for (std::uint16_t first : {1601, 1699, 1899, 1999, 2023, 2099, 30825}) {
        for (std::uint16_t y = first; y < first + 3; ++y)
            for (std::uint16_t m = 1; m <= 12; ++m)
                for (std::uint16_t d = 1; d <= 31; ++d) {
                    fields_case({y, m, 0, d, 0, 0, 0, 0});
                    fields_case({y, m, 3, d, 23, 59, 59, 999}); // the day of the week is ignored
                }
    }
    // ... and fields drawn around and beyond every range, valid or not.
    for (int i = 0; i < 100'000; ++i) {
        SystemTime f{};
        const auto r = random.next() % 16;
        f.wYear = r == 0   ? random.pick(0, 65535)
                  : r == 1 ? random.pick(1598, 1603)
                  : r == 2 ? random.pick(30825, 30830)
                           : random.pick(1601, 30827);
        f.wMonth = r == 3 ? random.pick(0, 65535) : random.pick(0, 13);
        f.wDay = r == 4 ? random.pick(0, 65535) : random.pick(0, 32);
        f.wDayOfWeek = random.pick(0, 9);
        f.wHour = random.pick(0, 24);
        f.wMinute = random.pick(0, 60);
        f.wSecond = random.pick(0, 60);
        f.wMilliseconds = r == 5 ? random.pick(0, 65535) : random.pick(0, 1000);
        fields_case(f);
    }
}

} // namespace sweep
