// Round trips through every map projection: earth -> map -> earth over a grid
// of points covering each projection's valid area, and map -> earth -> map
// over the map area that has earth coordinates.
#include "domain/domain.h"
#include "map_test_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using map_test::arc_degrees;
using map_test::kMiss;
using map_test::lon_diff;
using map_test::make_domain;

namespace {

struct RoundTripCase {
  std::string name;
  Domain domain;
  double lat_lo, lat_hi;  // valid latitudes
  double max_arc;         // valid area: within this angle of (plat, plon); 0 = everywhere
  double lon_pole;        // above this |latitude| the longitude is not compared
};

Domain with_ellipsoid(Domain d) {
  d.ellipsoid = 1;
  return d;
}

std::vector<RoundTripCase> cases() {
  return {
      {"pstereo_north", make_domain(1, 90, -105), -70, 90, 0, 89.999},
      {"pstereo_south_true_60", make_domain(1, -90, 30, -60), -90, 70, 0, 89.999},
      {"pstereo_true_at_pole", make_domain(1, 90, 0, 90), -70, 90, 0, 89.999},
      {"latlon", make_domain(2, 0, -100), -90, 90, 0, 90.1},
      {"latlon_dateline", make_domain(2, 0, 180), -90, 90, 0, 90.1},
      {"mercator", make_domain(3, 0, 170), -85, 85, 0, 90.1},
      {"lambert_30_60", make_domain(4, 90, -95), -80, 90, 0, 89.999},
      {"lambert_tangent_25", make_domain(4, 90, -95, 25, 25), -80, 90, 0, 89.999},
      {"lambert_south_signed", make_domain(4, -90, 140, -30, -60), -90, 80, 0, 89.999},
      {"lambert_tangent_at_pole", make_domain(4, 90, 10, 90, 90), -80, 90, 0, 89.999},
      {"lambert_across_equator", make_domain(4, 90, 0, 30, -10), -80, 90, 0, 89.999},
      {"ortho_equator", make_domain(5, 0, 20), -90, 90, 80, 89.999},
      {"ortho_midlat", make_domain(5, 50, -40), -90, 90, 80, 89.999},
      {"ortho_pole", make_domain(5, 90, 0), -90, 90, 80, 89.999},
      {"mollweide", make_domain(7, 0, 10), -89.5, 89.5, 0, 80},
      {"lambaz_midlat", make_domain(8, 45, -100), -90, 90, 170, 89.999},
      {"lambaz_north_pole", make_domain(8, 90, 0), -90, 90, 170, 89.999},
      {"lambaz_south_pole", make_domain(8, -90, 60), -90, 90, 170, 89.999},
      {"sat_sphere", make_domain(9, 0, -75), -90, 90, 70, 89.999},
      {"sat_sphere_scan", make_domain(9, 0, -75, kMiss, 1), -90, 90, 70, 89.999},
      {"sat_ellipsoid", with_ellipsoid(make_domain(9, 0, 0)), -90, 90, 70, 89.999},
      {"sat_ellipsoid_scan", with_ellipsoid(make_domain(9, 0, 140.7f, 421.61f, 1)), -90, 90, 70, 89.999},
  };
}

class MapRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(MapRoundTrip, EarthToMapAndBack) {
  const RoundTripCase &c = GetParam();
  ASSERT_EQ(0, MAP_domain(&c.domain));
  int points = 0;
  for (double lat = c.lat_lo; lat <= c.lat_hi + 1e-9; lat += (c.lat_hi - c.lat_lo) / 36.0) {
    for (double lon = -180.0; lon <= 180.0; lon += 7.5) {
      if (c.max_arc > 0 && arc_degrees(lat, lon, c.domain.plat, c.domain.plon) > c.max_arc) continue;
      float x = 0, y = 0, la = 0, lo = 0;
      ASSERT_EQ(1, MAP_tran(static_cast<float>(lat), static_cast<float>(lon), x, y)) << lat << " " << lon;
      ASSERT_EQ(1, MAP_untran(x, y, la, lo)) << lat << " " << lon << " -> " << x << " " << y;
      EXPECT_NEAR(lat, la, 1e-4) << "lon " << lon << " map " << x << " " << y;
      if (std::fabs(lat) < c.lon_pole) {
        EXPECT_NEAR(0.0, lon_diff(lo, lon), 1e-4) << "lat " << lat << " lon " << lon;
      }
      ++points;
    }
  }
  EXPECT_GT(points, 100);
}

// Map points that have earth coordinates come back to themselves.
TEST_P(MapRoundTrip, MapToEarthAndBack) {
  const RoundTripCase &c = GetParam();
  ASSERT_EQ(0, MAP_domain(&c.domain));
  float x0 = 0, y0 = 0;
  ASSERT_EQ(1, MAP_tran(static_cast<float>(c.lat_hi > 89 ? 45 : 0), c.domain.plon, x0, y0));
  int points = 0;
  for (int i = -10; i <= 10; ++i) {
    for (int j = -10; j <= 10; ++j) {
      const float x = x0 + static_cast<float>(i) * 4.0f;
      const float y = y0 + static_cast<float>(j) * 4.0f;
      float la = 0, lo = 0, x2 = 0, y2 = 0;
      if (MAP_untran(x, y, la, lo) != 1) continue;
      if (la < c.lat_lo || la > c.lat_hi || std::fabs(la) >= c.lon_pole) continue;
      if (c.max_arc > 0 && arc_degrees(la, lo, c.domain.plat, c.domain.plon) > c.max_arc) continue;
      ASSERT_EQ(1, MAP_tran(la, lo, x2, y2)) << x << " " << y;
      const double unit = c.domain.proj == 2 ? 1e-4 : 2e-4;  // degrees, or map units
      EXPECT_NEAR(x, x2, unit + 1e-6 * std::fabs(x)) << "from " << x << " " << y;
      EXPECT_NEAR(y, y2, unit + 1e-6 * std::fabs(y)) << "from " << x << " " << y;
      ++points;
    }
  }
  EXPECT_GT(points, 20);
}

INSTANTIATE_TEST_SUITE_P(Map, MapRoundTrip, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<RoundTripCase> &info) { return info.param.name; });

}  // namespace
