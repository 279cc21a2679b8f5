#include "balance/tolerance.h"

#include <cmath>

namespace ardudf::balance {
namespace {

double step_for(std::int32_t places) noexcept {
    // The engine asks for 6 places on every take; pow of the same arguments gives the
    // same double, so that one is computed once.
    static const double six = std::pow(10.0, -6.0);
    if (places == 6) return six;
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
