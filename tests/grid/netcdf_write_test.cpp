// Writing the package's netCDF grid layout: the dimensions, variables and
// attributes on disk as another netCDF reader sees them, the record contents
// (values as one block, labels with their zero byte, 16-bit fields that do not
// fit), the grid size taken from the first grid, grids of another size, files
// without grids, and library failures, which are reported and never leave a
// file that looks complete.
#include <gtest/gtest.h>
#include <netcdf.h>

#include <cstring>
#include <string>
#include <vector>

#include "../test_support.h"
#include "config/config.h"
#include "files/files.h"
#include "grid/grid.h"
#include "netcdf_builder.h"

namespace {

GridRecord sample_grid(int nx = 3, int ny = 2, float base = 0.0f) {
  GridRecord g{};
  GRD_init(&g);
  copy_text(g.datim, "12Z 10 JAN 12");
  copy_text(g.info, "500 MB HEIGHT");
  g.source = 7;
  g.version = 1;
  g.model = 96;
  g.type = 211;
  g.ltype = 100;
  g.level = 500;
  g.time = 12;
  g.var = 7;
  DOM_init(g.domain);
  g.domain.proj = 4;
  g.domain.plat = 25.0f;
  g.domain.plon = -95.0f;
  g.domain.clat = 40.5f;
  g.domain.clon = -100.25f;
  g.domain.dx = 1.5f;
  g.domain.dy = 0.75f;
  g.domain.nx = nx;
  g.domain.ny = ny;
  for (int i = 0; i < nx * ny; ++i) g.values.push_back(i == 1 ? -9999.0f : base + 0.1f * static_cast<float>(i));
  return g;
}

class NetcdfWriteTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int h = 0; h < GRD_MAX_FILES; ++h) GRD_close(h);
  }
  int create(int nx = 0, int ny = 0, int grid_type = 0) {
    path = dir.file("out" + std::to_string(++files_) + ".nc");
    int type = GRD_NETCDF;
    const int h = GRD_open(path.c_str(), 1, &type);
    EXPECT_GE(h, 0);
    GridFileInfo info{};
    DATE_init(&info.date);
    info.date.year = 2012;
    info.date.month = 1;
    info.date.day = 10;
    info.date.hour = 12;
    info.nx = nx;
    info.ny = ny;
    info.grid_type = grid_type;
    EXPECT_EQ(GRD_putinfo(h, &info), 0);
    count = 0;
    return h;
  }
  int write(int h, GridRecord &g) {
    const int rc = GRD_write(h, &g, 0, &count);
    if (rc == 0) ++count;
    return rc;
  }
  kvztest::TempDir dir;
  std::string path;
  int count = 0;
  int files_ = 0;
};

std::string text_att(int ncid, int var, const char *name) {
  size_t len = 0;
  if (nc_inq_attlen(ncid, var, name, &len) != NC_NOERR) return "<none>";
  std::string s(len, '\0');
  nc_get_att_text(ncid, var, name, &s[0]);
  return s;
}

short short_att(int ncid, const char *name) {
  short v = 0;
  EXPECT_EQ(nc_get_att_short(ncid, NC_GLOBAL, name, &v), NC_NOERR) << name;
  return v;
}

struct VarLayout {
  const char *name;
  nc_type type;
  std::vector<const char *> dims;
  const char *tag, *long_name, *units;
  bool fill;
};

