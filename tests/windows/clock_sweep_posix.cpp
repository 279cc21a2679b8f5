// Runs the sweep through the posix clock layer and compares it, line by line, with the
// kernel's run (clock_sweep_win32.cpp under Wine) read from the file named by argv[1].
//
// Wine's kernel is not Windows: it takes 29 February of a common year (as 1 March) and
// every year after 30827 (its ticks run past 2^63 and wrap). Where our layer refuses such fields and the kernel gives
// exactly those readings, the line is counted as a known Wine difference; every other difference fails.
#include "clock_sweep.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

using namespace std::chrono;

struct Fields {
    unsigned y, m, d, h, mi, s, ms;
};

bool parse_fields(const std::string& line, Fields& f) {
    return std::sscanf(line.c_str(), "f %u-%u-%u %u:%u:%u.%u", &f.y, &f.m, &f.d, &f.h, &f.mi, &f.s, &f.ms) == 7;
}

// The ticks of the fields with the day counted on from the month's start, in any year,
// modulo 2^64 as the kernel's 64-bit arithmetic gives them.
std::uint64_t rolled_ticks(const Fields& f) {
    const sys_days day = sys_days{year{static_cast<int>(f.y)} / month{f.m} / 1} + days{f.d - 1};
    const auto since_1601 = static_cast<std::uint64_t>((day - sys_days{year{1601} / January / 1}).count());
    const std::uint64_t ms = ((f.h * 60ull + f.mi) * 60ull + f.s) * 1000ull + f.ms;
    return since_1601 * sweep::ticks_per_day + ms * 10'000;
}

// Our "fail" against the kernel's reading of fields that Wine is known to take.
bool known_wine_difference(const std::string& ours, const std::string& kernel) {
    Fields f{};
    if (!parse_fields(ours, f) || ours.substr(ours.rfind(' ') + 1) != "fail") return false;
    const bool time_ok = f.h < 24 && f.mi < 60 && f.s < 60 && f.ms < 1000;
    const bool february_29 = f.m == 2 && f.d == 29 && f.y >= 1601;
    const bool past_30827 = f.y > 30827 && f.m >= 1 && f.m <= 12 && f.d <= 31 &&
                            year_month_day{year{static_cast<int>(f.y)}, month{f.m}, day{f.d}}.ok();
    if (!time_ok || !(february_29 || past_30827)) return false;
    return kernel == ours.substr(0, ours.rfind(' ') + 1) + std::to_string(rolled_ticks(f));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s kernel-sweep.txt\n", argv[0]);
        return 2;
    }
    std::ifstream kernel(argv[1]);
    long lines = 0, wine_differences = 0, differences = 0;
    bool short_file = false;
    sweep::run(ardudf::platform::file_time_to_system_time, ardudf::platform::system_time_to_file_time,
               [&](const std::string& ours) {
                   std::string theirs;
                   if (!std::getline(kernel, theirs)) {
                       short_file = true;
                       return;
                   }
                   ++lines;
                   if (theirs == ours) return;
                   if (known_wine_difference(ours, theirs)) {
                       ++wine_differences;
                       return;
                   }
                   if (++differences <= 20)
                       std::printf("differs:\n  posix:  %s\n  kernel: %s\n", ours.c_str(), theirs.c_str());
               });
    std::string extra;
    if (std::getline(kernel, extra)) short_file = true;
    std::printf("%ld cases, %ld equal, %ld where Wine takes a date that does not exist, %ld differences%s\n", lines,
                lines - wine_differences - differences, wine_differences, differences,
                short_file ? "; the kernel's sweep has another length" : "");
    return differences == 0 && !short_file && lines > 0 ? 0 : 1;
}
