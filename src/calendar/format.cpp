#include "calendar/format.h"

#include "calendar/serial.h"

#include <algorithm>
#include <charconv>
#include <initializer_list>

namespace ardudf::calendar {
namespace {

// Fixed, not the locale's: a to z only.
constexpr unsigned char upper(char c) noexcept {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}

} // namespace

int compare_nocase(std::string_view a, std::string_view b, std::size_t n) noexcept {
    const std::size_t la = std::min(a.size(), n);
    const std::size_t lb = std::min(b.size(), n);
    const std::size_t m = std::min(la, lb);
    for (std::size_t i = 0; i < m; ++i) {
        if (upper(a[i]) != upper(b[i])) return upper(a[i]) - upper(b[i]);
    }
    return static_cast<int>(la) - static_cast<int>(lb);
}

std::size_t find_nocase(std::string_view text, std::string_view token, std::size_t from) noexcept {
    const std::size_t n = token.size();
    if (n == 0 || text.size() < n) return std::string_view::npos;
    const unsigned char first = upper(token[0]);
    for (std::size_t p = from; p <= text.size() - n; ++p) {
        // The first byte alone rules out nearly every position.
        if (upper(text[p]) == first && compare_nocase(text.substr(p), token, n) == 0) return p;
    }
    return std::string_view::npos;
}

void replace_token(std::string& working, std::string_view token, std::string_view number) {
    std::size_t at = find_nocase(working, token);
    if (at == std::string::npos) return;
    if (number.size() == token.size()) {
        for (; at != std::string::npos; at = find_nocase(working, token, at + token.size()))
            working.replace(at, token.size(), number);
        return;
    }
    std::string next;
    std::size_t done = 0;
    for (; at != std::string::npos; at = find_nocase(working, token, at + token.size())) {
        next.append(working, done, at - done).append(number);
        done = at + token.size();
    }
    next.append(working, done);
    working.swap(next);
}

std::string format_date(double serial, std::string_view pattern) {
    std::int32_t year, month, day;
    decode_date(serial, year, month, day);
    std::string working(pattern);
    // One number text per group of tokens, each token in turn over the whole text. Numbers
    // come from 16-bit fields and have at most 5 digits.
    auto put = [&working](std::int32_t value, bool two_digits, std::initializer_list<std::string_view> tokens) {
        char number[10];
        char* first = number;
        if (two_digits && value < 10) *first++ = '0'; // "%02d" of year mod 100, never negative
        const char* last = std::to_chars(first, number + sizeof number, value).ptr;
        for (std::string_view token : tokens)
            replace_token(working, token, std::string_view(number, static_cast<std::size_t>(last - number)));
    };
    put(year, false, {"YYYY"});
    put(year % 100, true, {"YYY", "YY", "Y"});
    put(month, false, {"MM", "M"});
    put(day, false, {"DD", "D"});
    return working;
}

} // namespace ardudf::calendar
