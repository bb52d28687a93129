// Reading the package's own netCDF layout: what the writer produces reads back
// field for field and bit for bit (also through the program itself, from a
// real GRIB file), datasets that vary the layout are read, and damaged or
// inconsistent datasets give a warning naming the file and no grid.
#include <gtest/gtest.h>
#include <netcdf.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "../test_support.h"
#include "config/config.h"
#include "files/files.h"
#include "grid/grid.h"
#include "netcdf_builder.h"

using kvztest::NcBuilder;
using kvztest::read_grids;

namespace {

void expect_same_bits(const std::vector<float> &got, const std::vector<float> &want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(memcmp(&got[i], &want[i], 4), 0) << "value " << i;
}

void expect_same_header(const GridRecord &got, const GridRecord &want) {
  EXPECT_STREQ(got.datim, want.datim);
  EXPECT_STREQ(got.info, want.info);
  EXPECT_EQ(got.source, want.source);
  EXPECT_EQ(got.version, want.version);
  EXPECT_EQ(got.model, want.model);
  EXPECT_EQ(got.type, want.type);
  EXPECT_EQ(got.ltype, want.ltype);
  EXPECT_EQ(got.level, want.level);
  EXPECT_EQ(got.time, want.time);
  EXPECT_EQ(got.var, want.var);
  const Domain &a = got.domain, &b = want.domain;
  EXPECT_EQ(a.proj, b.proj);
  EXPECT_EQ(a.clat, b.clat);
  EXPECT_EQ(a.clon, b.clon);
  EXPECT_EQ(a.plat, b.plat);
  EXPECT_EQ(a.plon, b.plon);
  EXPECT_EQ(a.dx, b.dx);
  EXPECT_EQ(a.dy, b.dy);
  EXPECT_EQ(a.nx, b.nx);
  EXPECT_EQ(a.ny, b.ny);
}

GridRecord grid_of(int proj, float plat, float plon, int n) {
  GridRecord g{};
  GRD_init(&g);
  format_text(g.datim, sizeof g.datim, "%d hour NAM valid 12Z", n);
  copy_text(g.info, "850 mb Temperature (K)");
  g.source = 7;
  g.version = 2;
  g.model = 84;
  g.type = 218;
  g.ltype = 100;
  g.level = 850;
  g.time = 6 * n;
  g.var = 11;
  DOM_init(g.domain);
  g.domain.proj = proj;
  g.domain.plat = plat;
  g.domain.plon = plon;
  g.domain.clat = 38.5f + n;
  g.domain.clon = -97.25f;
  g.domain.dx = 0.12191f;
  g.domain.dy = 0.25f;
  g.domain.nx = 5;
  g.domain.ny = 4;
  for (int i = 0; i < 20; ++i) g.values.push_back(i % 7 == 3 ? -9999.0f : 250.0f + 1.0f / (i + n + 1.0f));
  return g;
}

class NetcdfReadTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int h = 0; h < GRD_MAX_FILES; ++h) GRD_close(h);
  }
  std::string write_file(std::vector<GridRecord> &grids) {
    const std::string path = dir.file("own" + std::to_string(++files_) + ".nc");
    int type = GRD_NETCDF;
    const int h = GRD_open(path.c_str(), 1, &type);
    GridFileInfo info{};
    DATE_init(&info.date);
    info.date.year = 2012;
    info.date.month = 1;
    info.date.day = 10;
    info.date.hour = 12;
    EXPECT_EQ(GRD_putinfo(h, &info), 0);
    int count = 0;
    for (GridRecord &g : grids) {
      EXPECT_EQ(GRD_write(h, &g, 0, &count), 0);
      ++count;
    }
    EXPECT_EQ(GRD_close(h), 0);
    return path;
  }
  kvztest::TempDir dir;
  int files_ = 0;
};

