// Parameters read from files that describe no usable projection, and points
// at the awkward places of usable ones: every transform must come back with
// a result (no trap, no endless loop), and without raising a division by zero
// or an invalid-operation floating-point exception.
#include "domain/domain.h"
#include "map_test_util.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using map_test::kMiss;
using map_test::make_domain;

namespace {

Domain with(Domain d, int ellipsoid, float dx, float dy, int nx, int ny) {
  d.ellipsoid = ellipsoid;
  d.clat = 40;
  d.clon = -100;
  d.dx = dx;
  d.dy = dy;
  d.nx = nx;
  d.ny = ny;
  return d;
}

struct Degenerate {
  std::string name;
  Domain domain;
};

// Projections that cannot be formed: every point has no image.
std::vector<Degenerate> unusable() {
  return {
      {"pstereo_true_latitude_at_far_pole", make_domain(DOM_PROJ_PSTEREO, 90, 0, -90)},
      {"lambert_parallels_mirror_each_other", make_domain(DOM_PROJ_LAMB, 90, 0, 30, -30)},
      {"lambert_tangent_at_equator", make_domain(DOM_PROJ_LAMB, 90, 0, 0, 0)},
      {"lambert_secant_through_pole", make_domain(DOM_PROJ_LAMB, 90, 0, 90, 60)},
      {"lambert_parallel_beyond_pole", make_domain(DOM_PROJ_LAMB, 90, 0, 95, 30)},
      {"lambert_far_pole_and_other", make_domain(DOM_PROJ_LAMB, 90, 0, -90, 30)},
      {"satellite_at_centre", make_domain(DOM_PROJ_SAT, 0, 0, 0)},
      {"satellite_inside_earth", make_domain(DOM_PROJ_SAT, 0, 0, 10)},
      {"satellite_on_surface", make_domain(DOM_PROJ_SAT, 0, 0, 63.7122f)},
      {"satellite_negative", make_domain(DOM_PROJ_SAT, 0, 0, -421.61f)},
      {"satellite_overflowing", make_domain(DOM_PROJ_SAT, 0, 0, 1e30f)},
      {"xy_zero_spacing", with(make_domain(DOM_PROJ_XY, kMiss, kMiss), 0, 0, 10, 100, 100)},
      {"cat_zero_spacing", with(make_domain(DOM_PROJ_CAT, kMiss, kMiss), 0, 10, 0, 100, 100)},
      {"xy_down_zero_size", with(make_domain(DOM_PROJ_XY_DOWN, kMiss, kMiss), 0, 10, 10, 0, 100)},
  };
}

// Usable projections, including degenerate-looking but valid parameters.
std::vector<Degenerate> usable() {
  return {
      {"pstereo", make_domain(DOM_PROJ_PSTEREO, 90, -105)},
      {"pstereo_missing_everything", make_domain(DOM_PROJ_PSTEREO, kMiss, kMiss)},
      {"latlon", make_domain(DOM_PROJ_LATLON, 0, -100)},
      {"mercator", make_domain(DOM_PROJ_MERC, 0, 180)},
      {"lambert_default", make_domain(DOM_PROJ_LAMB, 90, -95)},
      {"lambert_tangent_at_pole", make_domain(DOM_PROJ_LAMB, -90, 0, -90, -90)},
      {"lambert_missing_centre", make_domain(DOM_PROJ_LAMB, kMiss, kMiss)},
      {"ortho_pole", make_domain(DOM_PROJ_ORTHO, 90, 0)},
      {"mollweide", make_domain(DOM_PROJ_MOLL, 0, 0)},
      {"lambaz_pole", make_domain(DOM_PROJ_LAMBAZ, -90, 0)},
      {"lambaz_midlat", make_domain(DOM_PROJ_LAMBAZ, 45, -100)},
      {"satellite", make_domain(DOM_PROJ_SAT, 0, -75)},
      {"satellite_ellipsoid_scan", with(make_domain(DOM_PROJ_SAT, 0, -75, kMiss, 1), 1, 1, 1, 10, 10)},
      {"xlogp", with(make_domain(DOM_PROJ_XLOGP, kMiss, kMiss), 0, 80, -950, 100, 100)},
      {"skewt", with(make_domain(DOM_PROJ_SKEWT, kMiss, kMiss), 0, 80, -950, 100, 100)},
      {"skewt_flat", with(make_domain(DOM_PROJ_SKEWT, kMiss, kMiss), 0, 0, 0, 0, 0)},
      {"stuve", with(make_domain(DOM_PROJ_STUVE, kMiss, kMiss), 0, 80, -950, 100, 100)},
      {"tephigram", with(make_domain(DOM_PROJ_TEPHI, kMiss, kMiss), 0, 0, 0, 0, 0)},
      {"theta", with(make_domain(DOM_PROJ_TLOGTHETA, kMiss, kMiss), 0, 80, -950, 100, 100)},
      {"polar", with(make_domain(DOM_PROJ_POLAR, kMiss, kMiss), 0, 360, 50, 100, 100)},
  };
}

// Poles, the date line, antipodes, zero and negative pressures, huge values.
const float kAwkward[][2] = {
    {90, 0},    {-90, 0},      {0, 180},    {0, -180},    {45, 80},   {-45, 80},  {-40, 260},
    {0, 0},     {89.999f, 10}, {-89.99f, 5}, {0, -5},      {-273.15f, 0}, {-9999, -9999},
    {1e6f, 1e6f}, {-1e6f, 3},  {3, -1e6f},  {1e30f, -1e30f}, {64, 0},  {127.4244f, 0}, {0, 63.7122f},
};

int raised_faults() { return std::fetestexcept(FE_DIVBYZERO | FE_INVALID); }

}  // namespace

