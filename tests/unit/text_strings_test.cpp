#include "core/text/strings.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>

namespace {

using namespace ardudf::text;

constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();

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

// Sizes at the edge of the allocator's int32: 0 means "cannot be asked for".
struct SizeCase {
    std::size_t length;
    std::size_t quoted;
};
TEST(TextStrings, QuoteSizeNeverWraps) {
    const std::size_t half = (static_cast<std::size_t>(int_max) - 3) / 2;
    const SizeCase cases[] = {
        {0, 3},
        {1, 5},
        {16383, 32769},
        {half, static_cast<std::size_t>(int_max)},
        {half + 1, 0},
#if SIZE_MAX > UINT32_MAX // lengths that only a 64-bit build can hold
        {std::size_t{1} << 40, 0},
#endif
        {std::numeric_limits<std::size_t>::max() / 2, 0},
        {std::numeric_limits<std::size_t>::max(), 0},
    };
    for (const auto& c : cases) EXPECT_EQ(quote_literal_size(c.length), c.quoted) << c.length;
}

struct PadLengthCase {
    std::size_t length;
    std::int32_t wanted;
    std::size_t expected;
};
TEST(TextStrings, LpadLength) {
    const PadLengthCase cases[] = {
        {2, 5, 5},
        {2, 1, 2},
        {2, 2, 2},
        {0, 0, 0},
        {2, -1, 2},
        {2, int_min, 2},
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
