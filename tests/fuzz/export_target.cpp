// One libFuzzer target per stateless export, built once for each name of the catalogue's
// text, value and calendar groups (ARDUDF_FUZZ_EXPORT names it). The input decodes into
// the export's arguments (any of them null), and optionally into failures of the result
// allocator and of the library's own heap. Every call must then keep the frame's rules,
// and the export's result must have the properties checked below.
#include "allocation_faults.h"
#include "catalogue/catalogue.h"
#include "support/host.h"
#include "support/values.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#ifndef ARDUDF_FUZZ_EXPORT
#error "ARDUDF_FUZZ_EXPORT names the export to fuzz"
#endif

namespace {

using ardudf::catalogue::Kind;

constexpr std::size_t index = signature::index_of(ARDUDF_FUZZ_EXPORT);
static_assert(index < ardudf::catalogue::exports.size(), "not in the catalogue");
constexpr const ardudf::catalogue::Export& entry = ardudf::catalogue::exports[index];
constexpr int argc = ardudf::catalogue::arg_count(entry);
constexpr const char* name = ARDUDF_FUZZ_EXPORT;

using Fn = signature::pointer<index>;
using Result = signature::result<index>;

Fn function = nullptr;

using Args = std::array<fuzz::Arg, 4>;

Result call(const Args& a) {
    const void* pointers[4] = {a[0].pointer(), a[1].pointer(), a[2].pointer(), a[3].pointer()};
    return signature::call<index>(reinterpret_cast<void*>(function), pointers);
}

// The calendar's domain, a little inside its edges: from 1601-01-01 to the end of 30827.
bool in_calendar_domain(double serial) { return serial >= -109205.0 && serial < 10565736.0; }

std::string_view sv(const char* s) { return std::string_view(s); }

std::uint32_t unsigned_of(std::int32_t v) { return static_cast<std::uint32_t>(v); }

// A text export's result, when it is not null.
// What the legacy face builds at most for a length asked for by an argument.
constexpr std::uint32_t past_longest_result = ardudf::catalogue::long_text.legacy + 1;

[[maybe_unused]] void check_text(std::string_view fn, const Args& a, const char* r) {
    const std::string_view t = a[0].text_value();
    const std::string_view s = sv(r);
    if (fn == "ib_string_left" || fn == "ib_string_right") {
        const std::size_t n = std::min<std::uint64_t>(t.size(), unsigned_of(a[1].int_value()));
        FUZZ_CHECK(s.size() == n, name);
        FUZZ_CHECK(fn == "ib_string_left" ? t.substr(0, n) == s : t.substr(t.size() - n) == s, name);
    } else if (fn == "ib_lpad") {
        // A negative length is the library's choice (it keeps the text); only the
        // bounds are checked for it, by the sanitizers.
        // Padding stops one byte past the longest CSTRING, a longer text stays whole.
        const std::uint32_t w = std::min<std::uint32_t>(unsigned_of(a[1].int_value()), past_longest_result);
        if (a[1].int_value() < 0) {
        } else if (t.size() >= w) {
            FUZZ_CHECK(s == t, name);
        } else {
            FUZZ_CHECK(fuzz::last_result_size() >= static_cast<long>(w) + 1, name);
            FUZZ_CHECK(r[w] == '\0' && std::string_view(r + (w - t.size()), t.size()) == t, name);
            const char pad = a[2].text_value().empty() ? '\0' : a[2].text_value()[0];
            FUZZ_CHECK(std::all_of(r, r + (w - t.size()), [&](char c) { return c == pad; }), name);
        }
    } else if (fn == "ib_reversestring") {
        FUZZ_CHECK(std::equal(t.rbegin(), t.rend(), s.begin(), s.end()), name);
    } else if (fn == "ib_quote_literal") {
        FUZZ_CHECK(s.size() == t.size() + 2 + static_cast<std::size_t>(std::count(t.begin(), t.end(), '\'')), name);
        FUZZ_CHECK(s.front() == '\'' && s.back() == '\'', name);
    } else if (fn == "ib_uniqueid") {
        FUZZ_CHECK(
            std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'); }),
            name);
        if (a[0].int_value() >= 0)
            FUZZ_CHECK(s.size() ==
                           std::min<std::size_t>(static_cast<std::size_t>(a[0].int_value()), past_longest_result),
                       name);
    } else if (fn == "ib_isnotnull") {
        FUZZ_CHECK(s == (t.empty() ? "N" : "A"), name);
    } else if (fn == "ib_get_token" || fn == "ib_delete_token") {
        const std::string_view d = a[1].text_value();
        FUZZ_CHECK(t.find(s) != std::string_view::npos, name);
        if (fn == "ib_get_token" && !d.empty()) FUZZ_CHECK(s.find(d[0]) == std::string_view::npos, name);
        if (fn == "ib_delete_token") FUZZ_CHECK(t.ends_with(s), name);
    } else if (fn == "ib_gets_u2_prefix") {
        FUZZ_CHECK(s == "Y_" || s == "S_" || s == "X_" || s == "U_", name);
    } else if (fn == "ib_gets_u_prefix") {
        FUZZ_CHECK(s == (t.starts_with('A') ? "S_" : "U_"), name);
    } else if (fn == "ib_correct_phone_number") {
        std::string digits;
        std::copy_if(t.begin(), t.end(), std::back_inserter(digits), [](char c) { return c >= '0' && c <= '9'; });
        FUZZ_CHECK(s == digits, name);
    } else if (fn == "ib_remove_diacritics") {
        FUZZ_CHECK(s.size() == t.size(), name);
        for (std::size_t i = 0; i < t.size(); ++i)
            if (static_cast<unsigned char>(t[i]) < 0x80) FUZZ_CHECK(s[i] == t[i], name);
    } else if (fn == "ib_datetostring") {
        const std::string_view p = a[1].text_value();
        FUZZ_CHECK(s.size() <= 5 * p.size(), name);
        // Every y, m and d, in either case, stands for a number and is replaced.
        if (in_calendar_domain(a[0].double_value()))
            FUZZ_CHECK(s.find_first_of("yYmMdD") == std::string_view::npos, name);
    }
}

std::int64_t reference_convchartoint(std::string_view t) {
    const std::string copy(t);
    const long long v = std::strtoll(copy.c_str(), nullptr, 10);
    return std::clamp<long long>(v, INT32_MIN, INT32_MAX);
}

[[maybe_unused]] void check_int(std::string_view fn, const Args& a, std::int32_t r) {
    const double serial = a[0].double_value();
    const bool dated = entry.args[0].kind == Kind::float64 && in_calendar_domain(serial);
    if (fn == "ib_string_length") FUZZ_CHECK(r == static_cast<std::int32_t>(a[0].text_value().size()), name);
    if (fn == "ib_convchartoint") FUZZ_CHECK(r == reference_convchartoint(a[0].text_value()), name);
    if (fn == "ib_find_token") {
        const std::size_t at = a[0].text_value().find(a[1].text_value());
        FUZZ_CHECK(r == (at == std::string_view::npos ? 0 : static_cast<std::int32_t>(at) + 1), name);
    }
    if (fn == "ib_isleapyear") FUZZ_CHECK(r == 0 || r == 1, name);
    if (!dated) return;
    if (fn == "ib_dayofweek") FUZZ_CHECK(r >= 1 && r <= 7, name);
    if (fn == "ib_decodedate_year") FUZZ_CHECK(r >= 1601 && r <= 30827, name);
    if (fn == "ib_decodedate_month") FUZZ_CHECK(r >= 1 && r <= 12, name);
    if (fn == "ib_decodedate_day") FUZZ_CHECK(r >= 1 && r <= 31, name);
    if (fn == "ib_decodetime_hour") FUZZ_CHECK(r >= 0 && r <= 23, name);
    if (fn == "ib_decodetime_min" || fn == "ib_decodetime_sec") FUZZ_CHECK(r >= 0 && r <= 59, name);
}

template <class F> F* other(const char* export_name) { return reinterpret_cast<F*>(fuzz::find_export(export_name)); }

[[maybe_unused]] void check_double(std::string_view fn, const Args& a, double r) {
    if (fn == "ib_greatest" || fn == "ib_least") {
        const double x = a[0].double_value(), y = a[1].double_value();
        const double want = fn == "ib_greatest" ? (x > y ? x : y) : (x < y ? x : y);
        FUZZ_CHECK(std::bit_cast<std::uint64_t>(r) == std::bit_cast<std::uint64_t>(want), name);
    } else if (fn == "ib_endofdecade") {
        // The day the date falls on as the library reads a serial: a serial a few ticks before
        // midnight is the next day's, the double arithmetic of the tick count rounding it up.
        double day = std::floor(a[0].double_value());
        const double serial = a[0].double_value();
        using decoder = std::int32_t(const double*) noexcept;
        if (auto* f = other<decoder>("ib_decodedate_day"); f != nullptr && in_calendar_domain(day)) {
            const double next = day + 1.0;
            if (f(&serial) == f(&next) && f(&serial) != f(&day)) day = next;
        }
        if (in_calendar_domain(day) && day < 10565700.0)
            FUZZ_CHECK(r == std::floor(r) && r - day >= 1.0 && r - day <= 11.0, name);
    } else if (fn == "ib_current_time") {
        FUZZ_CHECK(in_calendar_domain(r), name);
    } else if (fn == "ib_encodedate") {
        // Only the low 16 bits of each field count; a valid date comes back through the
        // decoders unchanged.
        const int y = static_cast<std::uint16_t>(a[0].int_value());
        const int m = static_cast<std::uint16_t>(a[1].int_value());
        const int d = static_cast<std::uint16_t>(a[2].int_value());
        static constexpr int length[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
        const bool valid =
            y >= 1601 && y <= 30827 && m >= 1 && m <= 12 && d >= 1 && d <= (m == 2 && !leap ? 28 : length[m - 1]);
        if (!valid) return;
        FUZZ_CHECK(r == std::floor(r), name);
        using decoder = std::int32_t(const double*) noexcept;
        if (auto* f = other<decoder>("ib_decodedate_year")) FUZZ_CHECK(f(&r) == y, name);
        if (auto* f = other<decoder>("ib_decodedate_month")) FUZZ_CHECK(f(&r) == m, name);
        if (auto* f = other<decoder>("ib_decodedate_day")) FUZZ_CHECK(f(&r) == d, name);
    }
}

template <class R> bool same(const R& x, const R& y) {
    if constexpr (std::is_same_v<R, char*>)
        return (x == nullptr) == (y == nullptr) && (x == nullptr || std::strcmp(x, y) == 0);
    else if constexpr (std::is_same_v<R, double>)
        return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y);
    else
        return x == y;
}

// One call under the failures chosen; checks the frame's rules and gives the result.
template <class R> R run(const Args& a, long fail_result_from, long fail_own_from, bool& failed) {
    fuzz::fail_results_from(fail_result_from);
    R r;
    {
        faults::Armed armed(fail_own_from);
        r = call(a);
        failed = faults::failures() > 0;
    }
    const long allocations = fuzz::result_allocations();
    failed = failed || fuzz::refused_results() > 0;
    if constexpr (std::is_same_v<R, char*>) {
        // One allocation per text result, and the result is that block, never an argument.
        FUZZ_CHECK(allocations <= 1, name);
        if (r != nullptr) {
            FUZZ_CHECK(r == fuzz::last_result(), name);
            FUZZ_CHECK(std::memchr(r, '\0', static_cast<std::size_t>(fuzz::last_result_size())) != nullptr, name);
        } else {
            // Null means no memory: the allocator refused, or the size asked for is beyond
            // any the server gives (the library may decline a count near 2^31 itself).
            bool huge = false;
            for (int i = 0; i < argc; ++i)
                huge = huge || (entry.args[i].kind == Kind::int32 && a[i].int_value() >= fuzz::max_result_bytes - 1);
            FUZZ_CHECK(failed || huge, name);
        }
    } else {
        FUZZ_CHECK(allocations == 0, name); // number results never touch the server's allocator
    }
    return r;
}

template <class R> void release(R r) {
    if constexpr (std::is_same_v<R, char*>) std::free(r);
}

template <class R> void one(const Args& a, long fail_result_from, long fail_own_from) {
    bool failed = false;
    R r = run<R>(a, fail_result_from, fail_own_from, failed);
    if (!failed) {
        if constexpr (std::is_same_v<R, char*>) {
            if (r != nullptr) check_text(name, a, r);
        } else if constexpr (std::is_same_v<R, double>)
            check_double(name, a, r);
        else
            check_int(name, a, r);
        // The same arguments give the same result (the random identifiers and the clock
        // excepted); a difference means a read of something other than the arguments.
        if (std::string_view(name) != "ib_uniqueid" && std::string_view(name) != "ib_current_time") {
            bool again_failed = false;
            R again = run<R>(a, 0, 0, again_failed);
            FUZZ_CHECK(same(r, again), name);
            release(again);
        }
    }
    release(r);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    function = reinterpret_cast<Fn>(fuzz::find_export(name));
    if (function == nullptr) {
        std::printf("%s: the library does not export it\n", name);
        std::exit(1);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Most inputs run without failures; some fail the result or the library's own heap.
    const std::uint8_t faults_byte = in.ConsumeIntegral<std::uint8_t>();
    const long fail_result_from = faults_byte < 16 ? 1 : 0;
    const long fail_own_from = faults_byte >= 16 && faults_byte < 32 ? 1 + faults_byte % 4 : 0;

    Args a;
    for (int i = 0; i < argc; ++i) a[i] = fuzz::consume_arg(in, entry.args[i].kind, i == argc - 1);

    one<Result>(a, fail_result_from, fail_own_from);
    return 0;
}
