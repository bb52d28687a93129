// Tests of the chart transforms: linear charts, the polar chart, log
// pressure charts and the thermodynamic diagrams, with and without a plot
// window.
#include "domain/domain.h"
#include "domain/map_state.h"
#include "map_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

using map_test::kMiss;
using map_test::make_domain;

namespace {

Domain chart(int proj, float clat, float clon, float dx, float dy, int nx, int ny) {
  Domain d = make_domain(proj, kMiss, kMiss);
  d.clat = clat;
  d.clon = clon;
  d.dx = dx;
  d.dy = dy;
  d.nx = nx;
  d.ny = ny;
  return d;
}

// Forward then inverse on a state; expects the data values back.
void expect_round_trip(kvz_map::MapState &s, float a, float b, double tol) {
  float x = 0, y = 0, a2 = 0, b2 = 0;
  ASSERT_EQ(1, kvz_map::map_tran(s, a, b, x, y)) << a << " " << b;
  ASSERT_EQ(1, kvz_map::map_untran(s, x, y, a2, b2));
  EXPECT_NEAR(a, a2, tol) << a << " " << b;
  EXPECT_NEAR(b, b2, tol * std::fabs(b) + tol) << a << " " << b;
}

}  // namespace

TEST(MapChart, LinearChartsScaleFromExtentToPlotSize) {
  const Domain up = chart(DOM_PROJ_XY, 0, 0, 10, 100, 500, 400);
  ASSERT_EQ(0, MAP_domain(&up));
  float x = 0, y = 0;
  EXPECT_EQ(1, MAP_tran(5, 50, x, y));
  EXPECT_FLOAT_EQ(250.0f, x);
  EXPECT_FLOAT_EQ(200.0f, y);
  float a = 0, b = 0;
  EXPECT_EQ(1, MAP_untran(x, y, a, b));
  EXPECT_FLOAT_EQ(5.0f, a);
  EXPECT_FLOAT_EQ(50.0f, b);

  const Domain down = chart(DOM_PROJ_XY_DOWN, 0, 0, 10, 100, 500, 400);
  ASSERT_EQ(0, MAP_domain(&down));
  EXPECT_EQ(1, MAP_tran(5, 50, x, y));
  EXPECT_FLOAT_EQ(250.0f, x);
  EXPECT_FLOAT_EQ(-200.0f, y);  // y grows downwards
  EXPECT_EQ(1, MAP_untran(x, y, a, b));
  EXPECT_FLOAT_EQ(50.0f, b);
}

TEST(MapChart, PixelPolarAndLogPressure) {
  const Domain pixel = make_domain(DOM_PROJ_PIXEL, kMiss, kMiss);
  ASSERT_EQ(0, MAP_domain(&pixel));
  float x = 0, y = 0, a = 0, b = 0;
  EXPECT_EQ(1, MAP_tran(3, 4, x, y));
  EXPECT_EQ(3.0f, x);
  EXPECT_EQ(-4.0f, y);

  const Domain polar = chart(DOM_PROJ_POLAR, 0, 0, 360, 50, 100, 100);
  ASSERT_EQ(0, MAP_domain(&polar));
  EXPECT_EQ(1, MAP_tran(270, 10, x, y));  // a westward pointing vector
  EXPECT_NEAR(-10.0, x, 1e-5);
  EXPECT_NEAR(0.0, y, 1e-5);
  EXPECT_EQ(1, MAP_untran(x, y, a, b));
  EXPECT_NEAR(270.0, a, 1e-4);  // directions are 0 to 360
  EXPECT_NEAR(10.0, b, 1e-5);
  EXPECT_EQ(1, MAP_untran(0, 0, a, b));
  EXPECT_EQ(0.0f, a);
  EXPECT_EQ(0.0f, b);

  for (const int code : {int{DOM_PROJ_XLOGP}, int{DOM_PROJ_EMA}}) {
    const Domain logp = chart(code, -40, 1000, 80, 900, 100, 100);
    ASSERT_EQ(0, MAP_domain(&logp));
    EXPECT_EQ(1, MAP_tran(-10, 500, x, y));
    EXPECT_FLOAT_EQ(static_cast<float>(-std::log(500.0)), y);
    EXPECT_EQ(1, MAP_untran(x, y, a, b));
    EXPECT_NEAR(500.0, b, 1e-3);
    EXPECT_EQ(0, MAP_tran(-10, 0, x, y));  // no log of zero pressure
    EXPECT_EQ(kMiss, y);
  }
}

