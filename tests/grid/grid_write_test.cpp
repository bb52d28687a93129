// Writing grid files: text grid files with values as text and as binary
// words read back through the text grid reader, the exact layout of a grid
// block, the records and files that are refused, failed writes, and raw GRIB
// copies of real products.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "../test_support.h"
#include "config/config.h"
#include "files/files.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "grid/grid_state.h"

namespace {

// A record with every header field set and values that test the printed
// precision: a missing value, tiny and huge magnitudes, a third.
GridRecord sample_grid(int proj, int nx = 3, int ny = 2) {
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
  copy_text(g.units, "M");
  DOM_init(g.domain);
  g.domain.proj = proj;
  g.domain.clat = 40.5f;
  g.domain.clon = -100.25f;
  g.domain.dx = 1.5f;
  g.domain.dy = 0.75f;
  g.domain.nx = nx;
  g.domain.ny = ny;
  const float pattern[] = {-9999.0f, 1.0f / 3.0f, -1.5e-30f, 3.4e38f, 0.0f, 123456.789f, -2.0f};
  for (int i = 0; i < nx * ny; ++i) g.values.push_back(pattern[i % 7] + (i >= 7 ? static_cast<float>(i) : 0.0f));
  return g;
}

class GridWriteTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int h = 0; h < GRD_MAX_FILES; ++h) GRD_close(h);
  }
  // Creates an output file of the given type and starts it.
  int create(int type, int expect_putinfo = 0) {
    path = dir.file("out" + std::to_string(++files_));
    const int h = GRD_open(path.c_str(), 1, &type);
    EXPECT_GE(h, 0);
    GridFileInfo info{};
    EXPECT_EQ(GRD_putinfo(h, &info), expect_putinfo);
    return h;
  }
  int write(int h, GridRecord &g, int expect = 0) {
    const int rc = GRD_write(h, &g, 0, &count);
    EXPECT_EQ(rc, expect);
    if (rc == 0) ++count;
    return rc;
  }
  // Closes the output and reads every grid of it back with values.
  std::vector<GridRecord> read_back(int h) {
    GRD_close(h);
    int type = 0;
    const int in = GRD_open(path.c_str(), 0, &type);
    EXPECT_GE(in, 0);
    GridFileInfo info{};
    EXPECT_EQ(GRD_getinfo(in, &info), 0);
    std::vector<GridRecord> grids;
    for (int n = 0;; ++n) {
      GridRecord g{};
      GRD_init(&g);
      int number = n;
      if (GRD_read(in, &g, 0, &number) != 0) break;
      grids.push_back(g);
    }
    GRD_close(in);
    return grids;
  }
  kvztest::TempDir dir;
  std::string path;
  int count = 0;
  int files_ = 0;
};

void expect_same_bits(const std::vector<float> &got, const std::vector<float> &want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) EXPECT_EQ(memcmp(&got[i], &want[i], 4), 0) << "value " << i;
}

struct ProjectionCase {
  const char *name;
  int proj;
  float plat, plon, param1;
  const char *line;  // projection line as written
  float read_plat, read_plon;
};

