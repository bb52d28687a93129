// The grid record, the table of open grid files, type detection, opening,
// positioning and header files.
#include <gtest/gtest.h>

#include <cstring>

#include "../test_support.h"
#include "grid/grid.h"

namespace {

class GridTableTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int h = 0; h < GRD_MAX_FILES; ++h) GRD_close(h);
    GRD_use_hdr_file(1);
  }
  kvztest::TempDir dir;
};

std::string with_prefix(size_t n, const char *fill) {
  std::string s;
  while (s.size() < n) s += fill;
  s.resize(n);
  return s;
}

TEST_F(GridTableTest, DetectsTheKindFromTheFirstBytes) {
  const struct { std::string content; int type; } cases[] = {
      {"KVZGRID4B\nrest", 4},
      {"KVZGRID\nrest", 2},
      {" 12 34\n", 1},
      {"\n\n", -1},
      {"0512 label\n", 1},
      {std::string("CDF\x01", 4), 11},
      {"GRIB....", 21},
      {"****0000010183**", 21},
      {std::string("\x01\r\r\n123 \r\r\nGRIB"), 21},
      {"GRID 123", 22},
      {with_prefix(150, "text ") + "GRIB", 21},
      {with_prefix(196, "text ") + "GRIB", 21},
      {with_prefix(197, "text ") + "GRIB", -1},
      {with_prefix(198, "text ") + "GRIB", -1},
      {"grib lower case", -1},
      {"", -1},
  };
  int i = 0;
  for (const auto &c : cases) {
    const std::string p = dir.write("f" + std::to_string(i++), c.content);
    EXPECT_EQ(GRD_chktype(p.c_str()), c.type) << c.content.substr(0, 12);
  }
  EXPECT_EQ(GRD_chktype(dir.file("missing").c_str()), -1);
}

TEST_F(GridTableTest, OpensInTheLowestFreeSlot) {
  const std::string p = dir.write("a.grb", "GRIB");
  int handles[GRD_MAX_FILES];
  for (int i = 0; i < GRD_MAX_FILES; ++i) {
    int type = 0;
    handles[i] = GRD_open(p.c_str(), 0, &type);
    EXPECT_EQ(handles[i], i);
    EXPECT_EQ(type, GRD_GRIB);
  }
  int type = 0;
  EXPECT_EQ(GRD_open(p.c_str(), 0, &type), -1);  // the sixteenth
  EXPECT_EQ(GRD_close(3), 0);
  EXPECT_EQ(GRD_get_gfile(3), nullptr);
  type = 0;
  EXPECT_EQ(GRD_open(p.c_str(), 0, &type), 3);
  EXPECT_EQ(GRD_close(15), -1);
  EXPECT_EQ(GRD_close(-1), -1);
  EXPECT_EQ(GRD_rewind(15), -1);
}

TEST_F(GridTableTest, OpenFailures) {
  int type = 0;
  EXPECT_EQ(GRD_open(dir.file("missing").c_str(), 0, &type), -1);
  type = 0;
  EXPECT_EQ(GRD_open(dir.file("new").c_str(), 1, &type), -1);  // nothing to detect when writing
  type = 99;
  EXPECT_EQ(GRD_open(dir.write("x", "GRIB").c_str(), 0, &type), -1);
  type = GRD_GRIB;
  EXPECT_EQ(GRD_open(dir.write("y", "GRIB").c_str(), 2, &type), -1);
  type = 0;
  EXPECT_EQ(GRD_open(dir.write("notes", "hello").c_str(), 0, &type), -1);
  EXPECT_EQ(GRD_get_gfile(0), nullptr);
}

TEST_F(GridTableTest, StandardStreams) {
  int type = 0;
  const int h = GRD_open("-", 0, &type);
  ASSERT_EQ(h, 0);
  EXPECT_EQ(type, GRD_KVZGRID);
  EXPECT_EQ(GRD_get_gfile(h)->fp, stdin);
  type = GRD_GRIB;
  const int g = GRD_open("", 0, &type);
  EXPECT_EQ(type, GRD_GRIB);
  EXPECT_EQ(GRD_rewind(g), 0);
  EXPECT_EQ(GRD_close(h), 0);
  EXPECT_EQ(GRD_close(g), 0);
  EXPECT_NE(fileno(stdin), -1);  // closing never closes the standard streams
}

