// The projection module's one current projection: loading a Domain as the
// projection, its limits, and the dispatch of MAP_tran / MAP_untran to the
// per-projection transforms.
#include "domain/map_state.h"

#include <algorithm>
#include <cmath>

namespace kvz_map {
namespace {

bool is_map_projection(int proj) { return proj >= DOM_PROJ_PSTEREO && proj <= DOM_PROJ_SAT; }

void prepare_pstereo(MapState &s) {
  const Domain &d = s.domain;
  if (d.param1 != kMissing) {
    s.tlat1 = d.param1;
  } else {
    s.tlat1 = d.plat < 0 ? -60.0f : 60.0f;
  }
}

// A Lambert cone given only its first standard parallel is the tangent cone
// at that parallel.
void prepare_lamb(MapState &s) {
  const Domain &d = s.domain;
  if (d.param1 == kMissing) {
    s.tlat1 = 30.0f;
    s.tlat2 = 60.0f;
    return;
  }
  s.tlat1 = d.param1;
  s.tlat2 = d.param2 == kMissing ? d.param1 : d.param2;
}

void prepare_sat(MapState &s) {
  s.sat_rad = s.domain.param1 != kMissing ? s.domain.param1 : kGeostationary;
  s.sat_rad2 = s.sat_rad * s.sat_rad;
  s.sat_rad4 = s.sat_rad2 * s.sat_rad2;
  s.sat2_earth2 = s.sat_rad2 - static_cast<float>(kEquatorRadius2);
}

void set_box(MapState &s, float x1, float y1, float x2, float y2) {
  s.limits[0] = std::min(x1, x2);
  s.limits[1] = std::max(x1, x2);
  s.limits[2] = std::min(y1, y2);
  s.limits[3] = std::max(y1, y2);
}

void limits_of_map(MapState &s) {
  const Domain &d = s.domain;
  float cx = kMissing;
  float cy = kMissing;
  map_tran(s, d.clat, d.clon, cx, cy);
  // Widen before subtracting: nx and ny come from files.
  const float half_w = static_cast<float>((static_cast<double>(d.nx) - 1.0) * 0.5 * d.dx);
  const float half_h = static_cast<float>((static_cast<double>(d.ny) - 1.0) * 0.5 * d.dy);
  s.limits[0] = cx - half_w;
  s.limits[1] = cx + half_w;
  s.limits[2] = cy - half_h;
  s.limits[3] = cy + half_h;
}

// Diagrams: the corners in the diagram's plain (unskewed) mode.
void limits_of_diagram(MapState &s) {
  const Domain &d = s.domain;
  s.xfactor = 0.0f;
  s.yfactor = 0.0f;
  float cx = kMissing, cy = kMissing, x2 = kMissing, y2 = kMissing, unused = kMissing;
  map_tran(s, d.clat, d.clon, cx, cy);
  map_tran(s, d.clat + d.dx, d.clon, x2, unused);
  map_tran(s, d.clat, d.clon + d.dy, unused, y2);
  s.xfactor = kMissing;
  set_box(s, cx, cy, x2, y2);
}

// Linear charts: the scale factors from plot size over data extent; a zero
// or unusable extent leaves the chart without transforms.
void limits_of_linear(MapState &s, float y_origin) {
  const Domain &d = s.domain;
  set_box(s, d.clat, y_origin, d.clat + static_cast<float>(d.nx), y_origin + static_cast<float>(d.ny));
  const double fx = static_cast<double>(d.nx) / (d.dx != 0.0f ? d.dx : 1.0f);
  const double fy = static_cast<double>(d.ny) / (d.dy != 0.0f ? d.dy : 1.0f);
  s.xfactor = static_cast<float>(fx);
  s.yfactor = static_cast<float>(fy);
  s.degenerate = d.dx == 0.0f || d.dy == 0.0f || !std::isfinite(s.xfactor) ||
                 !std::isfinite(s.yfactor) || s.xfactor == 0.0f || s.yfactor == 0.0f;
}

void limits_of_other(MapState &s) {
  const Domain &d = s.domain;
  float x1 = kMissing, y1 = kMissing, x2 = kMissing, y2 = kMissing;
  map_tran(s, d.clat, d.clon, x1, y1);
  map_tran(s, d.clat + d.dx, d.clon + d.dy, x2, y2);
  set_box(s, x1, y1, x2, y2);
}

int map_projection_tran(MapState &s, double lat, double lon, float &x, float &y) {
  switch (s.domain.proj) {
    case DOM_PROJ_PSTEREO: return pstereo_tran(s, lat, lon, x, y);
    case DOM_PROJ_LATLON: return latlon_tran(s, lat, lon, x, y);
    case DOM_PROJ_MERC: return merc_tran(s, lat, lon, x, y);
    case DOM_PROJ_LAMB: return lamb_tran(s, lat, lon, x, y);
    case DOM_PROJ_ORTHO: return ortho_tran(s, lat, lon, x, y);
    case DOM_PROJ_MOLL: return moll_tran(s, lat, lon, x, y);
    case DOM_PROJ_LAMBAZ: return lambaz_tran(s, lat, lon, x, y);
    case DOM_PROJ_SAT: return sat_tran(s, lat, lon, x, y);
    default: return 1;  // gnomonic: named only, outputs untouched
  }
}

int map_projection_untran(MapState &s, double x, double y, float &lat, float &lon) {
  switch (s.domain.proj) {
    case DOM_PROJ_PSTEREO: return pstereo_untran(s, x, y, lat, lon);
    case DOM_PROJ_LATLON: return latlon_untran(s, x, y, lat, lon);
    case DOM_PROJ_MERC: return merc_untran(s, x, y, lat, lon);
    case DOM_PROJ_LAMB: return lamb_untran(s, x, y, lat, lon);
    case DOM_PROJ_ORTHO: return ortho_untran(s, x, y, lat, lon);
    case DOM_PROJ_MOLL: return moll_untran(s, x, y, lat, lon);
    case DOM_PROJ_LAMBAZ: return lambaz_untran(s, x, y, lat, lon);
    case DOM_PROJ_SAT: return sat_untran(s, x, y, lat, lon);
    default: return 1;
  }
}

}  // namespace

int map_load(MapState &s, const Domain *domain) {
  if (domain == nullptr) {
    s.domain.proj = DOM_PROJ_NONE;
    s.xfactor = kMissing;
    s.sat_ratio = kMissing;
    s.degenerate = false;
    return -1;
  }
  s.domain = *domain;
  if (s.domain.plat == kMissing) s.domain.plat = s.domain.clat;
  if (s.domain.plon == kMissing) s.domain.plon = s.domain.clon;
  if (s.domain.proj == DOM_PROJ_PSTEREO) prepare_pstereo(s);
  if (s.domain.proj == DOM_PROJ_LAMB) prepare_lamb(s);
  if (s.domain.proj == DOM_PROJ_SAT) prepare_sat(s);
  s.xfactor = kMissing;
  s.sat_ratio = kMissing;
  s.earth_ratio2 = kAxisRatio2;
  s.degenerate = false;
  map_set_limits(s);
  return 0;
}

int map_set_limits(MapState &s) {
  const Domain &d = s.domain;
  switch (d.proj) {
    case DOM_PROJ_SKEWT:
    case DOM_PROJ_TEPHI:
    case DOM_PROJ_TLOGTHETA: limits_of_diagram(s); break;
    case DOM_PROJ_POLAR: set_box(s, d.clat, d.clon, d.clat + d.dx, d.clon + d.dy); break;
    case DOM_PROJ_XY:
    case DOM_PROJ_CAT: limits_of_linear(s, d.clon); break;
    case DOM_PROJ_XY_DOWN: limits_of_linear(s, -d.clon); break;
    default:
      if (is_map_projection(d.proj)) {
        limits_of_map(s);
      } else {
        limits_of_other(s);
      }
  }
  return 0;
}

int map_tran(MapState &s, float a, float b, float &x, float &y) {
  const int proj = s.domain.proj;
  if (proj == DOM_PROJ_NONE) {
    x = a;
    y = b;
    return 1;
  }
  if (!is_map_projection(proj)) return chart_tran(s, a, b, x, y);
  if (!std::isfinite(a) || !std::isfinite(b)) return map_fail(x, y);
  return map_projection_tran(s, a, wrap_longitude(b), x, y);
}

int map_untran(MapState &s, float x, float y, float &a, float &b) {
  const int proj = s.domain.proj;
  if (proj == DOM_PROJ_NONE) {
    a = x;
    b = y;
    return 1;
  }
  if (!is_map_projection(proj)) return chart_untran(s, x, y, a, b);
  if (!std::isfinite(x) || !std::isfinite(y)) return map_fail(a, b);
  return map_projection_untran(s, x, y, a, b);
}

}  // namespace kvz_map

// ---- the public interface on the module's current projection ---------------

namespace {
kvz_map::MapState current;  // the current projection; starts with none
}  // namespace

int MAP_domain(const Domain *domain) { return kvz_map::map_load(current, domain); }

const Domain *MAP_get_domain(Domain *record) {
  if (record == nullptr) return &current.domain;
  *record = current.domain;
  return record;
}

int MAP_tran(float a, float b, float &x, float &y) { return kvz_map::map_tran(current, a, b, x, y); }

int MAP_untran(float x, float y, float &a, float &b) { return kvz_map::map_untran(current, x, y, a, b); }

int MAP_tran_center(float &x, float &y) {
  return kvz_map::map_tran(current, current.domain.clat, current.domain.clon, x, y);
}

int MAP_tran_ep(float lat, float lon, float (&pair)[2]) { return MAP_tran(lat, lon, pair[0], pair[1]); }

int MAP_tran_pe(float x, float y, float (&pair)[2]) { return MAP_untran(x, y, pair[0], pair[1]); }

int MAP_set_limits() { return kvz_map::map_set_limits(current); }
