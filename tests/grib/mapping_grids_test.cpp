// Domains of the NCEP predefined grids, checked against the published grid
// definitions (first and last grid points).
#include <gtest/gtest.h>

#include <cstring>

#include "domain/domain.h"
#include "grib/grib.h"

namespace {

Domain predefined(int grid) {
  Domain d{};
  DOM_init(d);
  EXPECT_EQ(GRIB_set_domain(grid, &d), 1);
  return d;
}

TEST(MappingGrids, TableParameters) {
  const struct {
    int grid, proj, nx, ny;
    float dx, dy, clat, clon;
  } cases[] = {
      {21, 2, 37, 37, 5, 2.5f, 45, 90},       {22, 2, 37, 37, 5, 2.5f, 45, -90},
      {23, 2, 37, 37, 5, 2.5f, -45, 90},      {24, 2, 37, 37, 5, 2.5f, -45, -90},
      {25, 2, 73, 19, 5, 5, 45, 180},         {26, 2, 73, 19, 5, 5, -45, 180},
      {37, 2, 73, 73, 1.5f, 1.5f, 45, 15},    {38, 2, 73, 73, 1.5f, 1.5f, 45, 105},
      {39, 2, 73, 73, 1.5f, 1.5f, 45, -165},  {40, 2, 73, 73, 1.5f, 1.5f, 45, -75},
      {41, 2, 73, 73, 1.5f, 1.5f, -45, 15},   {42, 2, 73, 73, 1.5f, 1.5f, -45, 105},
      {43, 2, 73, 73, 1.5f, 1.5f, -45, -165}, {44, 2, 73, 73, 1.5f, 1.5f, -45, -75},
      {50, 2, 36, 33, 2.5f, 1.25f, 40, -96.25f},
      {61, 2, 91, 46, 2, 2, 45, 90},          {62, 2, 91, 46, 2, 2, 45, -90},
      {63, 2, 91, 46, 2, 2, -45, 90},         {64, 2, 91, 46, 2, 2, -45, -90},
      {211, 4, 93, 65, 0.8127f, 0.8127f, 40.607f, -100.553f},
      {212, 4, 185, 129, 0.4063f, 0.4063f, 40.606f, -100.554f},
      {215, 4, 369, 257, 0.2032f, 0.2032f, 40.607f, -100.553f},
  };
  for (const auto &c : cases) {
    const Domain d = predefined(c.grid);
    EXPECT_EQ(d.proj, c.proj) << c.grid;
    EXPECT_EQ(d.nx, c.nx) << c.grid;
    EXPECT_EQ(d.ny, c.ny) << c.grid;
    EXPECT_EQ(d.dx, c.dx) << c.grid;
    EXPECT_EQ(d.dy, c.dy) << c.grid;
    EXPECT_EQ(d.clat, c.clat) << c.grid;
    EXPECT_EQ(d.clon, c.clon) << c.grid;
    if (c.proj == 4) {
      EXPECT_EQ(d.plat, 90.0f) << c.grid;
      EXPECT_EQ(d.plon, -95.0f) << c.grid;
      EXPECT_EQ(d.param1, 25.0f) << c.grid;
      EXPECT_EQ(d.param2, 25.0f) << c.grid;
      EXPECT_EQ(d.param3, 1.0f) << c.grid;
    }
  }
}

// First (south-west) and last (north-east) points of the latitude/longitude
// grids as NCEP publishes them; grids 25 and 26 carry a wrap-around column.
TEST(MappingGrids, LatLonCornersMatchNcepDefinitions) {
  const struct {
    int grid;
    float lat1, lon1, lat2, lon2;
  } cases[] = {
      {21, 0, 0, 90, 180},      {22, 0, -180, 90, 0},     {23, -90, 0, 0, 180},
      {24, -90, -180, 0, 0},    {25, 0, 0, 90, 360},      {26, -90, 0, 0, 360},
      {50, 20, -140, 60, -52.5f},
      {61, 0, 0, 90, 180},      {62, 0, -180, 90, 0},     {63, -90, 0, 0, 180},
      {64, -90, -180, 0, 0},
  };
  for (const auto &c : cases) {
    const Domain d = predefined(c.grid);
    const float half_x = 0.5f * (d.nx - 1) * d.dx;
    const float half_y = 0.5f * (d.ny - 1) * d.dy;
    EXPECT_FLOAT_EQ(d.clat - half_y, c.lat1) << c.grid;
    EXPECT_FLOAT_EQ(d.clon - half_x, c.lon1) << c.grid;
    EXPECT_FLOAT_EQ(d.clat + half_y, c.lat2) << c.grid;
    EXPECT_FLOAT_EQ(d.clon + half_x, c.lon2) << c.grid;
  }
}

// Corners of the Lambert conformal grids as NCEP defines them: first point
// 12.190N 133.459W, the others following from it on NCEP's sphere of radius
// 6371.2 km (cone tangent at 25N, vertical meridian 95W).
TEST(MappingGrids, LambertCornersMatchNcepDefinitions) {
  const struct {
    float lat, lon;
    int col, row;  // 0 first, 1 last
  } corners[] = {
      {12.190f, -133.459f, 0, 0}, {14.335f, -65.091f, 1, 0}, {54.536f, -152.855f, 0, 1}, {57.289f, -49.385f, 1, 1}};
  for (int grid : {211, 212, 215}) {
    const Domain d = predefined(grid);
    ASSERT_EQ(MAP_domain(&d), 0);
    float xc = 0, yc = 0;
    ASSERT_EQ(MAP_tran(d.clat, d.clon, xc, yc), 1);
    for (const auto &c : corners) {
      const float x = xc + (c.col ? 0.5f : -0.5f) * (d.nx - 1) * d.dx;
      const float y = yc + (c.row ? 0.5f : -0.5f) * (d.ny - 1) * d.dy;
      float lat = 0, lon = 0;
      ASSERT_EQ(MAP_untran(x, y, lat, lon), 1);
      EXPECT_NEAR(lat, c.lat, 0.01) << grid << " corner " << c.col << c.row;
      EXPECT_NEAR(lon, c.lon, 0.01) << grid << " corner " << c.col << c.row;
    }
  }
}

TEST(MappingGrids, OtherNumbersLeaveTheDomainAlone) {
  for (int grid : {-1, 0, 3, 27, 45, 213, 255, 1000}) {
    Domain d{};
    DOM_init(d);
    d.nx = 12;
    Domain before = d;
    EXPECT_EQ(GRIB_set_domain(grid, &d), 1);
    EXPECT_EQ(std::memcmp(&d, &before, sizeof d), 0) << grid;
  }
}

}  // namespace
