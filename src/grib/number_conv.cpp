// Number formats of GRIB edition 1: IBM System/360 single-precision reals
// (reference values) and the binary scale factor, a power of two whose
// exponent is a 16-bit sign-and-magnitude number.
#include <cmath>

#include "grib/grib.h"

float GRIB_flt_conv(const unsigned char *four) {
  if (four[0] == 0) return 0.0f;
  const int exponent = (four[0] & 0x7F) - 64;
  const double mantissa = ((four[1] << 16) | (four[2] << 8) | four[3]) / 16777216.0;
  const double value = std::ldexp(mantissa, 4 * exponent);
  return static_cast<float>((four[0] & 0x80) ? -value : value);
}

float GRIB_scl_conv(const unsigned char *two) {
  if (two[0] == 0 && two[1] == 0) return 1.0f;
  const int magnitude = ((two[0] & 0x7F) << 8) | two[1];
  const int exponent = (two[0] & 0x80) ? -magnitude : magnitude;
  return static_cast<float>(std::ldexp(1.0, exponent));
}
