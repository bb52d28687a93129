// The package's level codes for the fixed surfaces of GRIB edition 2: each
// surface type (isobaric, height above ground, sigma, depth ...) maps onto
// the edition 1 level type for a single surface or for a layer, with the
// value in that level type's units.
#include "grib/edition2_levels.h"

#include <cmath>
#include <limits>

namespace {

constexpr int32_t kMissing = -9999;
constexpr double kWholeLimit = 1e15;  // beyond it no level code can hold the value

// Truncation toward zero, clamped so that it is always defined.
int64_t whole(double v) {
  if (std::isnan(v)) return kMissing;
  if (v > kWholeLimit) return static_cast<int64_t>(kWholeLimit);
  if (v < -kWholeLimit) return -static_cast<int64_t>(kWholeLimit);
  return static_cast<int64_t>(v);
}

// A pair of layer bounds in one code: top × 1000 + bottom.
int64_t layer(int64_t top, int64_t bottom) { return top * 1000 + bottom; }

int64_t hundredths(double v) { return whole(v * 100.0 + 0.01); }

int32_t fit(int64_t level) {
  if (level > std::numeric_limits<int32_t>::max() || level < std::numeric_limits<int32_t>::min()) return kMissing;
  return static_cast<int32_t>(level);
}

struct Coded {
  int ltype;
  int64_t level;
};

Coded code(const FixedSurfaces &f) {
  const bool single = f.type2 == 255;
  const double a = f.a, b = f.b;
  switch (f.type1) {
    case 100:  // isobaric, Pa
      return single ? Coded{100, whole(a / 100.0)} : Coded{101, layer(whole(a / 1000.0), whole(b / 1000.0))};
    case 101:  // mean sea level
      return {102, 0};
    case 102:  // altitude above mean sea level, m
      return single ? Coded{103, whole(a)} : Coded{104, layer(whole(a) / 100, whole(b) / 100)};
    case 103:  // height above ground, m
      return single ? Coded{105, whole(a + 0.5)} : Coded{106, layer(whole(a) / 100, whole(b) / 100)};
    case 104:  // sigma
      return single ? Coded{107, whole(a * 10000.0 + 0.01)} : Coded{108, layer(hundredths(a), hundredths(b))};
    case 105:  // hybrid
      return {109, whole(a)};
    case 106:  // depth below land surface, m
      return single ? Coded{111, hundredths(a)} : Coded{112, layer(hundredths(a), hundredths(b))};
    case 107:  // isentropic, K
      return {single ? 113 : 114, whole(a)};
    case 108:  // pressure difference from ground, Pa
      return single ? Coded{115, whole(a / 100.0)} : Coded{116, layer(whole(a / 100.0), whole(b / 100.0))};
    case 109:  // potential vorticity
      return {117, a > 0 ? whole(a * 1000000.0 + 0.01) : whole(a * 1000000.0 - 0.01)};
    case 111:  // eta
      return {single ? 119 : 120, whole(a)};
    default:
      return {f.type1, whole(a)};
  }
}

}  // namespace

PackageLevel ed2_package_level(const FixedSurfaces &f) {
  const Coded c = code(f);
  return {c.ltype, fit(c.level)};
}
