#include "core/balance/tolerance.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace ardudf::balance {
namespace {

// 10^0 .. 10^22, each exact in a double.
constexpr std::array<double, 23> powers_of_ten = [] {
    std::array<double, 23> p{};
    p[0] = 1.0;
    for (std::size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10.0;
    return p;
}();

// The double nearest to 10^-places. Not std::pow wherever it can be avoided: mingw-w64's
// is a few ulps off (10^-6 comes out as 1.00000000000000059e-06, 10^-2 misjudges an exact
// 0.005), and the zero test must not depend on the C library. One exact operand divided
// into 1.0 is correctly rounded.
double step_for(std::int32_t places) noexcept {
    if (places >= 0 && places < 23) return 1.0 / powers_of_ten[static_cast<std::size_t>(places)];
    if (places < 0 && places > -23) return powers_of_ten[static_cast<std::size_t>(-places)];
    return std::pow(10.0, -static_cast<double>(places));
}

} // namespace

double round_to_step(double value, double step) noexcept {
    if (step == 0.0) return value;
    const double q = value / step;
    double w = std::trunc(q); // whole quotient, toward zero, whatever the rounding mode
    if (std::fabs(q - w) >= 0.5) w = value >= 0.0 ? w + 1.0 : w - 1.0;
    return step * w;
}

std::int32_t compare_amounts(double a, double b, std::int32_t places) noexcept {
    const double step = step_for(places);
    const double ra = round_to_step(a, step);
    const double rb = round_to_step(b, step);
    const double d = round_to_step(std::fabs(ra - rb), step);
    if (d < step) return 0;
    return a < b ? -1 : 1;
}

std::int32_t is_zero_amount(double value, std::int32_t places) noexcept {
    return compare_amounts(value, 0.0, places) == 0 ? 1 : 0;
}

} // namespace ardudf::balance