TEST_F(NetcdfReadTest, WrittenGridsReadBackFieldForField) {
  std::vector<GridRecord> grids = {grid_of(1, 90, -105, 0), grid_of(2, -9999, -9999, 1), grid_of(3, 22.5f, -9999, 2),
                                   grid_of(4, 25, -95, 3)};
  const std::string path = write_file(grids);
  const auto back = read_grids(path);
  EXPECT_EQ(back.getinfo, 0);
  EXPECT_EQ(back.err, "");
  EXPECT_EQ(back.subtype, 0);
  EXPECT_EQ(back.info.date.year, 2012);
  EXPECT_EQ(back.info.date.hour, 12);
  EXPECT_STRNE(back.info.label, "");
  ASSERT_EQ(back.grids.size(), grids.size());
  for (size_t i = 0; i < grids.size(); ++i) {
    SCOPED_TRACE("grid " + std::to_string(i));
    expect_same_header(back.grids[i], grids[i]);
    expect_same_bits(back.grids[i].values, grids[i].values);
    EXPECT_EQ(back.grids[i].base_date.year, 2012);
  }

  // Headers alone, any grid in any order; past the last grid there is none.
  int type = 0;
  const int h = GRD_open(path.c_str(), 0, &type);
  GridFileInfo info{};
  GRD_getinfo(h, &info);
  for (const int n : {3, 0, 2}) {
    GridRecord g{};
    int number = n;
    ASSERT_EQ(GRD_read(h, &g, 1, &number), 0);
    EXPECT_TRUE(g.values.empty());
    EXPECT_EQ(g.domain.proj, n + 1);
  }
  GridRecord g{};
  int past = 4;
  EXPECT_EQ(GRD_read(h, &g, 0, &past), -1);
  GRD_close(h);
}

