// Tests of the individual map projections: known values, hemispheres, poles,
// the date line, points without an image and the parameter defaults.
#include "domain/domain.h"
#include "map_test_util.h"

#include <gtest/gtest.h>

#include <cmath>

using map_test::kMiss;
using map_test::make_domain;

namespace {

constexpr double kR = 63.7122;
constexpr double kD2r = M_PI / 180.0;

struct XY {
  int ok;
  float x, y;
};

XY tran(const Domain &d, float lat, float lon) {
  EXPECT_EQ(0, MAP_domain(&d));
  XY r{0, 0, 0};
  r.ok = MAP_tran(lat, lon, r.x, r.y);
  return r;
}

XY untran(const Domain &d, float x, float y) {
  EXPECT_EQ(0, MAP_domain(&d));
  XY r{0, 0, 0};
  r.ok = MAP_untran(x, y, r.x, r.y);
  return r;
}

void expect_no_image(const XY &r) {
  EXPECT_EQ(0, r.ok);
  EXPECT_EQ(kMiss, r.x);
  EXPECT_EQ(kMiss, r.y);
}

// Angle of a map point around a conic or azimuthal projection's pole.
double polar_angle(const XY &r, double hemisphere) { return std::atan2(r.x, -hemisphere * r.y) / kD2r; }

}  // namespace

// ---- polar stereographic ------------------------------------------------------------

TEST(MapPolarStereo, DefaultTrueLatitudeAndPole) {
  const Domain d = make_domain(DOM_PROJ_PSTEREO, 90, -105);  // no true latitude: 60
  const XY pole = tran(d, 90, 0);
  EXPECT_EQ(1, pole.ok);
  EXPECT_NEAR(0.0, pole.x, 1e-5);
  EXPECT_NEAR(0.0, pole.y, 1e-5);
  const XY back = untran(d, 0, 0);
  EXPECT_EQ(1, back.ok);
  EXPECT_FLOAT_EQ(90.0f, back.x);
  EXPECT_FLOAT_EQ(-105.0f, back.y);

  const double r60 = std::tan(15.0 * kD2r) * (1.0 + std::sin(60.0 * kD2r)) * kR;
  const XY on_meridian = tran(d, 60, -105);
  EXPECT_NEAR(0.0, on_meridian.x, 1e-4);
  EXPECT_NEAR(-r60, on_meridian.y, 1e-4);  // south of the pole is down
  const XY east = tran(d, 60, -15);
  EXPECT_NEAR(r60, east.x, 1e-4);
  EXPECT_NEAR(0.0, east.y, 1e-4);
}

TEST(MapPolarStereo, SouthernProjectionMirrorsNorthern) {
  const Domain north = make_domain(DOM_PROJ_PSTEREO, 90, 30, 60);
  const Domain south = make_domain(DOM_PROJ_PSTEREO, -90, 30, -60);
  for (const float lon : {-170.0f, 0.0f, 45.0f, 120.0f}) {
    const XY n = tran(north, 50, lon);
    const XY s = tran(south, -50, lon);
    EXPECT_NEAR(n.x, s.x, 1e-4);
    EXPECT_NEAR(-n.y, s.y, 1e-4);
  }
  EXPECT_EQ(-60.0f, MAP_get_domain(nullptr)->param1);
  const Domain south_default = make_domain(DOM_PROJ_PSTEREO, -90, 30);
  const XY s60 = tran(south_default, -50, 45);
  const XY s = tran(south, -50, 45);
  EXPECT_EQ(s.x, s60.x);  // the southern default true latitude is -60
  EXPECT_EQ(s.y, s60.y);
}

TEST(MapPolarStereo, FarHemisphereStopsAt75AndLongitudesWrap) {
  const Domain d = make_domain(DOM_PROJ_PSTEREO, 90, 180);
  const XY at75 = tran(d, -75, 10);
  for (const float lat : {-80.0f, -90.0f}) {
    const XY p = tran(d, lat, 10);
    EXPECT_EQ(at75.x, p.x);
    EXPECT_EQ(at75.y, p.y);
  }
  const XY ref = tran(d, 60, 179);
  for (const float lon : {-181.0f, 539.0f, -901.0f}) {
    const XY p = tran(d, 60, lon);
    EXPECT_NEAR(ref.x, p.x, 1e-3) << lon;
    EXPECT_NEAR(ref.y, p.y, 1e-3) << lon;
  }
}

// ---- Lambert conformal ----------------------------------------------------------------