// The layout of a dataset of grid type 0, in the order the variables are defined.
const std::vector<VarLayout> &layout_type0() {
  static const std::vector<VarLayout> v = {
      {"values", NC_FLOAT, {"grid", "x", "y"}, "VALUES", "Grid values", nullptr, true},
      {"proj", NC_SHORT, {"grid"}, "PROJ", "Projection", nullptr, false},
      {"lat1", NC_FLOAT, {"grid"}, "CLAT", "Grid central latitude", "DEG", false},
      {"lat2", NC_FLOAT, {"grid"}, "LAT2", "Grid secondary latitude", "DEG", false},
      {"lon1", NC_FLOAT, {"grid"}, "CLON", "Grid central longitude", "DEG", false},
      {"lon2", NC_FLOAT, {"grid"}, "LON2", "Grid secondary longitude", "DEG", false},
      {"dx", NC_FLOAT, {"grid"}, "DX", "Grid spacing in X direction", "100 KM", false},
      {"dy", NC_FLOAT, {"grid"}, "DY", "Grid spacing in Y direction", "100 KM", false},
      {"datim", NC_CHAR, {"grid", "string_len"}, "DATETIME", "Grid date/time information", nullptr, false},
      {"info", NC_CHAR, {"grid", "string_len"}, "INFO", "Grid variable information", nullptr, false},
      {"source", NC_SHORT, {"grid"}, "SOURCE", "Grid creation source", nullptr, false},
      {"version", NC_SHORT, {"grid"}, "VERSION", "Grid encoding version", nullptr, false},
      {"model", NC_SHORT, {"grid"}, "MODEL", "Model name", nullptr, false},
      {"type", NC_SHORT, {"grid"}, "TYPE", "Model grid type", nullptr, false},
      {"ltype", NC_SHORT, {"grid"}, "LTYPE", "Vertical level type", nullptr, false},
      {"level", NC_SHORT, {"grid"}, "LEVEL", "Vertical level value", nullptr, false},
      {"time", NC_SHORT, {"grid"}, "TIME", "Forecast time", "HOUR", false},
      {"var", NC_SHORT, {"grid"}, "VAR", "Grid variable type", nullptr, false},
      {"nx", NC_SHORT, {"grid"}, "NX", "Gridpoints in X direction", nullptr, false},
      {"ny", NC_SHORT, {"grid"}, "NY", "Gridpoints in Y direction", nullptr, false},
  };
  return v;
}

void expect_variable(int ncid, int id, const VarLayout &want) {
  SCOPED_TRACE(want.name);
  char name[NC_MAX_NAME + 1];
  nc_type type;
  int ndims = 0, natts = 0, dims[NC_MAX_VAR_DIMS];
  ASSERT_EQ(nc_inq_var(ncid, id, name, &type, &ndims, dims, &natts), NC_NOERR);
  EXPECT_STREQ(name, want.name);
  EXPECT_EQ(type, want.type);
  ASSERT_EQ(ndims, static_cast<int>(want.dims.size()));
  for (int d = 0; d < ndims; ++d) {
    nc_inq_dimname(ncid, dims[d], name);
    EXPECT_STREQ(name, want.dims[d]);
  }
  EXPECT_EQ(text_att(ncid, id, "name"), want.tag);
  EXPECT_EQ(text_att(ncid, id, "long_name"), want.long_name);
  EXPECT_EQ(text_att(ncid, id, "units"), want.units ? want.units : "<none>");
  EXPECT_EQ(natts, 2 + (want.units ? 1 : 0) + (want.fill ? 1 : 0));
  float fill = 0;
  if (want.fill) {
    EXPECT_EQ(nc_get_att_float(ncid, id, "_FillValue", &fill), NC_NOERR);
    EXPECT_EQ(fill, -9999.0f);
  }
}

TEST_F(NetcdfWriteTest, LayoutOnDiskIsTheDefinedOne) {
  const int h = create();
  GridRecord a = sample_grid(3, 2, 1.0f), b = sample_grid(3, 2, 2.0f);
  ASSERT_EQ(write(h, a), 0);
  ASSERT_EQ(write(h, b), 0);
  ASSERT_EQ(GRD_close(h), 0);

  int ncid = -1;
  ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &ncid), NC_NOERR);
  int format = 0, ndims = 0, nvars = 0, natts = 0, unlimited = -1;
  nc_inq_format(ncid, &format);
  EXPECT_EQ(format, NC_FORMAT_CLASSIC);
  ASSERT_EQ(nc_inq(ncid, &ndims, &nvars, &natts, &unlimited), NC_NOERR);
  // Dimensions in order; the grid size came from the first grid.
  const std::pair<const char *, size_t> dims[] = {{"grid", 2}, {"x", 3}, {"y", 2}, {"string_len", 50}};
  ASSERT_EQ(ndims, 4);
  EXPECT_EQ(unlimited, 0);
  for (int d = 0; d < 4; ++d) {
    char name[NC_MAX_NAME + 1];
    size_t len = 0;
    nc_inq_dim(ncid, d, name, &len);
    EXPECT_STREQ(name, dims[d].first);
    EXPECT_EQ(len, dims[d].second);
  }
  ASSERT_EQ(nvars, static_cast<int>(layout_type0().size()));
  for (int v = 0; v < nvars; ++v) expect_variable(ncid, v, layout_type0()[v]);
  // Global attributes: the writer, the grid type and the file's date.
  EXPECT_EQ(natts, 7);
  EXPECT_EQ(text_att(ncid, NC_GLOBAL, "source"), "KVZ");
  EXPECT_EQ(text_att(ncid, NC_GLOBAL, "version"), "1.0");
  EXPECT_EQ(short_att(ncid, "grid_type"), 0);
  EXPECT_EQ(short_att(ncid, "year"), 2012);
  EXPECT_EQ(short_att(ncid, "month"), 1);
  EXPECT_EQ(short_att(ncid, "day"), 10);
  EXPECT_EQ(short_att(ncid, "hour"), 12);

  // Record 1: the values in record order as one block, the label with its zero byte.
  std::vector<float> values(6);
  const size_t start[3] = {1, 0, 0}, cnt[3] = {1, 3, 2};
  ASSERT_EQ(nc_get_vara_float(ncid, 0, start, cnt, values.data()), NC_NOERR);
  EXPECT_EQ(values, b.values);
  char datim[50];
  const size_t tstart[2] = {1, 0}, tcount[2] = {1, 50};
  ASSERT_EQ(nc_get_vara_text(ncid, 8, tstart, tcount, datim), NC_NOERR);
  EXPECT_EQ(std::string(datim, 14), std::string("12Z 10 JAN 12\0", 14));
  short proj = 0;
  const size_t one = 1;
  nc_get_var1_short(ncid, 1, &one, &proj);
  EXPECT_EQ(proj, 4);
  nc_close(ncid);
}

