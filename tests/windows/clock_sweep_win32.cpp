// The sweep through the Windows kernel itself (not through our clock layer), one line per
// case on stdout.
#include "clock_sweep.h"

#include <windows.h>

#include <cstdio>

int main() {
    auto to_fields = [](const sweep::FileTime& t, sweep::SystemTime& f) {
        const FILETIME in{t.dwLowDateTime, t.dwHighDateTime};
        SYSTEMTIME out;
        if (!FileTimeToSystemTime(&in, &out)) return false;
        f = {out.wYear, out.wMonth, out.wDayOfWeek, out.wDay, out.wHour, out.wMinute, out.wSecond, out.wMilliseconds};
        return true;
    };
    auto to_ticks = [](const sweep::SystemTime& f, sweep::FileTime& t) {
        const SYSTEMTIME in{f.wYear, f.wMonth, f.wDayOfWeek, f.wDay, f.wHour, f.wMinute, f.wSecond, f.wMilliseconds};
        FILETIME out;
        if (!SystemTimeToFileTime(&in, &out)) return false;
        t = {out.dwLowDateTime, out.dwHighDateTime};
        return true;
    };
    sweep::run(to_fields, to_ticks, [](const std::string& line) { std::printf("%s\n", line.c_str()); });
    return std::fflush(stdout) == 0 ? 0 : 1;
}
