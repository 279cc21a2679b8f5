#include "core/calendar/format.h"

#include "core/calendar/serial.h"

#include <algorithm>
#include <charconv>

namespace ardudf::calendar {
namespace {

// Fixed, not the locale's: a to z only.
constexpr unsigned char upper(char c) noexcept {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'a' && u <= 'z' ? static_cast<unsigned char>(u - ('a' - 'A')) : u;
}

// A number of at most 5 digits (the fields are 16-bit), "%d" or "%02d".
struct Number {
    char text[8];
    std::size_t size;
    std::string_view view() const noexcept { return {text, size}; }
};

Number number(std::int32_t value, bool two_digits) noexcept {
    Number n{};
    char* first = n.text;
    if (two_digits && value < 10) *first++ = '0'; // year mod 100, never negative
    n.size = static_cast<std::size_t>(std::to_chars(first, n.text + sizeof n.text, value).ptr - n.text);
    return n;
}

constexpr bool is_token_letter(char c) noexcept {
    const unsigned char u = upper(c);
    return u == 'Y' || u == 'M' || u == 'D';
}

} // namespace

std::string format_date(double serial, std::string_view pattern) {
    const auto [year, month, day] = decode_date(serial);
    const Number full_year = number(year, false), short_year = number(year % 100, true);
    const Number month_number = number(month, false), day_number = number(day, false);
    std::string out;
    for (std::size_t i = 0; i < pattern.size();) {
        if (!is_token_letter(pattern[i])) {
            std::size_t j = i + 1;
            while (j < pattern.size() && !is_token_letter(pattern[j])) ++j;
            out.append(pattern, i, j - i);
            i = j;
            continue;
        }
        const unsigned char letter = upper(pattern[i]);
        std::size_t run = 1;
        while (i + run < pattern.size() && upper(pattern[i + run]) == letter) ++run;
        i += run;
        if (letter == 'Y') {
            for (; run >= 4; run -= 4) out.append(full_year.view());
            if (run > 0) out.append(short_year.view());
        } else {
            const std::string_view n = (letter == 'M' ? month_number : day_number).view();
            for (run = (run + 1) / 2; run > 0; --run) out.append(n);
        }
    }
    return out;
}

} // namespace ardudf::calendar
