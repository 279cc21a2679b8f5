// Formatting a date by a pattern. Each year, month and day token is replaced by the date's
// number, in this order, every occurrence of one token before the next token:
//   YYYY year ("%d", 4 or 5 digits)   YYY, YY, Y  year mod 100 ("%02d")
//   MM, M month ("%d")                DD, D       day ("%d")
// Tokens match regardless of case and anywhere, inside words too (Today: DD gives
// To5a24: 5 for 2024-03-05). Only a to z are upper-cased for the match; every other byte
// matches itself and so never a token. The time of day is not formatted.
//
// The definition searches again from the start of the text after each replacement. A
// replacement is all digits, which match no token, and no occurrence starts before the one
// just replaced, so the next one is the first at or after the end of the replaced token:
// one left-to-right pass per token gives the same text in linear time.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ardudf::calendar {

// Compares at most n bytes of a and b after upper-casing a to z: 0 when they match, else the
// difference of the first pair that differs, or of the lengths compared (each limited to n).
int compare_nocase(std::string_view a, std::string_view b, std::size_t n) noexcept;

// The first position at or after from where token matches, or npos.
std::size_t find_nocase(std::string_view text, std::string_view token, std::size_t from = 0) noexcept;

// Replaces every occurrence of token in working by number (digits only). May throw
// std::bad_alloc; working is then unchanged.
void replace_token(std::string& working, std::string_view token, std::string_view number);

// The pattern with the date of the day serial put in. Outside the supported range the
// year, month and day are 0. May throw std::bad_alloc.
std::string format_date(double serial, std::string_view pattern);

} // namespace ardudf::calendar
