// Satellite view: the earth as seen from a satellite above the equator at
// longitude plon, on a sphere or on the ellipsoid. Map coordinates are
// sat_rad * tan(scan angle), or sat_rad * scan angle when param2 is 1; the
// second scan angle is measured after the first has turned the line of sight.
#include "domain/map_state.h"

#include <cmath>

namespace kvz_map {
namespace {

// A satellite at or inside the earth's surface, or so far away that its
// squared distances overflow, sees nothing.
void sat_prepare(MapState &s) {
  if (s.sat_ratio != kMissing) return;
  s.sat_ratio = static_cast<float>(s.sat_rad / kEarthRadius);
  s.degenerate = !(s.sat_rad > kEquatorRadius) || !std::isfinite(s.sat_rad4) ||
                 !std::isfinite(s.sat2_earth2);
  s.earth_ratio = s.degenerate ? 1.0f : static_cast<float>(kEarthRadius / s.sat_rad);
}

bool scan_angles(const MapState &s) { return s.domain.param2 == 1.0f; }

// Where the line of sight through the two scan angles meets the earth:
// cartesian point (b toward the satellite, c eastward, z northward) of the
// near intersection with the surface of equatorial radius^2 `radius2` and
// squared axis ratio `ratio2`. False when the line misses the earth.
struct Hit {
  double b = 0.0, c = 0.0, z = 0.0;
};

bool line_of_sight(const MapState &s, double x, double y, double radius2, double ratio2, Hit &hit) {
  const double ax = scan_angles(s) ? x / s.sat_rad : std::atan(x / s.sat_rad);
  const double ay = scan_angles(s) ? y / s.sat_rad : std::atan(y / s.sat_rad);
  const double sin_ay = std::sin(ay);
  const double cos_ay = std::cos(ay);
  const double a = std::cos(ax) * s.sat_rad * cos_ay;
  const double w = sin_ay * sin_ay / ratio2 + cos_ay * cos_ay;
  const double sat = s.sat_rad;
  const double disc = a * a - w * (sat * sat - radius2);  // squared here: the stored square is rounded
  if (disc < 0.0) return false;
  const double dist = (a - std::sqrt(disc)) / w;
  hit.b = s.sat_rad - std::cos(ax) * dist * cos_ay;
  hit.c = std::sin(ax) * dist * cos_ay;
  hit.z = sin_ay * dist;
  return true;
}

}  // namespace

int sat_tran(MapState &s, double lat, double lon, float &x, float &y) {
  sat_prepare(s);
  if (s.degenerate) return map_fail(x, y);
  const bool sphere = s.domain.ellipsoid == 0;
  double c = 0.0;
  double sn = 0.0;
  if (sphere) {
    c = std::cos(kD2r * lat);
    sn = std::sin(kD2r * lat);
  } else {
    const double psi = std::atan(std::tan(kD2r * lat) * s.earth_ratio2);  // geocentric latitude
    c = std::cos(psi);
    sn = std::sin(psi);
  }
  const double t = kD2r * (lon - s.domain.plon);
  if (std::cos(t) * c < s.earth_ratio) return map_fail(x, y);  // beyond the horizon
  const double r = sphere ? kEarthRadius
                          : kPolarRadius / std::sqrt(1.0 - (1.0 - s.earth_ratio2) * c * c);
  const double d = s.sat_rad - r * std::cos(t) * c;
  const double e = std::sqrt(r * r * std::sin(t) * std::sin(t) * c * c + d * d);
  double px = r * std::sin(t) * c / d;
  double py = r * sn / e;
  if (scan_angles(s)) {
    px = std::atan(px);
    py = std::atan(py);
  }
  x = static_cast<float>(px * s.sat_rad);
  y = static_cast<float>(py * s.sat_rad);
  return 1;
}

// The sphere is the ellipsoid with radius R and axis ratio 1: both follow the
// same line of sight as the forward transform.
int sat_untran(MapState &s, double x, double y, float &lat, float &lon) {
  sat_prepare(s);
  if (s.degenerate) return map_fail(lat, lon);
  const bool sphere = s.domain.ellipsoid == 0;
  const double radius2 = sphere ? kEarthRadius2 : kEquatorRadius2;
  const double ratio2 = sphere ? 1.0 : static_cast<double>(s.earth_ratio2);
  Hit hit;
  if (!line_of_sight(s, x, y, radius2, ratio2, hit)) return map_fail(lat, lon);
  const double across = std::sqrt(hit.c * hit.c + hit.b * hit.b);
  lat = static_cast<float>(std::atan2(hit.z, across * ratio2) * kR2d);
  lon = static_cast<float>(std::atan2(hit.c, hit.b) * kR2d + s.domain.plon);
  return 1;
}

}  // namespace kvz_map