TEST(MapDegenerate, UnusableParametersGiveNoImageEverywhere) {
  for (const Degenerate &c : unusable()) {
    std::feclearexcept(FE_ALL_EXCEPT);
    ASSERT_EQ(0, MAP_domain(&c.domain)) << c.name;
    for (const auto &p : kAwkward) {
      float x = 1, y = 1;
      EXPECT_EQ(0, MAP_tran(p[0], p[1], x, y)) << c.name << " " << p[0] << " " << p[1];
      EXPECT_EQ(kMiss, x);
      EXPECT_EQ(kMiss, y);
      EXPECT_EQ(0, MAP_untran(p[0], p[1], x, y)) << c.name;
      EXPECT_EQ(kMiss, x);
    }
    EXPECT_EQ(0, raised_faults()) << c.name;
  }
}

TEST(MapDegenerate, AwkwardPointsRaiseNoFloatingPointFault) {
  for (const Degenerate &c : usable()) {
    std::feclearexcept(FE_ALL_EXCEPT);
    ASSERT_EQ(0, MAP_domain(&c.domain)) << c.name;
    for (const auto &p : kAwkward) {
      float x = 0, y = 0, a = 0, b = 0;
      const int forward = MAP_tran(p[0], p[1], x, y);
      EXPECT_TRUE(forward == 0 || forward == 1);
      if (forward == 1) MAP_untran(x, y, a, b);
      MAP_untran(p[0], p[1], a, b);
      EXPECT_EQ(0, raised_faults()) << c.name << " " << p[0] << " " << p[1];
      std::feclearexcept(FE_ALL_EXCEPT);
    }
  }
}

TEST(MapDegenerate, NonFiniteCoordinatesHaveNoImage) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (const Degenerate &c : usable()) {
    if (c.domain.proj > DOM_PROJ_SAT) continue;  // charts pass values through
    ASSERT_EQ(0, MAP_domain(&c.domain));
    for (const float v : {nan, inf, -inf}) {
      float x = 0, y = 0;
      EXPECT_EQ(0, MAP_tran(40, v, x, y)) << c.name;
      EXPECT_EQ(0, MAP_tran(v, 40, x, y)) << c.name;
      EXPECT_EQ(0, MAP_untran(v, 1, x, y)) << c.name;
      EXPECT_EQ(kMiss, x);
    }
  }
}

TEST(MapDegenerate, HugeLongitudesWrapWithoutLooping) {
  const Domain d = make_domain(DOM_PROJ_LATLON, 0, 0);
  ASSERT_EQ(0, MAP_domain(&d));
  float x = 0, y = 0;
  ASSERT_EQ(1, MAP_tran(10, 3e38f, x, y));
  EXPECT_LE(std::fabs(x), 180.0f);
  ASSERT_EQ(1, MAP_tran(10, 540, x, y));
  EXPECT_EQ(180.0f, x);  // 180 itself stays
  ASSERT_EQ(1, MAP_tran(10, -540, x, y));
  EXPECT_EQ(-180.0f, x);
  ASSERT_EQ(1, MAP_tran(10, 180.5f, x, y));
  EXPECT_EQ(-179.5f, x);
}
