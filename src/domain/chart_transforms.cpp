// Coordinate transforms of the chart types that share the projection
// interface: linear x-y charts, the polar (direction, speed) chart, log
// pressure charts and the thermodynamic diagrams (skew-T, Stuve, emagram,
// tephigram). The diagrams' skew comes from the plot window `view`; without a
// usable window they are drawn unskewed (their plain mode).
#include "domain/map_state.h"

#include <cmath>

namespace kvz_map {
namespace {

constexpr double kKelvin = 273.15;
constexpr double kPoisson = 0.286;     // R/cp in the potential temperature
constexpr double kStuve = 0.285714;    // 2/7, the Stuve diagram's pressure exponent

float xmin(const MapState &s) { return s.limits[0]; }
float xmax(const MapState &s) { return s.limits[1]; }
float ymin(const MapState &s) { return s.limits[2]; }
float ymax(const MapState &s) { return s.limits[3]; }

// Potential temperature (K) of temperature t (K) at pressure p (mb); -9999
// when either is not above 0.
double pot_temp(double t, double p) {
  if (!(t > 0.0) || !(p > 0.0)) return kMissing;
  return t * std::pow(1000.0 / p, kPoisson);
}

// Pressure at which temperature t (K) has potential temperature theta.
bool pressure_of(double t, double theta, double &p) {
  if (!(theta > 0.0)) return false;
  const double ratio = t / theta;
  if (!(ratio > 0.0) || !std::isfinite(ratio)) return false;
  p = std::pow(ratio, 1.0 / kPoisson) * 1000.0;
  return true;
}

// A ratio of window size to data extent, or 0 (plain mode) when either is
// empty or missing.
float window_ratio(double window, double extent) {
  if (window == 0.0 || extent == 0.0) return 0.0f;
  const double r = window / extent;
  return std::isfinite(r) ? static_cast<float>(r) : 0.0f;
}

bool view_set(const MapState &s) {
  for (const float v : s.view)
    if (v == kMissing) return false;
  return true;
}

void skewt_prepare(MapState &s) {
  if (s.xfactor != kMissing) return;
  s.scale = ymin(s);
  if (!view_set(s)) {
    s.xfactor = 0.0f;
    return;
  }
  const float aspect = window_ratio(s.view[3] - s.view[2], s.view[1] - s.view[0]);
  s.xfactor = window_ratio((xmax(s) - xmin(s)) * static_cast<double>(aspect), ymax(s) - ymin(s));
}

void tephi_prepare(MapState &s) {
  if (s.xfactor != kMissing) return;
  if (!view_set(s)) {
    s.xfactor = 0.0f;
    return;
  }
  s.xfactor = window_ratio(s.view[1] - s.view[0], xmax(s) - xmin(s));
  s.yfactor = window_ratio(s.view[3] - s.view[2], ymax(s) - ymin(s));
  if (s.yfactor == 0.0f) s.xfactor = 0.0f;
}

int log_pressure(double a, double b, float &x, float &y) {
  if (!(b > 0.0)) return map_fail(x, y);
  x = static_cast<float>(a);
  y = static_cast<float>(-std::log(b));
  return 1;
}

int skewt_tran(MapState &s, double a, double b, float &x, float &y) {
  if (!(b > 0.0)) return map_fail(x, y);
  skewt_prepare(s);
  const double py = -std::log(b);
  x = static_cast<float>((py - s.scale) * s.xfactor + a);
  y = static_cast<float>(py);
  return 1;
}

int stuve_tran(double a, double b, float &x, float &y) {
  if (!(b >= 0.0)) return map_fail(x, y);
  x = static_cast<float>(a);
  y = static_cast<float>(-std::pow(b, kStuve));
  return 1;
}

// Plain mode (xfactor 0): temperature against ln pressure, result 0.
int tephi_tran(MapState &s, double a, double b, float &x, float &y) {
  tephi_prepare(s);
  if (s.xfactor == 0.0f) {
    if (!(b > 0.0)) return map_fail(x, y);
    x = static_cast<float>(a);
    y = static_cast<float>(std::log(b));
    return 0;
  }
  const double theta = pot_temp(a == kMissing ? kMissing : kKelvin + a, b);
  if (!(theta > 0.0)) return map_fail(x, y);
  const double x0 = s.view[0];
  const double y0 = s.view[2];
  const double px = (a - xmin(s)) * s.xfactor + x0;
  const double py = (std::log(theta) - ymin(s)) * s.yfactor + y0;
  const double sx = (py - y0) * 0.5 + (x0 + px) * 0.5;  // rotate by 45 degrees
  const double sy = py - (sx - x0);
  x = static_cast<float>(xmin(s) + (sx - x0) / s.xfactor);
  y = static_cast<float>(ymin(s) + (sy - y0) / s.yfactor);
  return 1;
}

int theta_tran(double a, double b, float &x, float &y) {
  const double theta = pot_temp(kKelvin + a, b);
  if (!(theta > 0.0)) return map_fail(x, y);
  x = static_cast<float>(a);
  y = static_cast<float>(std::log(theta));
  return 1;
}

int skewt_untran(MapState &s, double x, double y, float &a, float &b) {
  skewt_prepare(s);
  a = static_cast<float>(x - (y - s.scale) * s.xfactor);
  b = static_cast<float>(std::exp(-y));
  return 1;
}

int stuve_untran(double x, double y, float &a, float &b) {
  if (y > 0.0) return map_fail(a, b);
  a = static_cast<float>(x);
  b = static_cast<float>(std::pow(-y, 1.0 / kStuve));
  return 1;
}

int tephi_untran(MapState &s, double x, double y, float &a, float &b) {
  tephi_prepare(s);
  if (s.xfactor == 0.0f) {
    a = static_cast<float>(x);
    b = static_cast<float>(std::exp(y));
    return 0;
  }
  const double x0 = s.view[0];
  const double px = (x - xmin(s)) * s.xfactor + x0;
  const double rot = (px - x0) + (y - ymin(s)) * s.yfactor;
  const double temp = xmin(s) + (2.0 * px - rot - 2.0 * x0) / s.xfactor;
  const double theta = std::exp(ymin(s) + rot / s.yfactor);
  double p = 0.0;
  if (!pressure_of(kKelvin + temp, theta, p)) return map_fail(a, b);
  a = static_cast<float>(temp);
  b = static_cast<float>(p);
  return 1;
}

int theta_untran(double x, double y, float &a, float &b) {
  double p = 0.0;
  if (!pressure_of(kKelvin + x, std::exp(y), p)) return map_fail(a, b);
  a = static_cast<float>(x);
  b = static_cast<float>(p);
  return 1;
}

int direction_untran(double x, double y, float &a, float &b) {
  double dir = (x == 0.0 && y == 0.0) ? 0.0 : std::atan2(x, y) * kR2d;
  if (dir < 0.0) dir += 360.0;
  a = static_cast<float>(dir);
  b = static_cast<float>(std::sqrt(x * x + y * y));
  return 1;
}

}  // namespace

int chart_tran(MapState &s, double a, double b, float &x, float &y) {
  switch (s.domain.proj) {
    case DOM_PROJ_PIXEL:
      x = static_cast<float>(a);
      y = static_cast<float>(-b);
      return 1;
    case DOM_PROJ_XY:
    case DOM_PROJ_CAT:
      if (s.degenerate) return map_fail(x, y);
      x = static_cast<float>((a - xmin(s)) * s.xfactor + xmin(s));
      y = static_cast<float>((b - ymin(s)) * s.yfactor + ymin(s));
      return 1;
    case DOM_PROJ_XY_DOWN:
      if (s.degenerate) return map_fail(x, y);
      x = static_cast<float>((a - xmin(s)) * s.xfactor + xmin(s));
      y = static_cast<float>((ymin(s) - b) * s.yfactor + ymin(s));
      return 1;
    case DOM_PROJ_XLOGP:
    case DOM_PROJ_EMA: return log_pressure(a, b, x, y);
    case DOM_PROJ_POLAR:
      x = static_cast<float>(std::sin(kD2r * a) * b);
      y = static_cast<float>(std::cos(kD2r * a) * b);
      return 1;
    case DOM_PROJ_SKEWT: return skewt_tran(s, a, b, x, y);
    case DOM_PROJ_STUVE: return stuve_tran(a, b, x, y);
    case DOM_PROJ_TEPHI: return tephi_tran(s, a, b, x, y);
    case DOM_PROJ_TLOGTHETA: return theta_tran(a, b, x, y);
    default: return 1;  // no transform: outputs untouched
  }
}

int chart_untran(MapState &s, double x, double y, float &a, float &b) {
  switch (s.domain.proj) {
    case DOM_PROJ_PIXEL:
      a = static_cast<float>(x);
      b = static_cast<float>(-y);
      return 1;
    case DOM_PROJ_XY:
    case DOM_PROJ_CAT:
      if (s.degenerate) return map_fail(a, b);
      a = static_cast<float>((x - xmin(s)) / s.xfactor + xmin(s));
      b = static_cast<float>((y - ymin(s)) / s.yfactor + ymin(s));
      return 1;
    case DOM_PROJ_XY_DOWN:
      if (s.degenerate) return map_fail(a, b);
      a = static_cast<float>((x - xmin(s)) / s.xfactor + xmin(s));
      b = static_cast<float>((ymin(s) - y) / s.yfactor + ymin(s));
      return 1;
    case DOM_PROJ_XLOGP:
    case DOM_PROJ_EMA:
      a = static_cast<float>(x);
      b = static_cast<float>(std::exp(-y));
      return 1;
    case DOM_PROJ_POLAR: return direction_untran(x, y, a, b);
    case DOM_PROJ_SKEWT: return skewt_untran(s, x, y, a, b);
    case DOM_PROJ_STUVE: return stuve_untran(x, y, a, b);
    case DOM_PROJ_TEPHI: return tephi_untran(s, x, y, a, b);
    case DOM_PROJ_TLOGTHETA: return theta_untran(x, y, a, b);
    default: return 1;
  }
}

}  // namespace kvz_map
