// Reading foreign netCDF model layouts: one variable per physical field over
// time and level, presented as a sequence of grids (time slowest, level
// fastest, variables in dataset order); the variable codes chosen by units,
// the layout codes of the titles, the producers' known grids, values read from
// the first dataset row into the last record row, and datasets whose shapes
// do not allow reading the values.
#include <gtest/gtest.h>
#include <netcdf.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../test_support.h"
#include "config/config.h"
#include "grid/grid.h"
#include "netcdf_builder.h"

using kvztest::NcBuilder;
using kvztest::read_grids;

namespace {

constexpr int kTimes = 4, kLevels = 10, kNy = 3, kNx = 4;

double tz_value(int var, int t, int z, int row, int col) { return var * 1000 + t * 100 + z * 10 + row + col / 10.0; }

// "T" in kelvin and "Z" in geopotential metres over 4 times and 10 levels.
void tz_dataset(const std::string &path, const std::string &title, bool rtime) {
  NcBuilder b(path);
  std::vector<int> dims;
  if (rtime) dims.push_back(b.dim("rtime", 1));
  const int t = b.dim("frtime", kTimes), z = b.dim("level", kLevels), y = b.dim("lat", kNy), x = b.dim("lon", kNx);
  for (int d : {t, z, y, x}) dims.push_back(d);
  const int vt = b.var("T", NC_FLOAT, dims, "kelvin"), vz = b.var("Z", NC_FLOAT, dims, "gp m");
  const int lat = b.var("lat", NC_FLOAT, {y}), lon = b.var("lon", NC_FLOAT, {x});
  const int level = b.var("level", NC_FLOAT, {z}), frtime = b.var("frtime", NC_INT, {t});
  const int center = b.var("grib_center", NC_SHORT, {t}), model = b.var("grib_model", NC_SHORT, {t});
  const int year = b.var("year", NC_INT, {}), month = b.var("month", NC_INT, {});
  const int day = b.var("day", NC_INT, {}), hour = b.var("hour", NC_INT, {});
  if (!title.empty()) b.text_att(NC_GLOBAL, "title", title);
  b.end();
  for (int v : {0, 1}) {
    std::vector<double> values;
    for (int ti = 0; ti < kTimes; ++ti)
      for (int zi = 0; zi < kLevels; ++zi)
        for (int r = 0; r < kNy; ++r)
          for (int c = 0; c < kNx; ++c) values.push_back(tz_value(v, ti, zi, r, c));
    b.put(v == 0 ? vt : vz, values);
  }
  b.put(lat, {30, 32.5, 35});
  b.put(lon, {-100, -97.5, -95, -92.5});
  b.put(level, {1000.7, 950, 900, 850, 700, 500, 400, 300, 250, 200});
  b.put(frtime, {0, 12, 24, 36});
  b.put(center, {7, 7, 7, 7});
  b.put(model, {39, 39, 39, 39});
  b.put(year, {1995});
  b.put(month, {3});
  b.put(day, {4});
  b.put(hour, {12});
}

class NetcdfForeignTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
    unsetenv("GRIDVAR");
    unsetenv("GRIBQP");
  }
  void TearDown() override {
    for (int h = 0; h < GRD_MAX_FILES; ++h) GRD_close(h);
  }
  kvztest::TempDir dir;
};