// Datasets in the layout written by others: no projection variables, no size
// variables, longer label strings, unknown 16-bit values.
TEST_F(NetcdfReadTest, VariationsOfTheLayoutAreRead) {
  const std::string path = dir.file("variant.nc");
  {
    NcBuilder b(path);
    const int grid = b.dim("grid", NC_UNLIMITED), x = b.dim("x", 3), y = b.dim("y", 2), s = b.dim("string_len", 80);
    const int values = b.var("values", NC_FLOAT, {grid, x, y});
    const int datim = b.var("datim", NC_CHAR, {grid, s});
    const int model = b.var("model", NC_SHORT, {grid});
    const int time = b.var("time", NC_SHORT, {grid});
    b.short_att("grid_type", 0);
    b.end();
    b.put_at(values, {0, 0, 0}, {2, 3, 2}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    b.put_text(datim, {0, 0}, {1, 70}, std::string(70, 'd'));
    b.put_at(model, {0}, {2}, {7, 96});
    b.put_at(time, {0}, {2}, {NC_FILL_SHORT, 24});
  }
  const auto back = read_grids(path);
  EXPECT_EQ(back.err, "");
  ASSERT_EQ(back.grids.size(), 2u);
  const GridRecord &a = back.grids[0], &b = back.grids[1];
  EXPECT_EQ(std::string(a.datim), std::string(49, 'd'));
  EXPECT_STREQ(b.datim, "");
  EXPECT_EQ(a.domain.proj, 1);  // model 7: polar stereographic
  EXPECT_EQ(b.domain.proj, 2);  // model 96: latitude-longitude
  EXPECT_EQ(a.time, -9999);
  EXPECT_EQ(b.time, 24);
  EXPECT_EQ(a.domain.nx, 3);    // from the dimensions
  EXPECT_EQ(a.domain.ny, 2);
  EXPECT_EQ(b.values, (std::vector<float>{7, 8, 9, 10, 11, 12}));
  EXPECT_EQ(back.info.date.year, DATE_MISSING);
}

struct BadDataset {
  const char *name;
  void (*build)(NcBuilder &b);
  const char *warning;  // what the warning says after the file's name
  int getinfo;
};

// A minimal own-layout dataset of one grid whose pieces the cases change.
void own_dataset(NcBuilder &b, size_t x_len, size_t string_len, bool grid_type, short nx) {
  const int grid = b.dim("grid", NC_UNLIMITED), x = b.dim("x", x_len), y = b.dim("y", 2);
  const int s = b.dim("string_len", string_len);
  const int values = b.var("values", NC_FLOAT, {grid, x, y});
  const int datim = b.var("datim", NC_CHAR, {grid, s});
  const int vnx = b.var("nx", NC_SHORT, {grid});
  if (grid_type) b.short_att("grid_type", 0);
  b.end();
  b.put_at(values, {0, 0, 0}, {1, x_len, 2}, std::vector<double>(x_len * 2, 1.0));
  b.put_text(datim, {0, 0}, {1, 1}, "x");
  b.put_at(vnx, {0}, {1}, {static_cast<double>(nx)});
}

TEST_F(NetcdfReadTest, DamagedDatasetsAreReportedWithTheirName) {
  const BadDataset cases[] = {
      {"no grid_type", [](NcBuilder &b) { own_dataset(b, 3, 50, false, 3); },
       ": reading the attribute grid_type: NetCDF: Attribute not found\n", -1},
      {"labels shorter than 50", [](NcBuilder &b) { own_dataset(b, 3, 20, true, 3); },
       ": reading variable datim: NetCDF: Start+count exceeds dimension bound\n", 0},
      {"more points than the variable", [](NcBuilder &b) { own_dataset(b, 3, 50, true, 30000); },
       ": a grid of 30000 x 2 points does not fit the values variable of 3 x 2\n", 0},
      {"values of the wrong shape",
       [](NcBuilder &b) {
         const int grid = b.dim("grid", 1), x = b.dim("x", 3);
         b.var("values", NC_FLOAT, {grid, x});
         b.short_att("grid_type", 0);
       },
       ": the variable values is not defined over (grid, x, y)\n", 0},
      {"no values",
       [](NcBuilder &b) {
         b.dim("grid", 4);
         b.short_att("grid_type", 0);
       },
       ": the dataset has a grid dimension but no values variable\n", -1},
  };
  for (const BadDataset &c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file(std::string(c.name) + ".nc");
    {
      NcBuilder b(path);
      c.build(b);
    }
    const auto back = read_grids(path);
    EXPECT_EQ(back.getinfo, c.getinfo);
    EXPECT_TRUE(back.grids.empty());
    const std::string who = c.getinfo == 0 ? "GRD_read: " : "GRD_getinfo: ";
    EXPECT_NE(back.err.find(who), std::string::npos) << back.err;
    EXPECT_NE(back.err.find(path + c.warning), std::string::npos) << back.err;
  }
}

// A file cut short keeps its header: the library would read the missing
// values as zeros, so the file is refused before any grid is read.
TEST_F(NetcdfReadTest, TruncatedFileIsRefused) {
  std::vector<GridRecord> grids = {grid_of(2, -9999, -9999, 0), grid_of(2, -9999, -9999, 1)};
  const std::string path = write_file(grids);
  const long long size = FILE_size(path.c_str());
  ASSERT_EQ(truncate(path.c_str(), size - 40), 0);
  const auto back = read_grids(path);
  EXPECT_EQ(back.getinfo, -1);
  EXPECT_TRUE(back.grids.empty());
  EXPECT_NE(back.err.find("GRD_getinfo: " + path + ": the file holds"), std::string::npos) << back.err;
  EXPECT_NE(back.err.find("it is truncated"), std::string::npos) << back.err;
}

// The library trusts the counts of a header and spends gigabytes on a damaged
// one: a header that declares more than its file holds is not opened.
TEST_F(NetcdfReadTest, HeaderDeclaringMoreThanTheFileIsNotOpened) {
  auto be = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  const std::string absent = be(0) + be(0);
  auto name = [&](char c) { return be(1) + std::string{c, 0, 0, 0}; };  // a one-letter name
  const std::string dim_x = be(0x0A) + be(1) + name('x') + be(3);
  const struct {
    const char *name;
    std::string bytes;
    bool opens;
  } cases[] = {
      {"empty dataset", "CDF\x01" + be(0) + absent + absent + absent, true},
      {"one dimension", "CDF\x01" + be(0) + dim_x + absent + absent, true},
      {"attribute count", "CDF\x01" + be(0) + absent + be(0x0C) + be(0x7fffffff) + absent, false},
      {"dimension count", "CDF\x01" + be(0) + be(0x0A) + be(0x10000000) + absent + absent, false},
      {"name length", "CDF\x01" + be(0) + be(0x0A) + be(1) + be(0xffffff00) + name('x').substr(4) + be(3) + absent + absent,
       false},
      {"attribute values", "CDF\x01" + be(0) + absent + be(0x0C) + be(1) + name('a') + be(NC_DOUBLE) +
                               be(0x20000000) + absent,
       false},
      {"variable over a missing dimension",
       "CDF\x01" + be(0) + dim_x + absent + be(0x0B) + be(1) + name('v') + be(1) + be(7) + absent +
           be(NC_FLOAT) + be(12) + be(200),
       false},
      {"cut short", "CDF\x01" + be(0) + dim_x.substr(0, 10), false},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    int type = GRD_NETCDF;
    const int h = GRD_open(dir.write("h.nc", c.bytes).c_str(), 0, &type);
    EXPECT_EQ(h >= 0, c.opens);
    GRD_close(h);
  }
}

// The program converts a real GRIB file into the netCDF layout, another
// netCDF reader accepts it, and the program reads it back with the same
// header fields and values.
class NetcdfConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    src_ = std::string(KVZ_TESTDATA) + "/generated/gfs_ed1.grib1";
    if (kvztest::read_file(src_).empty()) GTEST_SKIP() << "generated test data not present";
    RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
  }
  kvztest::RunResult run(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/", "-gp", dir.path()});
    return kvztest::run_program(extra, {"kvzdefault=" + dir.path()}, dir.path());
  }
  kvztest::TempDir dir;
  std::string src_;
};

