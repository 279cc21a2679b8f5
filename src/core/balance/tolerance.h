// Amounts are compared at a number of decimal places, never rounded when stored. The
// engine asks only is_zero_amount(x, 6). Every intermediate is a double, in the order
// written: a reordered expression gives another double.
#pragma once

#include <cstdint>

namespace ardudf::balance {

// value rounded to the nearest multiple of step, exact halves away from zero (by the sign
// of value). step 0.0 gives value unchanged. The quotient is a double, so a decimal half
// may land just below .5: round_to_step(0.15, 0.1) is 0.1.
double round_to_step(double value, double step) noexcept;

// 0 when a and b are equal at places decimals (their rounded difference is below one
// step), else -1 for a < b and 1 otherwise, by the unrounded values.
std::int32_t compare_amounts(double a, double b, std::int32_t places) noexcept;

// 1 when value rounds to zero at places decimals: at 6 places, |value| < 0.0000005.
std::int32_t is_zero_amount(double value, std::int32_t places) noexcept;

} // namespace ardudf::balance
