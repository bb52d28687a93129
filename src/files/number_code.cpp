// The compact number code: a float packed as decimal exponent times 100 plus
// its first two significant digits, in single precision with truncation.
#include "files/files.h"

#include <cmath>

namespace {

// Magnitudes of 1 or more: exponent i >= 0 of the leading digit.
int code_from_one_up(float f) {
  const int e = static_cast<int>(std::log10(f) + 5.0f);
  const int i = e - 5;
  if (i == 0) f *= 10.0f;
  for (int k = 1; k < i; ++k) f /= 10.0f;
  return i * 100 + static_cast<int>(f) % 100;
}

// Magnitudes below 1: the exponent is stored as i + 10 (9 for 0.1 to 0.99,
// 8 for 0.01 to 0.099, ...) and the mantissa keeps the first two significant
// digits, so 0.5 and 0.1 stay apart.  A float such as 0.01f lies just below
// the decimal it was written as; the nudge of one part in a million (far
// above float precision, far below a mantissa step) lets exponent and digits
// agree on the decimal.
int code_below_one(float f) {
  const double value = static_cast<double>(f) * (1.0 + 1e-6);
  const int i = static_cast<int>(std::floor(std::log10(value)));
  const double scaled = value * std::pow(10.0, 1 - i);
  return (i + 10) * 100 + static_cast<int>(scaled) % 100;
}

}  // namespace

int float2int(float f) {
  if (f == 0.0f || !std::isfinite(f)) return 0;
  const bool negative = f < 0.0f;
  const float magnitude = negative ? -f : f;
  const int code = (magnitude >= 1.0f) ? code_from_one_up(magnitude) : code_below_one(magnitude);
  return negative ? -code : code;
}