TEST(MapLambert, ConeConstantFromStandardParallels) {
  const struct {
    float p1, p2;
    double n;
  } cases[] = {
      {25, 25, std::sin(25.0 * kD2r)},  // tangent cone
      {kMiss, kMiss, 0.7155668},        // default parallels 30 and 60
      {33, 45, 0.6304777},
      {25, kMiss, std::sin(25.0 * kD2r)},  // one parallel given: tangent there
  };
  for (const auto &c : cases) {
    const Domain d = make_domain(DOM_PROJ_LAMB, 90, -95, c.p1, c.p2);
    EXPECT_NEAR(10.0 * c.n, polar_angle(tran(d, 40, -85), 1), 1e-5) << c.p1 << " " << c.p2;
    EXPECT_NEAR(-100.0 * c.n, polar_angle(tran(d, 40, 165), 1), 1e-5);  // across the date line
  }
}

TEST(MapLambert, SouthernProjectionMirrorsNorthernWithEitherSign) {
  const Domain north = make_domain(DOM_PROJ_LAMB, 90, 140, 30, 60);
  const Domain signed_south = make_domain(DOM_PROJ_LAMB, -90, 140, -30, -60);
  const Domain plain_south = make_domain(DOM_PROJ_LAMB, -90, 140, 30, 60);
  const Domain tangent_south = make_domain(DOM_PROJ_LAMB, -90, 140, -25, -25);
  const Domain tangent_north = make_domain(DOM_PROJ_LAMB, 90, 140, 25, 25);
  for (const float lon : {100.0f, 140.0f, 175.0f, -170.0f}) {
    const XY n = tran(north, 35, lon);
    for (const Domain *south : {&signed_south, &plain_south}) {
      const XY s = tran(*south, -35, lon);
      EXPECT_EQ(1, s.ok);
      EXPECT_NEAR(n.x, s.x, 1e-4);
      EXPECT_NEAR(-n.y, s.y, 1e-4);
    }
    const XY tn = tran(tangent_north, 35, lon);
    const XY ts = tran(tangent_south, -35, lon);
    EXPECT_NEAR(tn.x, ts.x, 1e-4);
    EXPECT_NEAR(-tn.y, ts.y, 1e-4);
  }
}

TEST(MapLambert, TangentAtPoleIsPolarStereographic) {
  const Domain lamb = make_domain(DOM_PROJ_LAMB, 90, -100, 90, 90);
  const Domain ps = make_domain(DOM_PROJ_PSTEREO, 90, -100, 90);
  for (const float lat : {89.0f, 60.0f, 10.0f, -30.0f}) {
    for (const float lon : {-100.0f, -10.0f, 170.0f}) {
      const XY a = tran(lamb, lat, lon);
      const XY b = tran(ps, lat, lon);
      ASSERT_EQ(1, a.ok);
      EXPECT_NEAR(b.x, a.x, 1e-4 * (1 + std::fabs(b.x)));
      EXPECT_NEAR(b.y, a.y, 1e-4 * (1 + std::fabs(b.y)));
    }
  }
}

TEST(MapLambert, FarPoleIsClampedAndProjectionPoleIsApex) {
  const Domain d = make_domain(DOM_PROJ_LAMB, 90, -95, 30, 60);
  const XY at89 = tran(d, -89, -60);
  const XY pole = tran(d, -90, -60);
  EXPECT_EQ(1, pole.ok);
  EXPECT_EQ(at89.x, pole.x);
  EXPECT_EQ(at89.y, pole.y);
  const XY apex = tran(d, 90, 20);
  EXPECT_NEAR(0.0, apex.x, 1e-6);
  EXPECT_NEAR(0.0, apex.y, 1e-6);
  const XY back = untran(d, 0, 0);
  EXPECT_FLOAT_EQ(90.0f, back.x);
  EXPECT_FLOAT_EQ(-95.0f, back.y);
  expect_no_image(tran(d, 95, 0));  // not a latitude
}

// ---- cylindrical -------------------------------------------------------------------

TEST(MapCylindrical, LatLonWrapsAroundReferenceLongitude) {
  const XY p = tran(make_domain(DOM_PROJ_LATLON, 0, -100), 40, 170);
  EXPECT_EQ(1, p.ok);
  EXPECT_EQ(-90.0f, p.x);  // 170 + 100 = 270, one turn less
  EXPECT_EQ(40.0f, p.y);
  const XY back = untran(make_domain(DOM_PROJ_LATLON, 0, 170), 20, -5);
  EXPECT_EQ(-170.0f, back.y);
  EXPECT_EQ(-5.0f, back.x);
}

TEST(MapCylindrical, MercatorValuesDateLineAndPoles) {
  const Domain d = make_domain(DOM_PROJ_MERC, 0, 170);
  const XY p = tran(d, 45, -170);  // 20 degrees east, across the date line
  EXPECT_NEAR(20 * 1.1119876665653476, p.x, 1e-4);
  EXPECT_NEAR(-std::log(std::tan(22.5 * kD2r)) * kR, p.y, 1e-4);
  const XY back = untran(d, p.x, p.y);
  EXPECT_NEAR(45.0, back.x, 1e-4);
  EXPECT_NEAR(-170.0, back.y, 1e-4);

  const XY top = tran(d, 89.9f, 0);
  const XY pole = tran(d, 90, 0);
  EXPECT_EQ(top.y, pole.y);
  EXPECT_TRUE(std::isfinite(pole.y));
  EXPECT_FLOAT_EQ(90.0f, untran(d, 0, 1e7f).x);
  EXPECT_FLOAT_EQ(-90.0f, untran(d, 0, -1e7f).x);
}