// The value block holds the same bits after the round trip for both value kinds:
// "%14.8e" prints the nine significant digits a float needs.
TEST_F(GridWriteTest, EachProjectionReadsBackThroughTheTextReader) {
  const ProjectionCase cases[] = {
      {"latlon", 2, -9999, -9999, -9999, "LL 40.500000 -100.250000 1.500000 0.750000 3 2", -9999, -100.25f},
      {"polar, plon at the centre", 1, 90, -100.25f, 60, "PS 40.500000 -100.250000 1.500000 0.750000 3 2",
       -9999, -100.25f},
      {"polar, no plon", 1, 90, -9999, 60, "PS 40.500000 -100.250000 1.500000 0.750000 3 2", -9999, -100.25f},
      {"polar, own plon", 1, 90, 105, 60, "PS:105.000000 40.500000 -100.250000 1.500000 0.750000 3 2", -9999,
       105},
      {"mercator", 3, -9999, -9999, -9999, "ME 40.500000 -100.250000 1.500000 0.750000 3 2", -9999, -9999},
      {"lambert, plon only", 4, 30, 25, -9999, "LC:25.000000 40.500000 -100.250000 1.500000 0.750000 3 2", -9999,
       25},
      {"lambert, bare", 4, -9999, -9999, -9999, "LC 40.500000 -100.250000 1.500000 0.750000 3 2", -9999, -9999},
      {"lambert, full", 4, 25, -95, 25,
       "LC:25.000000:-95.000000:25.000000:45.000000:-9999.000000 40.500000 -100.250000 1.500000 0.750000 3 2", 25,
       -95},
  };
  for (const int type : {GRD_KVZGRID, GRD_KVZGRID_BIN}) {
    for (const ProjectionCase &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (type == GRD_KVZGRID ? " as text" : " as binary"));
      GridRecord g = sample_grid(c.proj);
      g.version = type;  // see BinaryFileOfGribEditionsReadsBack for other versions
      g.domain.plat = c.plat;
      g.domain.plon = c.plon;
      g.domain.param1 = c.param1;
      if (c.param1 != -9999.0f) g.domain.param2 = 45;
      const int h = create(type);
      write(h, g);
      EXPECT_NE(kvztest::read_file(path).find(std::string("\n") + c.line + "\n"), std::string::npos);
      const auto back = read_back(h);
      ASSERT_EQ(back.size(), 1u);
      const GridRecord &r = back[0];
      EXPECT_STREQ(r.datim, g.datim);
      EXPECT_STREQ(r.info, g.info);
      EXPECT_STREQ(r.units, "M");
      EXPECT_EQ((std::vector<int>{r.source, r.version, r.model, r.type, r.ltype, r.level, r.time, r.var}),
                (std::vector<int>{7, type, 96, 211, 100, 500, 12, 7}));
      EXPECT_EQ(r.domain.proj, c.proj);
      EXPECT_EQ(r.domain.plat, c.read_plat);
      EXPECT_EQ(r.domain.plon, c.read_plon);
      EXPECT_EQ((std::vector<float>{r.domain.clat, r.domain.clon, r.domain.dx, r.domain.dy}),
                (std::vector<float>{40.5f, -100.25f, 1.5f, 0.75f}));
      EXPECT_EQ(r.domain.nx, 3);
      EXPECT_EQ(r.domain.ny, 2);
      expect_same_bits(r.values, g.values);
    }
  }
}

TEST_F(GridWriteTest, TextFileLayoutIsExact) {
  GridRecord g = sample_grid(2, 2, 1);
  g.version = 2;
  g.values = {1.0f, -9999.0f};
  copy_text(g.units, "M S-1");
  const int h = create(GRD_KVZGRID);
  write(h, g);
  GRD_close(h);
  EXPECT_EQ(kvztest::read_file(path),
            "KVZGRID\n"
            "12Z 10 JAN 12\n"
            "2-500 MB HEIGHT\n"
            "7 2 96 211 100 500 12 7:M_S-1\n"
            "LL 40.500000 -100.250000 1.500000 0.750000 2 1\n"
            "1.00000000e+00\n"
            "-9.99900000e+03\n");
  EXPECT_STREQ(g.units, "M_S-1");  // the record is changed as well
}

TEST_F(GridWriteTest, BinaryValuesAreBigEndianWordsAfterTheProjectionLine) {
  GridRecord g = sample_grid(2, 2, 1);
  g.version = 3;
  g.units[0] = '\0';
  g.values = {1.0f, -2.0f};
  const int h = create(GRD_KVZGRID_BIN);
  write(h, g);
  GRD_close(h);
  const std::string head =
      "KVZGRID\n12Z 10 JAN 12\n3-500 MB HEIGHT\n7 3 96 211 100 500 12 7\n"
      "LL 40.500000 -100.250000 1.500000 0.750000 2 1\n";
  EXPECT_EQ(kvztest::read_file(path), head + std::string("\x3F\x80\x00\x00\xC0\x00\x00\x00\n", 9));
}

// Grids converted from GRIB carry the edition in `version`; the value block
// follows the file's own kind whatever that number is.
TEST_F(GridWriteTest, BinaryFileOfGribEditionsReadsBack) {
  for (const int type : {GRD_KVZGRID, GRD_KVZGRID_BIN}) {
    const int h = create(type);
    std::vector<GridRecord> written;
    for (const int version : {1, 2, 3}) {
      written.push_back(sample_grid(1, 4, 3));
      written.back().version = version;
      write(h, written.back());
    }
    const auto back = read_back(h);
    ASSERT_EQ(back.size(), written.size()) << "type " << type;
    for (size_t i = 0; i < back.size(); ++i) {
      EXPECT_EQ(back[i].version, written[i].version);
      expect_same_bits(back[i].values, written[i].values);
    }
  }
}

TEST_F(GridWriteTest, LabelsAreMadeWhenEmptyAndKeptOnOneLine) {
  RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
  GridRecord a = sample_grid(2);
  a.version = 2;
  a.datim[0] = a.info[0] = '\0';  // a values read empties the labels
  GridRecord b = sample_grid(3);
  b.version = 2;
  copy_text(b.datim, "line\nbreak");
  copy_text(b.info, "   ");
  const int h = create(GRD_KVZGRID);
  write(h, a);
  write(h, b);
  EXPECT_STRNE(a.info, "");
  EXPECT_STRNE(a.datim, "");
  const auto back = read_back(h);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_STREQ(back[0].info, a.info);
  EXPECT_STREQ(back[0].datim, a.datim);
  EXPECT_EQ(back[0].version, 2);
  EXPECT_STREQ(back[1].datim, "line break");
  EXPECT_EQ(back[1].version, 2);
  EXPECT_EQ(back[1].domain.proj, 3);
  expect_same_bits(back[1].values, b.values);
}

