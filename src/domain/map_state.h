// Private to the projection module: the state of a loaded projection, the
// shared constants and the per-projection transforms that map_state.cpp
// dispatches to. Each transform takes the state it works on, so the module's
// one current projection lives only in map_state.cpp.
#ifndef KVZ_DOMAIN_MAP_STATE_H
#define KVZ_DOMAIN_MAP_STATE_H

#include "domain/domain.h"

#include <cmath>

namespace kvz_map {

constexpr float kMissing = -9999.0f;
constexpr double kEarthRadius = 63.7122;          // R, map units of 100 km
constexpr double kEarthRadius2 = kEarthRadius * kEarthRadius;
constexpr double kEquatorRadius2 = 4068.063;     // satellite view: equatorial radius squared
constexpr double kEquatorRadius = 63.78137;
constexpr double kPolarRadius = 63.56752;
constexpr float kAxisRatio2 = 0.9933055639f;     // (polar / equatorial radius) squared
constexpr float kGeostationary = 421.61f;        // satellite distance from the earth's centre
constexpr double kD2r = 0.017453292519943334;
constexpr double kR2d = 57.295779513082195;

// One loaded projection. xfactor == kMissing (and sat_ratio == kMissing for
// the satellite view) means the first-use constants are not computed yet;
// `degenerate` is set when they cannot be (parameters from a file that
// describe no usable projection), and every transform then fails cleanly.
struct MapState {
  Domain domain{DOM_PROJ_NONE, kMissing, kMissing, kMissing, kMissing, kMissing, kMissing,
                kMissing, kMissing, kMissing, kMissing, kMissing, -9999, -9999, 0};
  float xfactor = kMissing;
  float yfactor = kMissing;
  float tlat1 = kMissing;
  float tlat2 = kMissing;
  float sat_rad = kMissing;
  float sat_rad2 = kMissing;
  float sat_rad4 = kMissing;
  float sat2_earth2 = kMissing;
  float sat_ratio = kMissing;
  float earth_ratio = kMissing;
  float earth_ratio2 = kAxisRatio2;
  float limits[4] = {kMissing, kMissing, kMissing, kMissing};  // xmin, xmax, ymin, ymax
  float view[4] = {kMissing, kMissing, kMissing, kMissing};    // plot window x0, x1, y0, y1
  float scale = 0.0f;  // hemisphere sign or chart offset
  float mult = 0.0f;   // projection constant
  bool degenerate = false;
};

// Loads a record into the state (nullptr: no projection); same results as MAP_domain.
int map_load(MapState &s, const Domain *domain);
int map_set_limits(MapState &s);
int map_tran(MapState &s, float a, float b, float &x, float &y);
int map_untran(MapState &s, float x, float y, float &a, float &b);

// ---- helpers shared by the transforms ----------------------------------------

// Both outputs missing; result 0 (the point has no coordinates).
inline int map_fail(float &x, float &y) {
  x = kMissing;
  y = kMissing;
  return 0;
}

// Brings a finite longitude into -180 to 180: values above 180 lose, values
// below -180 gain whole turns until they are inside (180 and -180 stay).
// fmod keeps this exact and bounded for any finite value.
inline double wrap_longitude(double lon) {
  if (lon > 180.0) {
    const double r = std::fmod(lon - 180.0, 360.0);
    return r == 0.0 ? 180.0 : r - 180.0;
  }
  if (lon < -180.0) {
    const double r = std::fmod(lon + 180.0, 360.0);
    return r == 0.0 ? -180.0 : r + 180.0;
  }
  return lon;
}

// One turn added or removed, for differences of two wrapped longitudes.
inline double wrap_once(double lon) {
  if (lon > 180.0) return lon - 360.0;
  if (lon < -180.0) return lon + 360.0;
  return lon;
}

inline double clamp_unit(double v) { return v > 1.0 ? 1.0 : (v < -1.0 ? -1.0 : v); }
inline double safe_asin(double v) { return std::asin(clamp_unit(v)); }

// ---- the transforms, one pair per projection ---------------------------------
int pstereo_tran(MapState &s, double lat, double lon, float &x, float &y);
int pstereo_untran(MapState &s, double x, double y, float &lat, float &lon);
int ortho_tran(MapState &s, double lat, double lon, float &x, float &y);
int ortho_untran(MapState &s, double x, double y, float &lat, float &lon);
int lambaz_tran(MapState &s, double lat, double lon, float &x, float &y);
int lambaz_untran(MapState &s, double x, double y, float &lat, float &lon);
int lamb_tran(MapState &s, double lat, double lon, float &x, float &y);
int lamb_untran(MapState &s, double x, double y, float &lat, float &lon);
int latlon_tran(MapState &s, double lat, double lon, float &x, float &y);
int latlon_untran(MapState &s, double x, double y, float &lat, float &lon);
int merc_tran(MapState &s, double lat, double lon, float &x, float &y);
int merc_untran(MapState &s, double x, double y, float &lat, float &lon);
int moll_tran(MapState &s, double lat, double lon, float &x, float &y);
int moll_untran(MapState &s, double x, double y, float &lat, float &lon);
int sat_tran(MapState &s, double lat, double lon, float &x, float &y);
int sat_untran(MapState &s, double x, double y, float &lat, float &lon);

// Chart codes 20 to 99; codes without a transform leave the outputs untouched
// and return 1.
int chart_tran(MapState &s, double a, double b, float &x, float &y);
int chart_untran(MapState &s, double x, double y, float &a, float &b);

}  // namespace kvz_map

#endif  // KVZ_DOMAIN_MAP_STATE_H
