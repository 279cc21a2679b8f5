#include "core/text/tokens.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace ardudf::text;

struct SkipCase {
    const char* text;
    std::size_t from;
    char delimiter;
    std::size_t delimiters, token;
};
TEST(TextTokens, SkipSteps) {
    const SkipCase cases[] = {
        {",,ab,cd", 0, ',', 2, 4},
        {",,ab,cd", 4, ',', 5, 7},
        {"ab", 0, ',', 0, 2},
        {"", 0, ',', 0, 0},
        {",,,", 0, ',', 3, 3},
        {"ab,", 2, ',', 3, 3},
        {"ab", 0, '\0', 0, 2}, // a NUL delimiter never matches:
                               // one token to the end
        {"ab", 2, ',', 2, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(skip_delimiters(c.text, c.from, c.delimiter), c.delimiters) << c.text << " @" << c.from;
        EXPECT_EQ(skip_token(c.text, c.from, c.delimiter), c.token) << c.text << " @" << c.from;
    }
}

// Consuming a list head by head visits the non-empty pieces of a plain split, in order.
TEST(TextTokens, HeadAndTailWalkEveryToken) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> piece(0, 4), letter(0, 2);
    for (int round = 0; round < 5000; ++round) {
        std::string list(static_cast<std::size_t>(piece(rng)), ';'); // leading delimiters too
        std::vector<std::string> expected;
        for (int i = piece(rng); i >= 0; --i) {
            std::string token(static_cast<std::size_t>(piece(rng)), 'x');
            for (char& ch : token) ch = static_cast<char>('a' + letter(rng));
            if (!token.empty()) expected.push_back(token);
            list += token + std::string(static_cast<std::size_t>(1 + piece(rng)), ';');
        }
        std::vector<std::string> seen;
        for (std::string rest = list; !first_token(rest, ';').empty(); rest = std::string(after_first_token(rest, ';')))
            seen.emplace_back(first_token(rest, ';'));
        ASSERT_EQ(seen, expected) << list;
    }
}

} // namespace