TEST_F(NetcdfForeignTest, FieldsOverTimeAndLevelAreGridsInOrder) {
  const std::string path = dir.file("tz.nc");
  tz_dataset(path, "", true);
  const auto back = read_grids(path);
  EXPECT_EQ(back.getinfo, 0);
  EXPECT_EQ(back.err.find("GRD_"), std::string::npos) << back.err;  // the level table names no level type 10
  EXPECT_EQ(back.subtype, 1);
  EXPECT_EQ(back.info.date.year, 1995);
  EXPECT_EQ(back.info.date.hour, 12);
  ASSERT_EQ(back.grids.size(), 80u);
  const int levels[] = {1000, 950, 900, 850, 700, 500, 400, 300, 250, 200};
  for (int k = 0; k < 80; ++k) {
    SCOPED_TRACE("grid " + std::to_string(k));
    const GridRecord &g = back.grids[k];
    const int v = k / 40, t = (k % 40) / kLevels, z = k % kLevels;
    EXPECT_EQ(g.var, v == 0 ? 104 : 102);
    EXPECT_EQ(g.time, 12 * t);
    EXPECT_EQ(g.level, levels[z]);
    EXPECT_EQ(g.ltype, 10);
    EXPECT_EQ(g.source, 7);
    EXPECT_EQ(g.model, 39);
    EXPECT_EQ(g.type, 50);
    EXPECT_EQ(g.version, 1);
    EXPECT_EQ(g.base_date.year, 1995);
    EXPECT_STRNE(g.datim, "");
    EXPECT_STRNE(g.info, "");
    const Domain &d = g.domain;
    EXPECT_EQ(d.proj, 2);
    EXPECT_EQ(d.nx, kNx);
    EXPECT_EQ(d.ny, kNy);
    EXPECT_FLOAT_EQ(d.dx, 2.5f);
    EXPECT_FLOAT_EQ(d.dy, 2.5f);
    EXPECT_FLOAT_EQ(d.clat, 32.5f);
    EXPECT_FLOAT_EQ(d.clon, -96.25f);
    // The first dataset row is the last record row.
    ASSERT_EQ(g.values.size(), static_cast<size_t>(kNx * kNy));
    for (int r = 0; r < kNy; ++r)
      for (int c = 0; c < kNx; ++c)
        EXPECT_EQ(g.values[r * kNx + c], static_cast<float>(tz_value(v, t, z, kNy - 1 - r, c)));
  }

  // Any grid can be asked for, in any order; past the last one there is none.
  int type = 0;
  const int h = GRD_open(path.c_str(), 0, &type);
  GridFileInfo info{};
  GRD_getinfo(h, &info);
  for (const int n : {45, 3, 79}) {
    GridRecord g{};
    int number = n;
    ASSERT_EQ(GRD_read(h, &g, 0, &number), 0);
    EXPECT_EQ(g.var, n < 40 ? 104 : 102);
    EXPECT_EQ(g.level, levels[n % 10]);
  }
  GridRecord g{};
  int past = 80;
  EXPECT_EQ(GRD_read(h, &g, 1, &past), -1);
  GRD_close(h);

  // The program lists the 80 grids.
  const auto r = kvztest::run_program({"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/", path},
                                      {"kvzdefault=" + dir.path()}, dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\n 79: "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("\n 80: "), std::string::npos);
}

TEST_F(NetcdfForeignTest, TitleAndDimensionsGiveTheLayoutCode) {
  const struct {
    const char *title;
    bool rtime;
    int code;
  } cases[] = {
      {"ECMWF: Maximum wind", true, 32}, {"ECMWF: Maximum wind", false, 132}, {"NMC Early Trop fields", true, 11},
      {"NMC Global 72 hours", true, 43}, {"NMC Extended", false, 120},        {"", true, 1},
      {"Other Trop", false, 102},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.title);
    const std::string path = dir.file("title.nc");
    tz_dataset(path, c.title, c.rtime);
    const auto back = read_grids(path, 1, 1);
    EXPECT_EQ(back.subtype, c.code);
    EXPECT_EQ(back.grids.size(), 1u);
  }
}

