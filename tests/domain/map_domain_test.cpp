// Tests of the current projection: loading, copying back, the identity
// without a projection, the pair forms and the limits of a loaded domain.
#include "domain/domain.h"
#include "domain/map_state.h"
#include "map_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

using map_test::kMiss;
using map_test::make_domain;

TEST(MapDomain, WithoutProjectionTransformsAreIdentity) {
  kvz_map::MapState fresh;  // the state the module starts in
  float x = 0, y = 0;
  EXPECT_EQ(1, kvz_map::map_tran(fresh, 40, -100, x, y));
  EXPECT_EQ(40.0f, x);
  EXPECT_EQ(-100.0f, y);

  const Domain ll = make_domain(DOM_PROJ_LATLON, 0, -100);
  ASSERT_EQ(0, MAP_domain(&ll));
  EXPECT_EQ(-1, MAP_domain(nullptr));
  EXPECT_EQ(DOM_PROJ_NONE, MAP_get_domain(nullptr)->proj);
  EXPECT_EQ(1, MAP_tran(40, 170, x, y));
  EXPECT_EQ(40.0f, x);
  EXPECT_EQ(170.0f, y);  // not wrapped: no projection
  float a = 0, b = 0;
  EXPECT_EQ(1, MAP_untran(3, 4, a, b));
  EXPECT_EQ(3.0f, a);
  EXPECT_EQ(4.0f, b);
}

TEST(MapDomain, LoadFillsProjectionPointFromCentreAndCopiesBack) {
  Domain d = make_domain(DOM_PROJ_ORTHO, kMiss, kMiss);
  d.clat = 45;
  d.clon = 10;
  d.nx = 5;
  ASSERT_EQ(0, MAP_domain(&d));

  Domain copy;
  DOM_init(copy);
  EXPECT_EQ(&copy, MAP_get_domain(&copy));
  EXPECT_EQ(45.0f, copy.plat);
  EXPECT_EQ(10.0f, copy.plon);
  EXPECT_EQ(5, copy.nx);
  EXPECT_EQ(45.0f, MAP_get_domain(nullptr)->plat);
  EXPECT_EQ(kMiss, d.plat);  // the caller's record is not changed

  float x = 1, y = 1;
  EXPECT_EQ(1, MAP_tran_center(x, y));  // the centre is the tangent point
  EXPECT_NEAR(0.0f, x, 1e-5);
  EXPECT_NEAR(0.0f, y, 1e-5);
}

// The GRIB decoders save the current projection, load their own and restore it.
TEST(MapDomain, SavedProjectionRestoresTheSameTransform) {
  const Domain lamb = make_domain(DOM_PROJ_LAMB, 90, -95, 25, 25);
  ASSERT_EQ(0, MAP_domain(&lamb));
  float before[2];
  ASSERT_EQ(1, MAP_tran_ep(40, -80, before));

  Domain saved;
  MAP_get_domain(&saved);
  const Domain merc = make_domain(DOM_PROJ_MERC, 0, 0);
  ASSERT_EQ(0, MAP_domain(&merc));
  ASSERT_EQ(0, MAP_domain(&saved));

  float after[2];
  ASSERT_EQ(1, MAP_tran_ep(40, -80, after));
  EXPECT_EQ(before[0], after[0]);
  EXPECT_EQ(before[1], after[1]);
  float earth[2];
  ASSERT_EQ(1, MAP_tran_pe(after[0], after[1], earth));
  EXPECT_NEAR(40.0f, earth[0], 1e-4);
  EXPECT_NEAR(-80.0f, earth[1], 1e-4);
}

TEST(MapDomain, LimitsSpanTheGridAroundItsCentre) {
  kvz_map::MapState s;
  Domain d = make_domain(DOM_PROJ_LATLON, 0, -100);
  d.clat = 40;
  d.clon = -90;
  d.nx = 21;
  d.ny = 11;
  d.dx = 0.5f;
  d.dy = 0.25f;
  ASSERT_EQ(0, kvz_map::map_load(s, &d));
  EXPECT_FLOAT_EQ(5.0f, s.limits[0]);  // centre x = -90 - -100 = 10, half-width 5
  EXPECT_FLOAT_EQ(15.0f, s.limits[1]);
  EXPECT_FLOAT_EQ(38.75f, s.limits[2]);
  EXPECT_FLOAT_EQ(41.25f, s.limits[3]);

  // Sizes straight from a file must not overflow while the limits are formed.
  d.nx = -2147483647 - 1;
  d.ny = 2147483647;
  ASSERT_EQ(0, kvz_map::map_load(s, &d));
  for (const float v : s.limits) EXPECT_TRUE(std::isfinite(v));
}

TEST(MapDomain, PolarChartLimitsAreItsCornersAsGiven) {
  kvz_map::MapState s;
  Domain d = make_domain(DOM_PROJ_POLAR, kMiss, kMiss);
  d.clat = 10;
  d.clon = 20;
  d.dx = -30;
  d.dy = 5;
  ASSERT_EQ(0, kvz_map::map_load(s, &d));
  EXPECT_EQ(-20.0f, s.limits[0]);
  EXPECT_EQ(10.0f, s.limits[1]);
  EXPECT_EQ(20.0f, s.limits[2]);
  EXPECT_EQ(25.0f, s.limits[3]);
}