TEST(MapCylindrical, MollweideEllipse) {
  const Domain d = make_domain(DOM_PROJ_MOLL, 0, 10);
  const XY edge = tran(d, 0, -170);
  EXPECT_NEAR(2 * kR, std::fabs(edge.x), 1e-4);  // half the world is 2R wide
  EXPECT_NEAR(0.0, edge.y, 1e-5);
  const XY pole = tran(d, 90, 100);
  EXPECT_EQ(0.0f, pole.x);
  EXPECT_NEAR(kR, pole.y, 1e-3);
  EXPECT_NEAR(90.0, untran(d, 0, 63.712f).x, 1e-2);

  expect_no_image(untran(d, 0, 64));  // above the ellipse
  expect_no_image(untran(d, 120, 40));  // beside it: inside the bounding box only
  expect_no_image(untran(d, -128, 0));
}

// ---- azimuthal ---------------------------------------------------------------------

TEST(MapAzimuthal, OrthographicNearSideOnly) {
  Domain d = make_domain(DOM_PROJ_ORTHO, kMiss, 20);  // no latitude at all: the equator
  const XY side = tran(d, 0, 109);
  EXPECT_EQ(1, side.ok);
  EXPECT_NEAR(kR * std::sin(89 * kD2r), side.x, 1e-4);
  EXPECT_NEAR(0.0, side.y, 1e-4);
  EXPECT_EQ(0.0f, MAP_get_domain(nullptr)->plat);
  expect_no_image(tran(d, 0, -100));
  expect_no_image(untran(d, 50, 50));  // outside the disc
  const XY centre = untran(d, 0, 0);
  EXPECT_NEAR(0.0, centre.x, 1e-6);
  EXPECT_NEAR(20.0, centre.y, 1e-6);
}

TEST(MapAzimuthal, LambertAzimuthalCentreRimAndAntipode) {
  const Domain d = make_domain(DOM_PROJ_LAMBAZ, 45, -100);
  expect_no_image(tran(d, -45, 80));  // the antipode has no single image
  const XY centre = untran(d, 0, 0);
  EXPECT_EQ(1, centre.ok);
  EXPECT_EQ(45.0f, centre.x);
  EXPECT_EQ(-100.0f, centre.y);
  expect_no_image(untran(d, 130, 0));  // beyond 2R

  const Domain eq = make_domain(DOM_PROJ_LAMBAZ, 0, 0);
  const XY quarter = tran(eq, 0, 90);
  EXPECT_NEAR(std::sqrt(2.0) * kR, quarter.x, 1e-4);  // equal area: 90 degrees away is sqrt(2) R
  EXPECT_NEAR(0.0, quarter.y, 1e-4);
}

// ---- satellite ----------------------------------------------------------------------

TEST(MapSatellite, VisibleDiscOnly) {
  const Domain d = make_domain(DOM_PROJ_SAT, 0, -75);
  expect_no_image(tran(d, 0, 105));  // the far side
  expect_no_image(tran(d, 0, 10));   // 85 degrees away: beyond the horizon
  expect_no_image(untran(d, 70, 0)); // beside the disc
  const XY sub = tran(d, 0, -75);
  EXPECT_NEAR(0.0, sub.x, 1e-6);
  EXPECT_NEAR(0.0, sub.y, 1e-6);
  const XY east = tran(d, 0, -45);
  const double expected = 421.61 * kR * 0.5 / (421.61 - kR * std::cos(30 * kD2r));
  EXPECT_NEAR(expected, east.x, 1e-3);
}

TEST(MapSatellite, ScanAnglesAndEllipsoid) {
  const Domain plain = make_domain(DOM_PROJ_SAT, 0, 0);
  const Domain scan = make_domain(DOM_PROJ_SAT, 0, 0, kMiss, 1);
  const XY p = tran(plain, 30, 20);
  const XY s = tran(scan, 30, 20);
  EXPECT_NEAR(std::atan(p.x / 421.61) * 421.61, s.x, 1e-3);

  Domain ell = plain;
  ell.ellipsoid = 1;
  const XY e = tran(ell, 45, 0);
  const XY sph = tran(plain, 45, 0);
  EXPECT_LT(e.y, sph.y);  // the flattened earth puts 45 N nearer the equator
  EXPECT_GT(sph.y - e.y, 0.1);
}