// Fields over time alone: level types by variable and layout code, the
// variable named by GRIDVAR, the precipitation offset of GRIBQP, missing
// values, and the wrap-around grid of the global models.
TEST_F(NetcdfForeignTest, SingleLevelFieldsAndTheWrapAroundGrid) {
  const std::string path = dir.file("sfc.nc");
  constexpr int nx = 72, ny = 2;
  {
    NcBuilder b(path);
    const int t = b.dim("frtime", 2), y = b.dim("lat", ny), x = b.dim("lon", nx);
    const int precip = b.var("precip", NC_FLOAT, {t, y, x}, "mm");
    const int foo = b.var("foo", NC_FLOAT, {t, y, x}, "K");
    b.text_att(foo, "long_name", "Foo index");
    const int trop = b.var("Ttrop", NC_FLOAT, {t, y, x});
    const int psl = b.var("Psl", NC_FLOAT, {t, y, x}, "pascals");
    const int lat = b.var("lat", NC_FLOAT, {y}), lon = b.var("lon", NC_FLOAT, {x});
    const int frtime = b.var("frtime", NC_FLOAT, {t}), model = b.var("grib_model", NC_INT, {t});
    b.text_att(NC_GLOBAL, "title", "NMC Global products");
    b.end();
    std::vector<double> field;
    for (int i = 0; i < 2 * nx * ny; ++i) field.push_back(i);
    field[5] = 1e30;  // one missing value
    for (int v : {precip, foo, trop}) b.put(v, field);
    field[0] = 2e30;  // the whole field is missing
    b.put(psl, field);
    b.put(lat, {-90, 90});
    std::vector<double> lons;
    for (int i = 0; i < nx; ++i) lons.push_back(5.0 * i);
    b.put(lon, lons);
    b.put(frtime, {72, 96.9});
    b.put(model, {69, 69});
  }
  setenv("GRIDVAR", "foo", 1);
  setenv("GRIBQP", "6", 1);
  const auto back = read_grids(path);
  // Sea-level pressure in pascals is of level type 12, which the level table does not name.
  EXPECT_EQ(back.err, "VAR_make_datatype: no ltype: 12\n");
  ASSERT_EQ(back.grids.size(), 8u);
  const GridRecord &precip72 = back.grids[0], &precip96 = back.grids[1];
  EXPECT_EQ(precip72.var, 50);
  EXPECT_EQ(precip72.ltype, 1);
  EXPECT_EQ(precip72.time, 78);  // 72 hours and GRIBQP
  EXPECT_EQ(precip72.values[5 + nx], -9999.0f);  // dataset row 0 is record row 1
  EXPECT_EQ(precip72.domain.nx, nx);
  // From 73 hours on the global grid wraps around: one more column, the first repeated.
  EXPECT_EQ(precip96.time, 102);
  ASSERT_EQ(precip96.domain.nx, nx + 1);
  EXPECT_FLOAT_EQ(precip96.domain.clon, precip72.domain.clon + 2.5f);
  ASSERT_EQ(precip96.values.size(), static_cast<size_t>((nx + 1) * ny));
  EXPECT_EQ(precip96.values[0], static_cast<float>(nx * ny + nx));
  EXPECT_EQ(precip96.values[nx], precip96.values[0]);
  EXPECT_EQ(precip96.values[nx + 1], static_cast<float>(nx * ny));
  EXPECT_EQ(precip96.type, 11);

  const GridRecord &foo = back.grids[2], &trop = back.grids[4], &psl = back.grids[6];
  EXPECT_EQ(foo.var, 0);
  EXPECT_STREQ(foo.info, "Foo index (K)");
  EXPECT_EQ(foo.time, 72);  // GRIBQP is for precipitation only
  EXPECT_EQ(foo.ltype, 9);
  EXPECT_EQ(trop.var, 4);
  EXPECT_EQ(trop.ltype, 7);  // "trop" under a title code: tropopause
  EXPECT_EQ(psl.var, 0);     // the first value marks the field missing
  EXPECT_EQ(psl.ltype, 0);
  EXPECT_EQ(psl.time, 0);
  EXPECT_EQ(psl.values[nx], -9999.0f);
}