TEST_F(GridTableTest, WritesStreamsAndNetcdf) {
  int type = GRD_KVZGRID;
  const std::string p = dir.file("sub/out.grd");
  const int h = GRD_open(p.c_str(), 1, &type);
  ASSERT_GE(h, 0);
  fputs("KVZGRID\n", GRD_get_gfile(h)->fp);
  GRD_close(h);
  EXPECT_EQ(kvztest::read_file(p), "KVZGRID\n");
  type = GRD_NETCDF;
  const std::string nc = dir.file("out.nc");
  const int n = GRD_open(nc.c_str(), 1, &type);
  ASSERT_GE(n, 0);
  EXPECT_EQ(GRD_get_gfile(n)->fp, nullptr);
  EXPECT_EQ(GRD_close(n), 0);
  type = 0;
  const int r = GRD_open(nc.c_str(), 0, &type);
  EXPECT_EQ(type, GRD_NETCDF);
  EXPECT_GE(GRD_get_gfile(r)->ncid, 0);
  // A damaged dataset fails to open and leaves no slot behind.
  type = GRD_NETCDF;
  EXPECT_EQ(GRD_open(dir.write("bad.nc", "CDF\x01").c_str(), 0, &type), -1);
}

TEST_F(GridTableTest, RewindSkipsTheMagicLine) {
  int type = 0;
  const int h = GRD_open(dir.write("g.grd", "KVZGRID\nfirst line\n").c_str(), 0, &type);
  GridFile *f = GRD_get_gfile(h);
  char line[40];
  ASSERT_TRUE(fgets(line, sizeof line, f->fp));
  ASSERT_TRUE(fgets(line, sizeof line, f->fp));
  f->cur_grid = 4;
  GRD_rewind(h);
  EXPECT_EQ(f->cur_grid, 0);
  ASSERT_TRUE(fgets(line, sizeof line, f->fp));
  EXPECT_STREQ(line, "first line\n");
  // Positioning applies to GRIB files only.
  EXPECT_EQ(GRD_setpos(h, 3, 7), 1);
  EXPECT_EQ(f->cur_grid, 0);
}

TEST_F(GridTableTest, SetposAndHeaderPeek) {
  std::string bytes = "noise GRIB";
  for (int i = 0; i < 300; ++i) bytes += static_cast<char>(i);
  int type = 0;
  const int h = GRD_open(dir.write("p.grb", bytes).c_str(), 0, &type);
  GridFile *f = GRD_get_gfile(h);
  GRD_rewind(h);  // the grid read last is now the first
  EXPECT_EQ(GRD_setpos(h, 6, 5), 1);
  EXPECT_EQ(f->cur_grid, 5);
  EXPECT_EQ(ftello(f->fp), 6);
  EXPECT_EQ(GRD_get_pos(h), 0);
  unsigned char buf[160];
  memset(buf, 0xEE, sizeof buf);
  GRD_get_header(h, buf);  // from cur_pos 0, the position put back
  EXPECT_EQ(memcmp(buf, "noise GRIB", 10), 0);
  EXPECT_EQ(buf[159], 149);
  EXPECT_EQ(ftello(f->fp), 0);
}

TEST_F(GridTableTest, HeaderFilesOnlyForGrib) {
  const std::string hdr = dir.write("a.hdr", "      0 / 1 2 3 4 5 6\n");
  int type = 0;
  const int g = GRD_open(dir.write("a.grb", "GRIB").c_str(), 0, &type);
  type = 0;
  const int t = GRD_open(dir.write("a.grd", "KVZGRID\n").c_str(), 0, &type);
  EXPECT_EQ(GRD_hdr_open(t, hdr.c_str()), -1);
  EXPECT_EQ(GRD_hdr_open(g, ""), -1);
  EXPECT_EQ(GRD_hdr_open(g, dir.file("none.hdr").c_str()), -1);
  GRD_use_hdr_file(0);
  EXPECT_EQ(GRD_hdr_open(g, hdr.c_str()), -1);
  GRD_use_hdr_file(1);
  EXPECT_EQ(GRD_hdr_open(g, hdr.c_str()), 0);
  EXPECT_NE(GRD_get_gfile(g)->hdr_fp, nullptr);
  GRD_use_hdr_file(0);  // a header file already open stays in use
  EXPECT_NE(GRD_get_gfile(g)->hdr_fp, nullptr);
}

TEST_F(GridTableTest, InitResetsKeysAndKeepsTheRest) {
  GridRecord g{};
  g.version = 2;
  g.units[0] = 'K';
  g.domain.nx = 3;
  g.values.assign(6, 1.0f);
  g.var = 11;
  strcpy(g.info, "x");
  GRD_init(&g);
  EXPECT_EQ(g.type, 0);
  EXPECT_EQ(g.source, 0);
  EXPECT_EQ(g.model, 0);
  EXPECT_EQ(g.ltype, -9999);
  EXPECT_EQ(g.level, -9999);
  EXPECT_EQ(g.time, -9999);
  EXPECT_EQ(g.var, -9999);
  EXPECT_STREQ(g.info, "");
  EXPECT_TRUE(g.values.empty());
  EXPECT_EQ(g.version, 2);
  EXPECT_EQ(g.units[0], 'K');
  EXPECT_EQ(g.domain.nx, 3);
}

}  // namespace