TEST_F(NetcdfWriteTest, GridTypeOneHasCoordinatesInsteadOfProjection) {
  const int h = create(3, 2, 1);  // the size given by the file information
  GridRecord g = sample_grid();
  ASSERT_EQ(write(h, g), 0);
  ASSERT_EQ(GRD_close(h), 0);
  int ncid = -1;
  ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &ncid), NC_NOERR);
  std::vector<std::string> names;
  int nvars = 0;
  nc_inq_nvars(ncid, &nvars);
  for (int v = 0; v < nvars; ++v) {
    char name[NC_MAX_NAME + 1];
    nc_inq_varname(ncid, v, name);
    names.push_back(name);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"values", "x_coord", "y_coord", "datim", "info", "source", "version",
                                              "model", "type", "ltype", "level", "time", "var", "nx", "ny"}));
  expect_variable(ncid, 1, {"x_coord", NC_FLOAT, {"grid", "x", "y"}, "X_COORD", "X coordinate gridpoint locations",
                            "DEG", true});
  EXPECT_EQ(short_att(ncid, "grid_type"), 1);
  nc_close(ncid);
  // Without projection variables the projection follows the model.
  const auto back = kvztest::read_grids(path);
  ASSERT_EQ(back.grids.size(), 1u);
  EXPECT_EQ(back.info.grid_type, 1);
  EXPECT_EQ(back.grids[0].domain.proj, 2);  // model 96
  EXPECT_EQ(back.grids[0].domain.clat, -9999.0f);
  EXPECT_EQ(back.grids[0].values, g.values);
}

TEST_F(NetcdfWriteTest, FieldsThatDoNotFitAreCutOrStoredAsUnknown) {
  const int h = create();
  GridRecord g = sample_grid();
  const std::string long_info(60, 'i');
  copy_text(g.info, long_info.c_str());
  g.time = 12001024;   // a time range
  g.var = 1230011;     // ensemble digits
  g.level = -32768;    // fits
  g.domain.proj = 5;   // no text grid token: netCDF takes it
  ASSERT_EQ(write(h, g), 0);
  ASSERT_EQ(GRD_close(h), 0);
  int ncid = -1;
  ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &ncid), NC_NOERR);
  short time = 0;
  const size_t r = 0;
  nc_get_var1_short(ncid, 16, &r, &time);
  EXPECT_EQ(time, NC_FILL_SHORT);
  char info[50];
  const size_t start[2] = {0, 0}, cnt[2] = {1, 50};
  nc_get_vara_text(ncid, 9, start, cnt, info);
  EXPECT_EQ(std::string(info, 50), std::string(49, 'i') + '\0');
  nc_close(ncid);

  const auto back = kvztest::read_grids(path);
  ASSERT_EQ(back.grids.size(), 1u);
  const GridRecord &b = back.grids[0];
  EXPECT_EQ(std::string(b.info), std::string(49, 'i'));
  EXPECT_EQ(b.time, -9999);
  EXPECT_EQ(b.var, -9999);
  EXPECT_EQ(b.level, -32768);
  EXPECT_EQ(b.domain.proj, 5);
}