// Datasets without coordinates: the 83-point polar grid, and model 83's Lambert grid.
TEST_F(NetcdfForeignTest, KnownGridsWithoutCoordinates) {
  const struct {
    int nx, ny, model, proj, type;
  } cases[] = {{83, 83, 7, 1, 1}, {93, 65, 83, 4, 211}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.nx);
    const std::string path = dir.file("known.nc");
    {
      NcBuilder b(path);
      const int y = b.dim("y", c.ny), x = b.dim("x", c.nx);
      const int v = b.var("RH", NC_SHORT, {y, x});
      const int model = b.var("grib_model", NC_INT, {});
      b.end();
      std::vector<double> values(static_cast<size_t>(c.nx * c.ny));
      for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i % 100);
      b.put(v, values);
      b.put(model, {static_cast<double>(c.model)});
    }
    const auto back = read_grids(path);
    EXPECT_EQ(back.err, "");
    ASSERT_EQ(back.grids.size(), 1u);
    const GridRecord &g = back.grids[0];
    EXPECT_EQ(g.var, 13);
    EXPECT_EQ(g.model, c.model);
    EXPECT_EQ(g.ltype, 1);
    EXPECT_EQ(g.domain.proj, c.proj);
    EXPECT_EQ(g.type, c.type);
    EXPECT_EQ(g.domain.nx, c.nx);
    EXPECT_EQ(g.domain.ny, c.ny);
    ASSERT_EQ(g.values.size(), static_cast<size_t>(c.nx * c.ny));
    EXPECT_EQ(g.values[0], static_cast<float>(((c.ny - 1) * c.nx) % 100));
  }
}

TEST_F(NetcdfForeignTest, ShapesThatCannotHoldTheGridAreReported) {
  // A field without a latitude dimension: its header reads, its values do not.
  const std::string flat = dir.file("flat.nc");
  {
    NcBuilder b(flat);
    const int y = b.dim("lat", 2), x = b.dim("lon", 3);
    b.var("T", NC_FLOAT, {x});
    b.var("lat", NC_FLOAT, {y});
    b.var("lon", NC_FLOAT, {x});
  }
  auto back = read_grids(flat, 1);
  EXPECT_EQ(back.grids.size(), 1u);
  back = read_grids(flat, 0);
  EXPECT_TRUE(back.grids.empty());
  EXPECT_NE(back.err.find("GRD_read: " + flat + ": the variable T has no x and y dimensions\n"), std::string::npos)
      << back.err;

  // A huge field whose file was cut short is refused before anything is allocated.
  const std::string huge = dir.file("huge.nc");
  {
    NcBuilder b(huge);
    int old = 0;
    nc_set_fill(b.id(), NC_NOFILL, &old);
    const int y = b.dim("lat", 20000), x = b.dim("lon", 20000);
    b.var("T", NC_FLOAT, {y, x});
  }
  ASSERT_EQ(truncate(huge.c_str(), 4096), 0);
  back = read_grids(huge);
  EXPECT_EQ(back.getinfo, -1);
  EXPECT_TRUE(back.grids.empty());
  EXPECT_NE(back.err.find("GRD_getinfo: " + huge + ": the file holds 4096 bytes"), std::string::npos) << back.err;
}

TEST_F(NetcdfForeignTest, AtMostFifteenFieldsAreTaken) {
  const std::string path = dir.file("many.nc");
  const char *names[] = {"pressure", "psl", "Ptrop", "Pmaxwind", "P",  "gpt_hgt", "H",  "Zsfc", "Ztrop",
                         "Zwind",    "Z",   "temp",  "Ttrop",    "T",  "rel_hum", "RH", "LI"};
  {
    NcBuilder b(path);
    const int x = b.dim("x", 2);
    std::vector<int> ids = {b.var("other", NC_FLOAT, {x})};
    for (const char *name : names) ids.push_back(b.var(name, NC_FLOAT, {x}));
    b.end();
    for (const int id : ids) b.put(id, {1, 2});  // unwritten values would be missing
  }
  const auto back = read_grids(path, 1);
  ASSERT_EQ(back.grids.size(), 15u);
  EXPECT_EQ(back.grids[1].var, 1);  // "psl": names compare without regard to case
  EXPECT_EQ(back.grids[14].var, 13);  // "rel_hum"; "RH" and "LI" are left out
}

}  // namespace
