#include "core/balance/tolerance.h"

#include <gtest/gtest.h>

namespace {

using namespace ardudf::balance;

struct ZeroCase {
    double value;
    int expected;
};
TEST(Tolerance, IsZeroAmountAtSixPlaces) {
    const ZeroCase cases[] = {
        {0.0, 1},        {-0.0, 1},       {0.0000004, 1},
        {0.00000049, 1}, {0.0000005, 0}, // an exact half rounds away to 0.000001
        {-0.0000004, 1}, {-0.0000005, 0}, {5000.0, 0},
        {1e-300, 1},     {0.000001, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(is_zero_amount(c.value, 6), c.expected) << c.value;
}

struct CompareCase {
    double a, b;
    int places, expected;
};
TEST(Tolerance, CompareAmounts) {
    const CompareCase cases[] = {
        {1.0, 1.0000004, 6, 0}, {1.0, 1.0000006, 6, -1},
        {1.0000006, 1.0, 6, 1}, {5000.0, 6000.0, 6, -1},
        {2.345, 2.35, 2, 0},    {2.344, 2.35, 2, -1},
        {0.005, 0.0, 2, 1},     {-0.005, 0.0, 2, -1},
        {0.4, -0.4, 0, 0},      {1000000000.0, 1000000000.0000004, 6, 0}, // a quotient of 10^15 stays exact
    };
    for (const auto& c : cases)
        EXPECT_EQ(compare_amounts(c.a, c.b, c.places), c.expected) << c.a << " vs " << c.b << " @" << c.places;
}

struct RoundCase {
    double value, step, expected;
};
TEST(Tolerance, RoundToStep) {
    const RoundCase cases[] = {
        {2.5, 1.0, 3.0},    {-2.5, 1.0, -3.0}, {2.4999, 1.0, 2.0}, {7.4, 5.0, 5.0},
        {-7.5, 5.0, -10.0}, {7.0, 0.0, 7.0},   {0.15, 0.1, 0.1}, // the double quotient lies just below 1.5
        {0.0, 1.0, 0.0},    {-0.4, 1.0, 0.0},
    };
    for (const auto& c : cases) EXPECT_EQ(round_to_step(c.value, c.step), c.expected) << c.value << " / " << c.step;
}

} // namespace