TEST_F(NetcdfConversionTest, GribToNetcdfAndBack) {
  const auto r = run({"-of", "cdf", src_});
  ASSERT_EQ(r.status, 0) << r.err;
  const size_t at = r.out.find("Creating grid file: ");
  ASSERT_NE(at, std::string::npos) << r.out;
  const size_t start = at + strlen("Creating grid file: ");
  const std::string out = r.out.substr(start, r.out.find('\n', start) - start);

  const auto grib = read_grids(src_);
  const auto back = read_grids(out);
  EXPECT_EQ(back.err, "");
  ASSERT_EQ(back.grids.size(), grib.grids.size());
  ASSERT_FALSE(back.grids.empty());
  EXPECT_EQ(back.info.date.year, grib.info.date.year);
  EXPECT_EQ(back.info.date.day, grib.info.date.day);
  for (size_t i = 0; i < back.grids.size(); ++i) {
    SCOPED_TRACE("grid " + std::to_string(i));
    GridRecord want = grib.grids[i];
    // The writer made the labels the listing shows.
    DATE_make_label_for_time(want.time, want.source * 1000 + want.model, &want.base_date, want.datim);
    GRD_make_datatype(&want);
    expect_same_header(back.grids[i], want);
    expect_same_bits(back.grids[i].values, want.values);
  }

  // The program lists the converted file as it lists the GRIB file.
  const auto listed_grib = run({src_});
  const auto listed_nc = run({out});
  ASSERT_EQ(listed_nc.status, 0);
  auto body = [](const std::string &text) { return text.substr(text.find("\n  0: ")); };
  EXPECT_EQ(body(listed_nc.out), body(listed_grib.out));

  // Another netCDF reader sees the records.
  if (system("ncdump -h /dev/null > /dev/null 2>&1") == 127) return;
  FILE *p = popen(("ncdump -h '" + out + "'").c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::string header;
  char buf[4096];
  while (size_t n = fread(buf, 1, sizeof buf, p)) header.append(buf, n);
  EXPECT_EQ(pclose(p), 0);
  EXPECT_NE(header.find("grid = UNLIMITED ; // (" + std::to_string(grib.grids.size()) + " currently)"),
            std::string::npos)
      << header;
}

}  // namespace
