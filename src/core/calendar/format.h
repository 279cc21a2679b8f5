// Formatting a date by a pattern. Each year, month and day token is replaced by the date's
// number, in this order, every occurrence of one token before the next token:
//   YYYY year ("%d", 4 or 5 digits)   YYY, YY, Y  year mod 100 ("%02d")
//   MM, M month ("%d")                DD, D       day ("%d")
// Tokens match regardless of case and anywhere, inside words too (Today: DD gives
// To5a24: 5 for 2024-03-05). Only a to z are upper-cased for the match; every other byte
// matches itself and so never a token. The time of day is not formatted.
//
// The definition searches again from the start of the text after each replacement. A
// replacement is digits, never empty: it matches no token and never joins two runs of
// letters. So each run of one token letter (either case) is replaced on its own, greedily
// from the left: a run of n Y gives n/4 years and, when n%4 is not 0, one two-digit year;
// a run of n M (D) gives (n+1)/2 months (days). One left-to-right pass over the pattern
// gives the same text, in linear time and without a working copy per token.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ardudf::calendar {

// The pattern with the date of the day serial put in. Outside the supported range the
// year, month and day are 0. May throw std::bad_alloc.
std::string format_date(double serial, std::string_view pattern);

} // namespace ardudf::calendar
