// Cylindrical and pseudo-cylindrical projections: latitude-longitude,
// Mercator and Mollweide, forward and inverse.
#include "domain/map_state.h"

#include <cmath>

namespace kvz_map {
namespace {

constexpr double kMercWorld = 400.31556901827287;  // 2 pi R: one turn of longitude
constexpr double kMercHalfWorld = 200.15778450913643;
constexpr double kMercDegree = 1.1119876665653476;  // R * d2r: map units per degree
constexpr double kTwoR2d = 114.59155902616439;
constexpr double kMercLatLimit = 89.9;
constexpr double kMollPi = 3.1415926535898;

// Mollweide's auxiliary angle: solves t + sin t = pi sin(lat) by Newton
// steps; returns t / 2. The derivative 1 + cos t vanishes only at the poles,
// where the iteration has already come as close as it can.
double moll_theta(double lat) {
  const double target = kMollPi * std::sin(kD2r * lat);
  double t = kD2r * lat;
  for (int i = 0; i < 15; ++i) {
    const double slope = 1.0 + std::cos(t);
    if (slope <= 0.0) break;
    const double step = -((t + std::sin(t)) - target) / slope;
    t += step;
    if (std::fabs(step) < 1e-10) break;
  }
  return t * 0.5;
}

}  // namespace

// ---- latitude-longitude ------------------------------------------------------------

int latlon_tran(MapState &s, double lat, double lon, float &x, float &y) {
  x = static_cast<float>(wrap_once(lon - s.domain.plon));
  y = static_cast<float>(lat);
  return 1;
}

int latlon_untran(MapState &s, double x, double y, float &lat, float &lon) {
  lon = static_cast<float>(wrap_once(x + s.domain.plon));
  lat = static_cast<float>(y);
  return 1;
}

// ---- Mercator ------------------------------------------------------------------

int merc_tran(MapState &s, double lat, double lon, float &x, float &y) {
  double mx = kD2r * (lon - s.domain.plon) * kEarthRadius;
  if (mx > kMercHalfWorld) mx -= kMercWorld;
  if (mx < -kMercHalfWorld) mx += kMercWorld;
  if (lat > kMercLatLimit) lat = kMercLatLimit;
  if (lat < -kMercLatLimit) lat = -kMercLatLimit;
  x = static_cast<float>(mx);
  y = static_cast<float>(std::log(std::tan(kD2r * (45.0 - lat * 0.5))) * -kEarthRadius);
  return 1;
}

int merc_untran(MapState &s, double x, double y, float &lat, float &lon) {
  lon = static_cast<float>(wrap_once(x / kMercDegree + s.domain.plon));
  // atan(1 / exp(y / R)) taken as atan(exp(-y / R)); the exponent is bounded
  // so that it neither overflows nor gives 1 / 0 (beyond it the latitude is
  // a pole to single precision).
  double e = -y / kEarthRadius;
  if (e > 50.0) e = 50.0;
  if (e < -50.0) e = -50.0;
  lat = static_cast<float>(90.0 - std::atan(std::exp(e)) * kTwoR2d);
  return 1;
}

// ---- Mollweide -------------------------------------------------------------------

int moll_tran(MapState &s, double lat, double lon, float &x, float &y) {
  const double theta = moll_theta(lat);
  const double diff = wrap_longitude(lon - s.domain.plon);
  const bool at_pole = lat > 89.99 || lat < -89.99;
  x = at_pole ? 0.0f : static_cast<float>((kEarthRadius * diff / 90.0) * std::cos(theta));
  y = static_cast<float>(std::sin(theta) * kEarthRadius);
  return 1;
}

// The ellipse has semi-axes 2R and R: a point is inside when |x| <= 2R cos(theta).
int moll_untran(MapState &s, double x, double y, float &lat, float &lon) {
  const double u = y / kEarthRadius;
  if (u < -1.0 || u > 1.0) return map_fail(lat, lon);
  const double theta = std::asin(u);
  const double v = (std::sin(2.0 * theta) + 2.0 * theta) / kMollPi;
  if (v < -1.0 || v > 1.0) return map_fail(lat, lon);
  const double half_width = 2.0 * kEarthRadius * std::cos(theta);
  if (std::fabs(x) > half_width * (1.0 + 1e-6) + 1e-6) return map_fail(lat, lon);  // beside the ellipse
  const double cos_theta = std::cos(theta);
  double offset = cos_theta > 1e-9 ? x * 90.0 / (cos_theta * kEarthRadius) : 0.0;  // poles: any longitude
  if (offset > 180.0) offset = 180.0;
  if (offset < -180.0) offset = -180.0;
  lat = static_cast<float>(std::asin(v) * kR2d);
  lon = static_cast<float>(offset + s.domain.plon);
  return 1;
}

}  // namespace kvz_map