TEST_F(GridWriteTest, ValueFormatOfTheGridState) {
  GridRecord g = sample_grid(2, 2, 1);
  g.values = {1.25f, -3.5f};
  copy_text(grid_state().format, "%8.3f");
  int h = create(GRD_KVZGRID);
  write(h, g);
  GRD_close(h);
  EXPECT_NE(kvztest::read_file(path).find("\n   1.250\n  -3.500\n"), std::string::npos);

  // A format that does not print one number alone is not used.
  for (const char *bad : {"%s", "%d", "x%e", "%e%e", "%999e", "%n"}) {
    copy_text(grid_state().format, bad);
    testing::internal::CaptureStderr();
    h = create(GRD_KVZGRID);
    write(h, g);
    GRD_close(h);
    testing::internal::GetCapturedStderr();
    EXPECT_NE(kvztest::read_file(path).find("\n1.25000000e+00\n"), std::string::npos) << bad;
  }
}

TEST_F(GridWriteTest, GridWithoutTextProjectionIsSkippedWithOneWarning) {
  const int h = create(GRD_KVZGRID);
  GridRecord other = sample_grid(5);
  GridRecord none = sample_grid(-9999);
  GridRecord ll = sample_grid(2);
  testing::internal::CaptureStderr();
  write(h, other, 1);
  write(h, none, 1);
  write(h, ll, 0);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(err, "GRD_write: Grids of projection 5 cannot be written to a text grid file; skipped\n");
  EXPECT_EQ(read_back(h).size(), 1u);
}

TEST_F(GridWriteTest, RefusedRecordsAndFilesWriteNothing) {
  GridRecord ok = sample_grid(2);
  GridRecord no_values = sample_grid(2);
  no_values.values.clear();
  GridRecord short_values = sample_grid(2);
  short_values.values.pop_back();
  GridRecord no_size = sample_grid(2, 0, 0);
  no_size.values = {1.0f};
  for (const int type : {GRD_KVZGRID, GRD_KVZGRID_BIN}) {
    const int h = create(type);
    for (GridRecord *g : {&no_values, &short_values, &no_size}) write(h, *g, -1);
    EXPECT_EQ(GRD_write(h, nullptr, 0, &count), -1);
    GRD_close(h);
    EXPECT_EQ(kvztest::read_file(path), "KVZGRID\n");
  }
  // Kinds that cannot be written: nothing at the start (types 1 and 22) or a refusal (type 4).
  const int expect_putinfo[][2] = {{GRD_TEXT, 0}, {GRD_BULLETIN, 0}, {GRD_KVZGRID4, -1}};
  for (const auto &t : expect_putinfo) {
    const int h = create(t[0], t[1]);
    write(h, ok, -1);
    GRD_close(h);
    EXPECT_EQ(kvztest::read_file(path), "") << "type " << t[0];
  }
  GridFileInfo info{};
  EXPECT_EQ(GRD_putinfo(15, &info), -1);
  EXPECT_EQ(GRD_putinfo(3, &info), -1);  // no file open there
  EXPECT_EQ(GRD_write(15, &ok, 0, &count), -1);
  EXPECT_EQ(GRD_write(-1, &ok, 0, &count), -1);
}

TEST_F(GridWriteTest, FailedWriteIsReportedOnceWithTheFileName) {
  int type = GRD_KVZGRID_BIN;
  const int h = GRD_open("/dev/full", 1, &type);
  if (h < 0) GTEST_SKIP() << "/dev/full not available";
  GRD_set_out_name(h, "/dev/full");
  GridRecord g = sample_grid(2, 100, 100);
  GridFileInfo info{};
  testing::internal::CaptureStderr();
  EXPECT_EQ(GRD_putinfo(h, &info), -1);
  EXPECT_EQ(GRD_write_failed(h), 1);
  EXPECT_EQ(GRD_write(h, &g, 0, &count), -1);
  EXPECT_EQ(GRD_write(h, &g, 0, &count), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "GRD_putinfo: Unable to write to grid file: /dev/full\n");

  // Without a name given, the name of the open stream is reported.
  GRD_close(h);
  type = GRD_GRIB;
  const int again = GRD_open("/dev/full", 1, &type);
  ASSERT_GE(again, 0);
  g.raw.assign(100000, 'x');
  testing::internal::CaptureStderr();
  EXPECT_EQ(GRD_putinfo(again, &info), 0);  // a raw copy starts with nothing
  EXPECT_EQ(GRD_write(again, &g, 0, &count), -1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "GRD_write: Unable to write to grid file: /dev/full\n");
}

