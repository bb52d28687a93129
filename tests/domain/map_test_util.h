// Helpers shared by the projection tests: building a Domain in one line and
// comparing longitudes across the date line.
#ifndef KVZ_TESTS_DOMAIN_MAP_TEST_UTIL_H
#define KVZ_TESTS_DOMAIN_MAP_TEST_UTIL_H

#include "domain/domain.h"

#include <cmath>

namespace map_test {

constexpr float kMiss = -9999.0f;

inline Domain make_domain(int proj, float plat, float plon, float param1 = kMiss, float param2 = kMiss) {
  Domain d;
  DOM_init(d);
  d.proj = proj;
  d.plat = plat;
  d.plon = plon;
  d.param1 = param1;
  d.param2 = param2;
  return d;
}

// Difference of two longitudes, brought into -180 to 180.
inline double lon_diff(double a, double b) {
  double d = std::fmod(a - b, 360.0);
  if (d > 180.0) d -= 360.0;
  if (d < -180.0) d += 360.0;
  return d;
}

// Great-circle angle between two points, in degrees.
inline double arc_degrees(double lat1, double lon1, double lat2, double lon2) {
  const double r = M_PI / 180.0;
  const double c = std::sin(lat1 * r) * std::sin(lat2 * r) +
                   std::cos(lat1 * r) * std::cos(lat2 * r) * std::cos((lon1 - lon2) * r);
  return std::acos(c > 1.0 ? 1.0 : (c < -1.0 ? -1.0 : c)) / r;
}

}  // namespace map_test

#endif  // KVZ_TESTS_DOMAIN_MAP_TEST_UTIL_H