TEST(MapChart, DiagramsWithoutPlotWindowAreUnskewed) {
  float x = 0, y = 0;
  const Domain skewt = chart(DOM_PROJ_SKEWT, -40, 1050, 80, -950, 100, 100);
  ASSERT_EQ(0, MAP_domain(&skewt));
  EXPECT_EQ(1, MAP_tran(-10, 500, x, y));
  EXPECT_FLOAT_EQ(-10.0f, x);
  EXPECT_FLOAT_EQ(static_cast<float>(-std::log(500.0)), y);

  const Domain tephi = chart(DOM_PROJ_TEPHI, -40, 1050, 80, -950, 100, 100);
  ASSERT_EQ(0, MAP_domain(&tephi));
  EXPECT_EQ(0, MAP_tran(-10, 500, x, y));  // plain mode answers with result 0
  EXPECT_FLOAT_EQ(-10.0f, x);
  EXPECT_FLOAT_EQ(static_cast<float>(std::log(500.0)), y);
}

TEST(MapChart, DiagramsRoundTripInAPlotWindow) {
  const struct {
    int proj;
    float clat, clon, dx, dy;
  } diagrams[] = {
      {DOM_PROJ_SKEWT, -40, 1050, 80, -950},
      {DOM_PROJ_STUVE, -40, 1050, 80, -950},
      {DOM_PROJ_TEPHI, -40, 1050, 80, -950},
      {DOM_PROJ_TLOGTHETA, -40, 1050, 80, -950},
  };
  for (const auto &dg : diagrams) {
    kvz_map::MapState s;
    const Domain d = chart(dg.proj, dg.clat, dg.clon, dg.dx, dg.dy, 600, 800);
    ASSERT_EQ(0, kvz_map::map_load(s, &d));
    s.view[0] = 100;
    s.view[1] = 700;
    s.view[2] = 50;
    s.view[3] = 850;
    for (const float t : {-60.0f, -20.0f, 0.0f, 25.0f}) {
      for (const float p : {1000.0f, 700.0f, 300.0f, 100.0f}) expect_round_trip(s, t, p, 1e-4);
    }
  }
}

TEST(MapChart, SkewTLeansWithHeight) {
  kvz_map::MapState s;
  const Domain d = chart(DOM_PROJ_SKEWT, -40, 1050, 80, -950, 600, 800);
  ASSERT_EQ(0, kvz_map::map_load(s, &d));
  s.view[0] = 0;
  s.view[1] = 600;
  s.view[2] = 0;
  s.view[3] = 600;
  float x_low = 0, x_high = 0, y = 0;
  ASSERT_EQ(1, kvz_map::map_tran(s, -10, 1000, x_low, y));
  ASSERT_EQ(1, kvz_map::map_tran(s, -10, 300, x_high, y));
  EXPECT_GT(x_high, x_low);  // one isotherm slants to the right going up
}

TEST(MapChart, InvalidPressuresAndTemperaturesHaveNoImage) {
  float x = 0, y = 0;
  const Domain stuve = chart(DOM_PROJ_STUVE, -40, 1050, 80, -950, 100, 100);
  ASSERT_EQ(0, MAP_domain(&stuve));
  EXPECT_EQ(0, MAP_tran(0, -5, x, y));
  EXPECT_EQ(0, MAP_untran(0, 0.5f, x, y));  // would need a negative pressure
  const Domain theta = chart(DOM_PROJ_TLOGTHETA, -40, 1050, 80, -950, 100, 100);
  ASSERT_EQ(0, MAP_domain(&theta));
  EXPECT_EQ(0, MAP_tran(-300, 500, x, y));  // below absolute zero
  EXPECT_EQ(kMiss, x);
  EXPECT_EQ(0, MAP_untran(-300, 5, x, y));
}

TEST(MapChart, CodesWithoutTransformLeaveOutputsAlone) {
  for (const int code : {int{DOM_PROJ_GNOM}, int{DOM_PROJ_XZ}, int{DOM_PROJ_ZOOM}, 77}) {
    const Domain d = make_domain(code, 0, 0);
    ASSERT_EQ(0, MAP_domain(&d));
    float x = 12, y = 34;
    EXPECT_EQ(1, MAP_tran(1, 2, x, y)) << code;
    EXPECT_EQ(12.0f, x);
    EXPECT_EQ(34.0f, y);
    EXPECT_EQ(1, MAP_untran(1, 2, x, y));
    EXPECT_EQ(12.0f, x);
    EXPECT_EQ(34.0f, y);
  }
}