// The grids of a real GRIB file taken as the grid loop takes them: listed
// with a header read, then copied raw or read with values, and written.
class GribOutputTest : public GridWriteTest, public ::testing::WithParamInterface<const char *> {
 protected:
  // Writes every grid of the sample to the output; false when the sample is missing.
  template <typename Convert>
  bool convert_sample(int out, Convert convert) {
    const std::string sample = kvztest::sample_file(GetParam());
    if (sample.empty()) return false;
    RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
    int type = GRD_GRIB;
    const int in = GRD_open(sample.c_str(), 0, &type);
    EXPECT_GE(in, 0);
    GridFileInfo info{};
    EXPECT_EQ(GRD_getinfo(in, &info), 0);
    for (int n = 0;; ++n) {
      GridRecord g{};
      GRD_init(&g);
      int number = n;
      if (GRD_read(in, &g, 1, &number) != 0) break;
      convert(in, g, number);
      GRD_write(out, &g, 0, &count);
      ++count;
    }
    GRD_close(in);
    return true;
  }
};

class GribRawCopyTest : public GribOutputTest {};
class GribConversionTest : public GribOutputTest {};

// The copy holds the file's products byte for byte, one after the other.
TEST_P(GribRawCopyTest, CopyHoldsTheProductsUnchanged) {
  const int out = create(GRD_GRIB);
  int64_t copied = 0;
  const bool have = convert_sample(out, [&](int in, GridRecord &g, int) {
    int64_t len = 0;
    EXPECT_GT(GRIB_get_raw(in, &g.raw, &len), 0);
    g.source = static_cast<int32_t>(len);
    copied += len;
  });
  if (!have) GTEST_SKIP() << "sample not installed";
  GRD_close(out);
  const std::string original = kvztest::read_file(kvztest::sample_file(GetParam()));
  const std::string copy = kvztest::read_file(path);
  ASSERT_GT(copy.size(), 4u);
  EXPECT_EQ(static_cast<int64_t>(copy.size()), copied);
  EXPECT_TRUE(copy == original.substr(0, copy.size())) << "the copy differs from the products";
  EXPECT_EQ(copy.substr(copy.size() - 4), "7777");
  EXPECT_EQ(original.find("GRIB", copy.size()), std::string::npos) << "a product was not copied";
}

// Decoded grids written as text or binary words read back with the same bits.
TEST_P(GribConversionTest, DecodedGridsReadBackUnchanged) {
  for (const int type : {GRD_KVZGRID, GRD_KVZGRID_BIN}) {
    SCOPED_TRACE(type == GRD_KVZGRID ? "as text" : "as binary");
    const int out = create(type);
    std::vector<GridRecord> written;
    const bool have = convert_sample(out, [&](int in, GridRecord &g, int number) {
      EXPECT_EQ(GRD_read(in, &g, 0, &number), 0);
      if (g.domain.proj >= 1 && g.domain.proj <= 4) written.push_back(g);
    });
    if (!have) GTEST_SKIP() << "sample not installed";
    ASSERT_FALSE(written.empty());
    const auto back = read_back(out);
    ASSERT_EQ(back.size(), written.size());
    for (size_t i = 0; i < back.size(); ++i) {
      SCOPED_TRACE("grid " + std::to_string(i));
      EXPECT_STREQ(back[i].info, written[i].info);
      EXPECT_EQ(back[i].var, written[i].var);
      EXPECT_EQ(back[i].version, written[i].version);
      EXPECT_EQ(back[i].domain.proj, written[i].domain.proj);
      EXPECT_EQ(back[i].domain.nx, written[i].domain.nx);
      expect_same_bits(back[i].values, written[i].values);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, GribRawCopyTest,
                         ::testing::Values("ngm.grb", "regular_latlon_surface.grib1", "spherical_pressure_level.grib1",
                                           "regular_latlon_surface.grib2"));
INSTANTIATE_TEST_SUITE_P(Samples, GribConversionTest,
                         ::testing::Values("ngm.grb", "regular_latlon_surface.grib1", "eta.grb"));

TEST_F(GridWriteTest, RawCopyWritesTheBytesAsTheyAre) {
  const int h = create(GRD_GRIB);
  GridRecord g = sample_grid(2);
  const std::string bytes("GRIB\0\x01\x02\n\r 7777", 15);
  g.raw.assign(bytes.begin(), bytes.end());
  write(h, g);
  write(h, g);
  GridRecord empty = sample_grid(2);  // values alone are no product
  write(h, empty, -1);
  GRD_close(h);
  EXPECT_EQ(kvztest::read_file(path), bytes + bytes);
}

}  // namespace
