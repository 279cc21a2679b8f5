// Calendar calls per call, and formatting a 30,000-byte pattern: the one-pass replacement
// against the search-again-from-the-start loop of the definition (the baseline).
#include "ardudf/ardudf.h"
#include "core/calendar/format.h"
#include "core/calendar/serial.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using namespace ardudf::calendar;

void BM_DecodeDate(benchmark::State& state) {
    double serial = 45356.5675;
    for (auto _ : state) {
        const auto [y, m, d] = decode_date(serial);
        benchmark::DoNotOptimize(y + m + d);
        serial += 1.0;
    }
}
BENCHMARK(BM_DecodeDate);

void BM_EncodeDate(benchmark::State& state) {
    std::int32_t day = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(encode_date(2024, 3, day % 28 + 1));
        ++day;
    }
}
BENCHMARK(BM_EncodeDate);

void BM_DateToString(benchmark::State& state) {
    const double serial = 45356.0;
    for (auto _ : state) {
        char* text = ib_datetostring(&serial, "DD.MM.YYYY");
        benchmark::DoNotOptimize(text);
        std::free(text); // the bench host's ib_util_malloc is malloc
    }
}
BENCHMARK(BM_DateToString);

// The calendar exports per call, as the server calls them: a new serial each time, so
// that nothing is folded away.
template <class Export> void per_serial(benchmark::State& state, Export call) {
    double serial = 45356.5675;
    for (auto _ : state) {
        benchmark::DoNotOptimize(call(&serial));
        serial += 1.0137;
    }
}
void BM_ExportDayOfWeek(benchmark::State& state) { per_serial(state, ib_dayofweek); }
BENCHMARK(BM_ExportDayOfWeek);
void BM_ExportDecodeYear(benchmark::State& state) { per_serial(state, ib_decodedate_year); }
BENCHMARK(BM_ExportDecodeYear);
void BM_ExportDecodeMonth(benchmark::State& state) { per_serial(state, ib_decodedate_month); }
BENCHMARK(BM_ExportDecodeMonth);
void BM_ExportDecodeDay(benchmark::State& state) { per_serial(state, ib_decodedate_day); }
BENCHMARK(BM_ExportDecodeDay);
void BM_ExportDecodeHour(benchmark::State& state) { per_serial(state, ib_decodetime_hour); }
BENCHMARK(BM_ExportDecodeHour);
void BM_ExportDecodeMin(benchmark::State& state) { per_serial(state, ib_decodetime_min); }
BENCHMARK(BM_ExportDecodeMin);
void BM_ExportDecodeSec(benchmark::State& state) { per_serial(state, ib_decodetime_sec); }
BENCHMARK(BM_ExportDecodeSec);
void BM_ExportEndOfDecade(benchmark::State& state) { per_serial(state, ib_endofdecade); }
BENCHMARK(BM_ExportEndOfDecade);

void BM_ExportEncodeDate(benchmark::State& state) {
    std::int32_t year = 2024, month = 3, day = 0;
    for (auto _ : state) {
        day = day % 28 + 1;
        benchmark::DoNotOptimize(ib_encodedate(&year, &month, &day));
    }
}
BENCHMARK(BM_ExportEncodeDate);

void BM_ExportIsLeapYear(benchmark::State& state) {
    std::int32_t year = 1600;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ib_isleapyear(&year));
        year = year % 3000 + 1;
    }
}
BENCHMARK(BM_ExportIsLeapYear);

// The local time: a clock read, and the time-zone conversion of the C library once a second.
void BM_ExportCurrentTime(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(ib_current_time());
}
BENCHMARK(BM_ExportCurrentTime);

// Its baseline: a clock read and the C library's conversion on every call.
void BM_ClockAndLocaltime(benchmark::State& state) {
    for (auto _ : state) {
        const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        std::tm local{};
        benchmark::DoNotOptimize(localtime_r(&now, &local));
        benchmark::DoNotOptimize(local);
    }
}
BENCHMARK(BM_ClockAndLocaltime);

// "Date: DD.MM.YYYY; " repeated to 30,000 bytes: 3,333 occurrences of each token, and
// numbers shorter than their tokens, so that every replacement changes the length.
std::string long_pattern() {
    std::string pattern;
    while (pattern.size() < 30000) pattern += "Date: DD.MM.YYYY; ";
    pattern.resize(30000);
    return pattern;
}

void BM_LongPatternOnePass(benchmark::State& state) {
    const std::string pattern = long_pattern();
    for (auto _ : state) benchmark::DoNotOptimize(format_date(45356.0, pattern));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pattern.size()));
}
BENCHMARK(BM_LongPatternOnePass)->Unit(benchmark::kMicrosecond);

// The definition's search: the first position where token matches, upper-casing a to z.
std::size_t find_nocase(std::string_view text, std::string_view token) noexcept {
    const auto upper = [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
    };
    for (std::size_t p = 0; p + token.size() <= text.size(); ++p) {
        std::size_t i = 0;
        while (i < token.size() && upper(text[p + i]) == upper(token[i])) ++i;
        if (i == token.size()) return p;
    }
    return std::string_view::npos;
}

// The definition's loop: find the first occurrence from the start, rebuild the text around
// it, and search again from the start.
std::string format_by_restarting(double serial, std::string text) {
    const auto [y, m, d] = decode_date(serial);
    auto replace_all = [&](std::string_view token, const std::string& number) {
        for (std::size_t p; (p = find_nocase(text, token)) != std::string::npos;)
            text = text.substr(0, p) + number + text.substr(p + token.size());
    };
    const std::string yy = std::to_string(y % 100 / 10) + std::to_string(y % 10);
    replace_all("YYYY", std::to_string(y));
    for (std::string_view t : {"YYY", "YY", "Y"}) replace_all(t, yy);
    for (std::string_view t : {"MM", "M"}) replace_all(t, std::to_string(m));
    for (std::string_view t : {"DD", "D"}) replace_all(t, std::to_string(d));
    return text;
}

void BM_LongPatternRestart(benchmark::State& state) {
    const std::string pattern = long_pattern();
    if (format_by_restarting(45356.0, pattern) != format_date(45356.0, pattern)) {
        state.SkipWithError("the two definitions differ");
        return;
    }
    for (auto _ : state) benchmark::DoNotOptimize(format_by_restarting(45356.0, pattern));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(pattern.size()));
}
BENCHMARK(BM_LongPatternRestart)->Unit(benchmark::kMillisecond);

} // namespace
