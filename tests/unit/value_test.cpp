#include "core/value/value.h"

#include "ardudf_version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <thread>

namespace {

using namespace ardudf::value;

constexpr std::int32_t int_max = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t int_min = std::numeric_limits<std::int32_t>::min();

struct IntCase {
    const char* text;
    std::int32_t expected;
};
TEST(Value, ToInt32) {
    const IntCase cases[] = {
        {"  -17abc", -17},
        {"abc", 0},
        {"+5", 5},
        {"- 5", 0},
        {"99999999999", int_max},
        {"-99999999999", int_min},
        {"-2147483648", int_min},
        {"2147483647", int_max},
        {"2147483648", int_max},
        {"-2147483649", int_min},
        {"", 0},
        {"-", 0},
        {"+-1", 0},
        {"\t\n\v\f\r 12", 12}, // the six white-space bytes
        {"\xA0"
         "12",
         0}, // a no-break space is not white space
        {"0000000000000000000042", 42},
        {"-0", 0},
        {"12 34", 12},
        {"1e5", 1},
        {"999999999999999999999999999999", int_max}, // far past 64 bits
    };
    for (const auto& c : cases) EXPECT_EQ(to_int32(c.text), c.expected) << '"' << c.text << '"';
}

// strtol in the C locale reads the same grammar; clamped to int32 it is an oracle.
TEST(Value, ToInt32AgreesWithClampedStrtol) {
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

TEST(Value, GeneratorFirstDraws) {
    IdGenerator g;
    const std::uint32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (std::uint32_t e : expected) EXPECT_EQ(g.draw(), e);
}

TEST(Value, ThreadGeneratorIsPerThread) {
    IdGenerator& mine = thread_generator();
    mine.draw();
    std::uint32_t other_state = 0;
    std::thread([&] { other_state = thread_generator().state; }).join();
    EXPECT_EQ(other_state, 1u);
    EXPECT_NE(mine.state, 1u);
}

// The project's release (CMakeLists.txt) and the face, as a DBA reads them.
TEST(Value, ReleaseAndFace) {
    EXPECT_EQ(release_and_face(Face::legacy), "ardudf " ARDUDF_VERSION " legacy");
    EXPECT_EQ(release_and_face(Face::udr), "ardudf " ARDUDF_VERSION " UDR");
    const std::string release = ARDUDF_VERSION;
    EXPECT_EQ(release.find_first_not_of("0123456789."), std::string::npos) << release;
    EXPECT_EQ(std::count(release.begin(), release.end(), '.'), 2) << release;
}

} // namespace
