#include "core/text/strings.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <thread>

namespace {

using namespace ardudf::text;

constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();

struct IntCase { const char* text; std::int32_t expected; };
TEST(TextStrings, ToInt32) {
    const IntCase cases[] = {
        {"  -17abc", -17}, {"abc", 0}, {"+5", 5}, {"- 5", 0}, {"99999999999", int_max},
        {"-99999999999", int_min}, {"-2147483648", int_min}, {"2147483647", int_max},
        {"2147483648", int_max}, {"-2147483649", int_min}, {"", 0}, {"-", 0}, {"+-1", 0},
        {"\t\n\v\f\r 12", 12},     // the six white-space bytes
        {"\xA0" "12", 0},          // a no-break space is not white space
        {"0000000000000000000042", 42}, {"-0", 0}, {"12 34", 12}, {"1e5", 1},
        {"999999999999999999999999999999", int_max},   // far past 64 bits
    };
    for (const auto& c : cases) EXPECT_EQ(to_int32(c.text), c.expected) << '"' << c.text << '"';
}

// strtol in the C locale reads the same grammar; clamped to int32 it is an oracle.
TEST(TextStrings, ToInt32AgreesWithClampedStrtol) {
    std::mt19937 rng(20240601);
    const std::string alphabet = "0123456789999999 \t\n+-+-xA\xA0\xFF";
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1), length(0, 24);
    for (int i = 0; i < 200000; ++i) {
        std::string s(length(rng), ' ');
        for (char& ch : s) ch = alphabet[pick(rng)];
        errno = 0;
        const long long parsed = std::strtoll(s.c_str(), nullptr, 10);
        const long long clamped = parsed > int_max ? int_max : parsed < int_min ? int_min : parsed;
        ASSERT_EQ(to_int32(s), clamped) << '"' << s << '"';
    }
}

// Word-wise reversal against reverse iterators, across every tail length.
TEST(TextStrings, ReverseAgreesWithReverseIterators) {
    std::string text;
    for (int n = 0; n < 70; ++n) {
        std::string out(text.size(), '?');
        reverse(text, out.data());
        ASSERT_EQ(out, std::string(text.rbegin(), text.rend())) << n;
        text += static_cast<char>('!' + n * 7 % 90);
    }
}

TEST(TextStrings, GeneratorFirstDraws) {
    IdGenerator g;
    const std::uint32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (std::uint32_t e : expected) EXPECT_EQ(g.draw(), e);
}

TEST(TextStrings, ThreadGeneratorIsPerThread) {
    IdGenerator& mine = thread_generator();
    mine.draw();
    std::uint32_t other_state = 0;
    std::thread([&] { other_state = thread_generator().state; }).join();
    EXPECT_EQ(other_state, 1u);
    EXPECT_NE(mine.state, 1u);
}

// Sizes at the edge of the allocator's int32: 0 means "cannot be asked for".
struct SizeCase { std::size_t length; std::size_t quoted; };
TEST(TextStrings, QuoteSizeNeverWraps) {
    const std::size_t half = (static_cast<std::size_t>(int_max) - 3) / 2;
    const SizeCase cases[] = {
        {0, 3}, {1, 5}, {16383, 32769}, {half, static_cast<std::size_t>(int_max)}, {half + 1, 0},
#if SIZE_MAX > UINT32_MAX // lengths that only a 64-bit build can hold
        {std::size_t{1} << 40, 0},
#endif
        {std::numeric_limits<std::size_t>::max() / 2, 0},
        {std::numeric_limits<std::size_t>::max(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(quote_literal_size(c.length), c.quoted) << c.length;
}

struct PadLengthCase { std::size_t length; std::int32_t wanted; std::size_t expected; };
TEST(TextStrings, LpadLength) {
    const PadLengthCase cases[] = {
        {2, 5, 5}, {2, 1, 2}, {2, 2, 2}, {0, 0, 0}, {2, -1, 2}, {2, int_min, 2},
        {2, int_max, static_cast<std::size_t>(int_max)},
#if SIZE_MAX > UINT32_MAX
        {std::size_t{1} << 33, int_max, std::size_t{1} << 33},
#endif
    };
    for (const auto& c : cases) EXPECT_EQ(lpad_length(c.length, c.wanted), c.expected) << c.length << " " << c.wanted;
}

TEST(TextStrings, CheckedSizeAndSaturation) {
    EXPECT_EQ(checked_size(static_cast<std::size_t>(int_max)), static_cast<std::size_t>(int_max));
    EXPECT_EQ(checked_size(static_cast<std::size_t>(int_max) + 1), 0u);
    EXPECT_EQ(saturate_int32(static_cast<std::size_t>(int_max) - 1), int_max - 1);
    EXPECT_EQ(saturate_int32(std::numeric_limits<std::size_t>::max()), int_max);
#if SIZE_MAX > UINT32_MAX
    EXPECT_EQ(saturate_int32(std::size_t{1} << 32), int_max);
#endif
}

} // namespace
