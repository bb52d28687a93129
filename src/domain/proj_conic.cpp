// Lambert conformal conic projection, forward and inverse. The formulas are
// written for a cone whose apex is over the north pole; a southern projection
// (plat < 0) mirrors latitudes through the equator (scale = -1).
#include "domain/map_state.h"

#include <cmath>

namespace kvz_map {
namespace {

// Smallest cone constant accepted: flatter cones approach a cylinder, whose
// radii no longer fit single precision.
constexpr double kMinCone = 1e-4;

struct Cone {
  double n = 0.0;     // cone constant
  double mult = 0.0;  // radius factor: rho = tan(45 - lat/2)^n * R * mult
  bool ok = false;
};

// The standard parallels in the mirrored (apex north) frame. Southern
// parallels usually come signed (-30, -60); parallels that both lie on the
// far side of the equator from the apex describe no cone with that apex and
// are read by magnitude, as written for the northern case.
void mirrored_parallels(const MapState &s, double &p1, double &p2) {
  p1 = static_cast<double>(s.tlat1) * s.scale;
  p2 = static_cast<double>(s.tlat2) * s.scale;
  if (p1 < 0.0 && p2 < 0.0) {
    p1 = -p1;
    p2 = -p2;
  }
}

// ln tan(45 - p/2), finite for parallels strictly between the poles.
double log_tan_half(double p) { return std::log(std::tan(kD2r * (45.0 - 0.5 * p))); }

double cone_constant(double p1, double p2) {
  if (p1 == p2) return std::cos(kD2r * (90.0 - p1));  // tangent cone
  if (std::fabs(p1) >= 90.0 || std::fabs(p2) >= 90.0) return 0.0;  // secant through a pole
  const double den = log_tan_half(p1) - log_tan_half(p2);
  if (den == 0.0) return std::cos(kD2r * (90.0 - p1));
  return (std::log(std::cos(kD2r * p1)) - std::log(std::cos(kD2r * p2))) / den;
}

Cone make_cone(double p1, double p2) {
  Cone cone;
  if (!(std::fabs(p1) <= 90.0 && std::fabs(p2) <= 90.0)) return cone;  // also rejects NaN
  cone.n = cone_constant(p1, p2);
  if (!(cone.n >= kMinCone && cone.n <= 1.0 + 1e-9)) return cone;
  // cos(p1) / (tan(u)^n * n) with u = 45 - p1/2, written as
  // 2 cos^2(u) tan(u)^(1-n) / n so that a cone tangent at the pole (u = 0,
  // n = 1) gets its limit 2 instead of 0 / 0.
  const double u = kD2r * (45.0 - 0.5 * p1);
  const double cos_u = std::cos(u);
  cone.mult = 2.0 * cos_u * cos_u * std::pow(std::tan(u), 1.0 - cone.n) / cone.n;
  cone.ok = std::isfinite(cone.mult) && cone.mult > 0.0;
  return cone;
}

void lamb_prepare(MapState &s) {
  if (s.xfactor != kMissing) return;
  s.scale = s.domain.plat >= 0 ? 1.0f : -1.0f;
  double p1 = 0.0;
  double p2 = 0.0;
  mirrored_parallels(s, p1, p2);
  const Cone cone = make_cone(p1, p2);
  s.xfactor = static_cast<float>(cone.n);
  s.mult = static_cast<float>(cone.mult);
  s.degenerate = !cone.ok;
}

}  // namespace

int lamb_tran(MapState &s, double lat, double lon, float &x, float &y) {
  lamb_prepare(s);
  if (s.degenerate) return map_fail(x, y);
  if (s.scale > 0 && lat < -89.0) lat = -89.0;  // the far pole is out of reach
  if (s.scale < 0 && lat > 89.0) lat = 89.0;
  if (std::fabs(lat) > 90.0) return map_fail(x, y);
  const double n = s.xfactor;
  const double rho = std::pow(std::tan(kD2r * (45.0 - lat * s.scale * 0.5)), n) * kEarthRadius * s.mult;
  const double angle = kD2r * wrap_once(lon - s.domain.plon) * n;
  x = static_cast<float>(rho * std::sin(angle));
  y = static_cast<float>(-s.scale * rho * std::cos(angle));
  return 1;
}

int lamb_untran(MapState &s, double x, double y, float &lat, float &lon) {
  lamb_prepare(s);
  if (s.degenerate) return map_fail(lat, lon);
  const double n = s.xfactor;
  const double r = std::sqrt(x * x + y * y);
  const double offset = (x == 0.0 && y == 0.0) ? 0.0 : std::atan2(x, -s.scale * y) * kR2d;
  const double t = std::pow(r / (kEarthRadius * s.mult), 1.0 / n);
  lat = static_cast<float>(s.scale * 90.0 - kR2d * 2.0 * s.scale * std::atan(t));
  lon = static_cast<float>(offset / n + s.domain.plon);
  return 1;
}

}  // namespace kvz_map