TEST_F(NetcdfWriteTest, GridsOfAnotherSizeAreSkippedWithOneWarning) {
  const int h = create();
  GridRecord first = sample_grid(3, 2), other = sample_grid(2, 3), last = sample_grid(3, 2, 5.0f);
  GridRecord no_values = sample_grid();
  no_values.values.pop_back();
  testing::internal::CaptureStderr();
  EXPECT_EQ(write(h, no_values), -1);  // refused before the size is taken from it
  EXPECT_EQ(write(h, first), 0);
  EXPECT_EQ(write(h, other), 1);
  EXPECT_EQ(write(h, other), 1);
  EXPECT_EQ(write(h, last), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "GRD_write: Grids of 2 x 3 points do not fit the 3 x 2 netCDF grid file; skipped\n");
  EXPECT_EQ(GRD_write_failed(h), 0);
  ASSERT_EQ(GRD_close(h), 0);
  const auto back = kvztest::read_grids(path);
  ASSERT_EQ(back.grids.size(), 2u);
  EXPECT_EQ(back.grids[1].values, last.values);
}

TEST_F(NetcdfWriteTest, FileWithoutGridsIsACompleteEmptyDataset) {
  for (const int size : {0, 4}) {
    const int h = create(size, size);
    ASSERT_EQ(GRD_close(h), 0);
    int ncid = -1;
    ASSERT_EQ(nc_open(path.c_str(), NC_NOWRITE, &ncid), NC_NOERR);
    size_t records = 9, x = 0;
    int dim = -1;
    nc_inq_dimid(ncid, "grid", &dim);
    nc_inq_dimlen(ncid, dim, &records);
    nc_inq_dimid(ncid, "x", &dim);
    nc_inq_dimlen(ncid, dim, &x);
    EXPECT_EQ(records, 0u);
    EXPECT_EQ(x, size == 0 ? 1u : 4u);
    nc_close(ncid);
    const auto back = kvztest::read_grids(path);
    EXPECT_EQ(back.getinfo, 0);
    EXPECT_TRUE(back.grids.empty());
    EXPECT_EQ(back.err, "");
  }
}

// A dataset the library refuses to write to: the failure is reported with the
// file's name and the library's reason, the file counts as failed, and its
// close reports that it could not be completed.
TEST_F(NetcdfWriteTest, LibraryFailureIsReportedAndMarksTheFileFailed) {
  const int h = create();
  GridRecord g = sample_grid();
  ASSERT_EQ(write(h, g), 0);
  ASSERT_EQ(nc_close(GRD_get_gfile(h)->ncid), NC_NOERR);  // the dataset goes away behind the writer
  testing::internal::CaptureStderr();
  EXPECT_EQ(write(h, g), -1);
  EXPECT_EQ(write(h, g), -1);
  EXPECT_EQ(GRD_write_failed(h), 1);
  EXPECT_EQ(GRD_close(h), -1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("GRD_write: netCDF error in"), std::string::npos) << err;
  EXPECT_NE(err.find("writing variable values: NetCDF: Not a valid ID\n"), std::string::npos) << err;
  EXPECT_NE(err.find("GRD_write: Unable to write to grid file:"), std::string::npos) << err;
  EXPECT_NE(err.find("GRD_close: netCDF error in"), std::string::npos) << err;
}

// However the run ends, a netCDF output still open is closed and so complete.
TEST_F(NetcdfWriteTest, OutputIsCompleteWhenTheRunEndsThroughKvzExit) {
  path = dir.file("exit.nc");
  const std::string p = path;
  EXPECT_EXIT(
      {
        int type = GRD_NETCDF;
        const int h = GRD_open(p.c_str(), 1, &type);
        GridFileInfo info{};
        GRD_putinfo(h, &info);
        GridRecord g = sample_grid();
        int n = 0;
        GRD_write(h, &g, 0, &n);
        KVZ_exit(3);
      },
      ::testing::ExitedWithCode(3), "");
  const auto back = kvztest::read_grids(p);
  ASSERT_EQ(back.grids.size(), 1u) << back.err;
  EXPECT_EQ(back.grids[0].values, sample_grid().values);
}

}  // namespace
