// Azimuthal projections: polar stereographic, orthographic and Lambert
// azimuthal equal-area, forward and inverse.
#include "domain/map_state.h"

#include <cmath>

namespace kvz_map {
namespace {

constexpr double kTwoRadii = 127.42440032958984;  // 2R: the equal-area disc's radius

// Polar stereographic constants: the hemisphere sign and the radius factor
// that makes the scale true at tlat1. A true latitude at the opposite pole
// would shrink the whole map to one point: no projection.
void pstereo_prepare(MapState &s) {
  if (s.xfactor != kMissing) return;
  s.scale = s.domain.plat >= 0 ? -1.0f : 1.0f;
  const double factor = (1.0 - std::sin(kD2r * s.tlat1) * s.scale) * kEarthRadius;
  s.xfactor = static_cast<float>(factor);
  s.degenerate = !(s.xfactor > 0.0f);
}

void ortho_prepare(MapState &s) {
  if (s.xfactor != kMissing) return;
  if (s.domain.plat == kMissing) s.domain.plat = 0.0f;
  s.xfactor = static_cast<float>(std::cos(kD2r * s.domain.plat));
  s.yfactor = static_cast<float>(std::sin(kD2r * s.domain.plat));
}

}  // namespace

// ---- polar stereographic -------------------------------------------------------

int pstereo_tran(MapState &s, double lat, double lon, float &x, float &y) {
  pstereo_prepare(s);
  if (s.degenerate) return map_fail(x, y);
  if (s.scale * lat > 75.0) lat = 75.0 * s.scale;  // far hemisphere stops at 75 degrees
  const double r = std::tan(kD2r * (lat * s.scale + 90.0) * 0.5) * s.xfactor;
  const double t = kD2r * (lon - s.domain.plon);
  x = static_cast<float>(r * std::sin(t));
  y = static_cast<float>(s.scale * r * std::cos(t));
  return 1;
}

int pstereo_untran(MapState &s, double x, double y, float &lat, float &lon) {
  pstereo_prepare(s);
  if (s.degenerate) return map_fail(lat, lon);
  const double r = std::sqrt(x * x + y * y);
  const double offset = (x == 0.0 && y == 0.0) ? 0.0 : std::atan2(x, y * s.scale) * kR2d;
  lat = static_cast<float>((2.0 * std::atan(r / s.xfactor) * kR2d - 90.0) * s.scale);
  lon = static_cast<float>(offset + s.domain.plon);
  return 1;
}

// ---- orthographic --------------------------------------------------------------

int ortho_tran(MapState &s, double lat, double lon, float &x, float &y) {
  ortho_prepare(s);
  const double t = kD2r * (lon - s.domain.plon);
  const double cos_a = std::cos(kD2r * lat);
  const double sin_a = std::sin(kD2r * lat);
  const double cos_t = std::cos(t);
  if (cos_a * s.xfactor * cos_t + sin_a * s.yfactor < 0.0) return map_fail(x, y);  // far side
  x = static_cast<float>(std::sin(t) * kEarthRadius * cos_a);
  y = static_cast<float>((s.xfactor * sin_a - cos_a * s.yfactor * cos_t) * kEarthRadius);
  return 1;
}

int ortho_untran(MapState &s, double x, double y, float &lat, float &lon) {
  ortho_prepare(s);
  const double q = kEarthRadius2 - x * x - y * y;
  if (q < 0.0) return map_fail(lat, lon);  // outside the disc
  const double root = std::sqrt(q);
  lat = static_cast<float>(safe_asin((y * s.xfactor + root * s.yfactor) / kEarthRadius) * kR2d);
  lon = static_cast<float>(std::atan2(x, root * s.xfactor - y * s.yfactor) * kR2d + s.domain.plon);
  return 1;
}

// ---- Lambert azimuthal equal-area ------------------------------------------------

int lambaz_tran(MapState &s, double lat, double lon, float &x, float &y) {
  const double t = kD2r * (lon - s.domain.plon);
  const double sin_p = std::sin(kD2r * s.domain.plat);
  const double cos_p = std::cos(kD2r * s.domain.plat);
  const double sin_a = std::sin(kD2r * lat);
  const double cos_a = std::cos(kD2r * lat);
  const double g = cos_p * cos_a * std::cos(t) + sin_p * sin_a;
  // The antipode spreads over the disc's rim; points within rounding of it
  // are treated as the antipode.
  if (g + 1.0 <= 1e-12) return map_fail(x, y);
  const double k = std::sqrt(2.0 / (g + 1.0)) * kEarthRadius;
  s.mult = static_cast<float>(k);
  x = static_cast<float>(cos_a * k * std::sin(t));
  y = static_cast<float>((sin_a * cos_p - sin_p * cos_a * std::cos(t)) * k);
  return 1;
}

int lambaz_untran(MapState &s, double x, double y, float &lat, float &lon) {
  const Domain &d = s.domain;
  const double rho = std::sqrt(x * x + y * y);
  const double q = rho / kTwoRadii;
  if (q > 1.0) return map_fail(lat, lon);
  if (rho < 1e-10) {  // the tangent point itself
    lat = d.plat;
    lon = d.plon;
    return 1;
  }
  const double c = 2.0 * std::asin(q);
  const double sin_p = std::sin(kD2r * d.plat);
  const double cos_p = std::cos(kD2r * d.plat);
  const double phi = safe_asin(cos_p * std::sin(c) * y / rho + sin_p * std::cos(c));
  lat = static_cast<float>(phi * kR2d);
  if (std::fabs(std::fabs(static_cast<double>(d.plat)) - 90.0) < 1e-10) {
    const double offset = d.plat >= 0 ? std::atan2(x, -y) : -std::atan2(-x, y);
    lon = static_cast<float>(offset * kR2d + d.plon);
    return 1;
  }
  const double den = std::cos(c) - std::sin(phi) * sin_p;
  if (den == 0.0) {
    lon = d.plon;
    return 1;
  }
  lon = static_cast<float>(std::atan2(std::sin(c) * x * cos_p, den * rho) * kR2d + d.plon);
  return 1;
}

}  // namespace kvz_map
