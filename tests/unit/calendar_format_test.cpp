// Date formatting: the token table, the case-insensitive search, and the one-pass
// replacement against the definition's search-again-from-the-start loop.
#include "core/calendar/format.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace ardudf::calendar;

constexpr double mar_5_2024 = 45356.0;

struct FormatCase {
    double serial;
    std::string_view pattern, expected;
};
TEST(CalendarFormat, FormatDate) {
    const FormatCase cases[] = {
        {mar_5_2024, "DD.MM.YYYY", "5.3.2024"},
        {mar_5_2024, "YYYY-MM-DD", "2024-3-5"},
        {mar_5_2024, "yyyy/mm/dd", "2024/3/5"},
        {mar_5_2024, "D. M. YY", "5. 3. 24"},
        {mar_5_2024, "YYYYMMDD", "202435"},
        {mar_5_2024, "YYY", "24"},
        {mar_5_2024, "YYYYY", "202424"},
        {mar_5_2024, "MMM", "33"},
        {mar_5_2024, "DDD", "55"},
        {mar_5_2024, "Mon DD", "3on 5"},
        {mar_5_2024, "Today: DD", "To5a24: 5"}, // y -> 24 first, then DD, then the d of Toda24
        {mar_5_2024, "Date: DD.MM.YYYY", "5ate: 5.3.2024"},
        {mar_5_2024, "", ""},
        {mar_5_2024 + 0.99, "DD.MM.YYYY", "5.3.2024"}, // the time of day is not formatted
        {mar_5_2024, "no tokens here!", "no tokens here!"},
        {mar_5_2024, "\xd9\xf9\xcd\xed 1", "\xd9\xf9\xcd\xed 1"},
        {45651.0, "DD.MM.YYYY", "25.12.2024"},
        {45651.0, "MMM", "1212"},
        {38542.0, "YY", "05"},
        {38542.0, "DD.MM.YYYY", "9.7.2005"},
        {36526.0, "YY", "00"},
        {2958466.0, "YYYY/YY", "10000/00"}, // 10000-01-01: five digits
        {-1.0, "D.M.YYYY", "29.12.1899"},
        // outside the supported range the fields are 0
        {1e300, "DD.MM.YYYY", "0.0.0"},
        {-109206.0, "YY-M-D", "00-0-0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(format_date(c.serial, c.pattern), c.expected) << c.pattern << " @" << c.serial;
}

// The definition, literally: after each replacement, search again from the start.
std::string format_by_restarting(std::string text, int year, int month, int day) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    auto replace_all = [&](const std::string& token, const std::string& number) {
        for (;;) {
            std::size_t p = 0;
            while (p + token.size() <= text.size()) {
                std::size_t i = 0;
                while (i < token.size() && up(text[p + i]) == token[i]) ++i;
                if (i == token.size()) break;
                ++p;
            }
            if (p + token.size() > text.size()) return;
            text = text.substr(0, p) + number + text.substr(p + token.size());
        }
    };
    char yy[8];
    std::snprintf(yy, sizeof yy, "%02d", year % 100);
    replace_all("YYYY", std::to_string(year));
    for (const char* t : {"YYY", "YY", "Y"}) replace_all(t, yy);
    for (const char* t : {"MM", "M"}) replace_all(t, std::to_string(month));
    for (const char* t : {"DD", "D"}) replace_all(t, std::to_string(day));
    return text;
}

struct Date {
    double serial;
    int y, m, d;
};
TEST(CalendarFormat, OnePassEqualsTheRestartDefinition) {
    // Equal, longer and shorter numbers than their tokens: 4- and 5-digit years, 1- and
    // 2-digit months and days.
    const Date dates[] = {{45356.0, 2024, 3, 5}, {45651.0, 2024, 12, 25}, {2958466.0, 10000, 1, 1}, {1e300, 0, 0, 0}};
    const std::string alphabet = "yyyyYYYYmmmMMMddDDDaT .:-9\xff";
    std::mt19937 random(20240305);
    for (int i = 0; i < 4000; ++i) {
        const std::size_t length = i < 3900 ? random() % 40 : random() % 3000;
        std::string pattern;
        for (std::size_t k = 0; k < length; ++k) pattern += alphabet[random() % alphabet.size()];
        const Date& date = dates[i % 4];
        ASSERT_EQ(format_date(date.serial, pattern), format_by_restarting(pattern, date.y, date.m, date.d))
            << "pattern: " << pattern;
    }
}

// Every pattern of up to 6 bytes over the token letters of both cases and a separator:
// every run length up to 6 and every mix of case and neighbour.
TEST(CalendarFormat, OnePassEqualsTheRestartDefinitionForEveryShortPattern) {
    const std::string alphabet = "yYmMdD.";
    const Date dates[] = {{45356.0, 2024, 3, 5}, {2958466.0, 10000, 1, 1}};
    std::vector<std::string> patterns{""};
    for (std::size_t length = 1, from = 0; length <= 6; ++length) {
        const std::size_t to = patterns.size();
        for (std::size_t p = from; p < to; ++p)
            for (char c : alphabet) patterns.push_back(patterns[p] + c);
        from = to;
    }
    for (const Date& date : dates)
        for (const std::string& pattern : patterns)
            ASSERT_EQ(format_date(date.serial, pattern), format_by_restarting(pattern, date.y, date.m, date.d))
                << "pattern: " << pattern;
}

} // namespace
