// Reading the package's text grid files of each kind, and the key numbers of
// header (index) file lines.
#include <gtest/gtest.h>

#include <cstring>

#include "../test_support.h"
#include "grid/grid.h"
#include "grid/grid_state.h"

namespace {

class TextGridTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int h = 0; h < GRD_MAX_FILES; ++h) GRD_close(h);
  }
  // Opens a file written with the given content and reads its file information.
  int open(const std::string &content, GridFileInfo *info = nullptr) {
    GridFileInfo scratch{};
    int type = 0;
    const int h = GRD_open(dir.write("g" + std::to_string(n_++), content).c_str(), 0, &type);
    EXPECT_GE(h, 0);
    GRD_getinfo(h, info ? info : &scratch);
    return h;
  }
  GridRecord read(int h, int n, int mode = 0, int expect = 0) {
    GridRecord g{};
    GRD_init(&g);
    int number = n;
    EXPECT_EQ(GRD_read(h, &g, mode, &number), expect) << "grid " << n;
    return g;
  }
  kvztest::TempDir dir;
  int n_ = 0;
};

const char *kThreeGrids =
    "12Z 10 JAN 12\n"
    "500mb height\n"
    "LL 40.0 -100.0 1.0 1.0 3 2\n"
    "1 2 3\n4 5 6\n"
    "12Z 10 JAN 12\n"
    "2-500mb temperature\n"
    "7 2 96 211 100 500 12 11:K\n"
    "PS:-105 45.0 -100.0 1.5 1.5 2 2\n"
    "7 8\n9 10\n"
    "18Z 10 JAN 12\n"
    "1-old style\n"
    "50.0 100.0 2.0 2 1\n"
    "-1 -2\n";

TEST_F(TextGridTest, ReadsEachGridOfAPlainFile) {
  GridFileInfo info{};
  const int h = open(kThreeGrids, &info);
  EXPECT_STREQ(info.label, "12Z 10 JAN 12");
  EXPECT_EQ(info.date.year, 2012);
  EXPECT_EQ(info.date.hour, 12);

  GridRecord g = read(h, 0);
  EXPECT_STREQ(g.datim, "12Z 10 JAN 12");
  EXPECT_STREQ(g.info, "500mb height");
  EXPECT_EQ(g.version, 0);
  EXPECT_EQ(g.source, 1);
  EXPECT_EQ(g.domain.proj, 2);
  EXPECT_FLOAT_EQ(g.domain.plon, -100.0f);  // a missing plon takes the centre longitude
  EXPECT_EQ(g.domain.nx, 3);
  EXPECT_EQ(g.values, (std::vector<float>{1, 2, 3, 4, 5, 6}));

  g = read(h, 1);
  EXPECT_STREQ(g.info, "500mb temperature");
  EXPECT_EQ(g.version, 2);
  EXPECT_EQ(g.source, 7);
  EXPECT_EQ(g.model, 96);
  EXPECT_EQ(g.type, 211);
  EXPECT_EQ(g.ltype, 100);
  EXPECT_EQ(g.level, 500);
  EXPECT_EQ(g.time, 12);
  EXPECT_EQ(g.var, 11);
  EXPECT_STREQ(g.units, "K");
  EXPECT_EQ(g.domain.proj, 1);
  EXPECT_FLOAT_EQ(g.domain.plon, -105.0f);
  EXPECT_EQ(g.values, (std::vector<float>{7, 8, 9, 10}));

  g = read(h, 2);
  EXPECT_EQ(g.version, 1);
  EXPECT_EQ(g.domain.proj, 1);  // a number as first token: polar stereographic, dy = dx
  EXPECT_FLOAT_EQ(g.domain.clat, 50.0f);
  EXPECT_FLOAT_EQ(g.domain.clon, -100.0f);  // west-positive longitudes of the old version
  EXPECT_FLOAT_EQ(g.domain.dy, 2.0f);
  EXPECT_EQ(g.values, (std::vector<float>{-1, -2}));

  read(h, 3, 1, -1);
  EXPECT_EQ(read(h, 0, 1).domain.nx, 3);  // asking for an earlier grid rewinds
  EXPECT_STREQ(read(h, 2, 1).info, "old style");  // and grids ahead are passed over
  EXPECT_STREQ(read(h, 2, 0).info, "old style");  // the same number reads the same grid again
}

TEST_F(TextGridTest, MagicLinesProjectionsAndUnits) {
  const int h = open(
      "KVZGRID\n12Z 10 JAN 12\nlambert\n:m LC:25 35.0 -95.0 0.5 0.5 2 1\n1 2\n"
      "12Z 10 JAN 12\nlambert two\nLC:25:-95:25:25:1 35.0 -95.0 0.5 0.5 1 1\n3\n"
      "12Z 10 JAN 12\nmercator\nME 0.0 0.0 1.0 1.0 1 1\n4\n");
  GridRecord g = read(h, 0);
  EXPECT_EQ(g.domain.proj, 4);
  EXPECT_FLOAT_EQ(g.domain.plon, 25.0f);
  EXPECT_FLOAT_EQ(g.domain.plat, -9999.0f);
  EXPECT_STREQ(g.units, "m");
  g = read(h, 1);
  EXPECT_FLOAT_EQ(g.domain.plat, 25.0f);
  EXPECT_FLOAT_EQ(g.domain.plon, -95.0f);
  EXPECT_FLOAT_EQ(g.domain.param3, 1.0f);
  EXPECT_EQ(read(h, 2).domain.proj, 3);
  GRD_rewind(h);
  EXPECT_STREQ(read(h, 0, 1).info, "lambert");
}

std::string be_float(float f) {
  unsigned char b[4];
  uint32_t u;
  memcpy(&u, &f, 4);
  for (int i = 0; i < 4; ++i) b[i] = static_cast<unsigned char>(u >> (24 - 8 * i));
  return std::string(reinterpret_cast<char *>(b), 4);
}

TEST_F(TextGridTest, BinaryValuesSurviveBytesThatLookLikeWhiteSpace) {
  // 0x20000000 and 0x0A0B0C0D start with a blank and a line feed.
  float tricky, newline;
  uint32_t a = 0x20000000, b = 0x0A0B0C0D;
  memcpy(&tricky, &a, 4);
  memcpy(&newline, &b, 4);
  const std::string body = "12Z 10 JAN 12\n3-binary\n7 3 96 211 100 500 12 11:K\nLL 40.0 -100.0 1.0 1.0 2 1\n" +
                           be_float(tricky) + be_float(newline) + "\n";
  const int h = open("KVZGRID\n" + body + body);
  GridRecord g = read(h, 0);
  ASSERT_EQ(g.values.size(), 2u);
  EXPECT_EQ(memcmp(&g.values[0], &tricky, 4), 0);
  EXPECT_EQ(memcmp(&g.values[1], &newline, 4), 0);
  EXPECT_EQ(read(h, 1, 1).version, 3);  // the header-only pass steps over the words
  EXPECT_EQ(read(h, 1).values.size(), 2u);
}

TEST_F(TextGridTest, DomainTextFilesAndBinaryFlag) {
  const int h = open("KVZGRID4\n12Z 10 JAN 12\nheight\nps,40,-100,2,2,1.2,1.2\n1 2\n3 4\n");
  GridRecord g = read(h, 0);
  EXPECT_EQ(g.domain.proj, 1);
  EXPECT_EQ(g.domain.nx, 2);
  EXPECT_EQ(g.values, (std::vector<float>{1, 2, 3, 4}));
  const int b = open("KVZGRID4B\n12Z 10 JAN 12\nheight\n7 3 96 211 100 500 12 11:K\nps,40,-100,1,1,1.2,1.2\n" +
                     be_float(2.5f) + "\n");
  EXPECT_EQ(GRD_get_gfile(b)->subtype, 3);
  EXPECT_EQ(read(b, 0).values, std::vector<float>{2.5f});
}

TEST_F(TextGridTest, ValuesInAnotherFile) {
  const std::string vals = dir.write("vals.txt", "skip 1 2 3 4 5 6");
  const int h = open("12Z 10 JAN 12\n4-elsewhere\n7 4 96 211 100 500 12 11:K\nLL 40 -100 1 1 3 2\nA " + vals +
                     " 4 -1 -1\n12Z 10 JAN 12\nnext\nLL 40 -100 1 1 1 1\n9\n");
  // Rows last first and values last first within a row.
  EXPECT_EQ(read(h, 0).values, (std::vector<float>{6, 5, 4, 3, 2, 1}));
  EXPECT_STREQ(read(h, 1, 1).info, "next");  // the header-only pass steps over the reference line
  // The size is bounded by the file holding the values, not the grid file.
  std::string many;
  for (int i = 0; i < 400; ++i) many += std::to_string(i) + " ";
  const std::string big = dir.write("big.txt", many);
  const int b = open("12Z 10 JAN 12\n4-elsewhere\n7 4 96 211 100 500 12 11:K\nLL 40 -100 1 1 20 20\nA " + big +
                     " 0 1 1\n");
  const GridRecord g = read(b, 0);
  ASSERT_EQ(g.values.size(), 400u);
  EXPECT_EQ(g.values[399], 399.0f);
  const int small = open("12Z 10 JAN 12\n4-elsewhere\n7 4 96 211 100 500 12 11:K\nLL 40 -100 1 1 100 100\nA " +
                         big + " 0 1 1\n");
  testing::internal::CaptureStderr();
  read(small, 0, 0, -1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("too short for its values"), std::string::npos);
  const int m = open("12Z 10 JAN 12\n4-elsewhere\n7 4 96 211 100 500 12 11:K\nLL 40 -100 1 1 1 1\nA " +
                     dir.file("gone") + " 0 1 1\n");
  testing::internal::CaptureStderr();
  read(m, 0, 0, -1);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("GRD_read: Unable to open grid file: "), std::string::npos);
}

TEST_F(TextGridTest, DamagedFilesEndCleanly) {
  const int cut = open("12Z 10 JAN 12\n");
  read(cut, 0, 1, -1);
  // A grid size far beyond what the file holds is refused before any allocation.
  const int huge = open("12Z 10 JAN 12\nx\nLL 40 -100 1 1 100000 100000\n1 2 3\n");
  read(huge, 0, 0, -1);
  const int negative = open("12Z 10 JAN 12\nx\nLL 40 -100 1 1 -3 2\n1 2 3\n");
  read(negative, 0, 0, -1);
}

TEST(HeaderLineTest, KeyNumberForms) {
  const struct {
    const char *line;
    bool ok;
    int source, model, type, time, ltype, level, var;
  } cases[] = {
      {"/  96 211      12 100     500   7", true, 0, 96, 211, 12, 100, 500, 7},
      {"GRIB01 KXXX 010000 / 98:96 211      12 100     500   7", true, 98, 96, 211, 12, 100, 500, 7},
      {"HTXA50 KWBC 101200 / GRIB 12 S7 M96 G211 T12 L100 H500 V7 X3", true, 7, 96, 211, 12, 100, 500, 7},
      {"no keys here", false, 0, 0, 0, -9999, -9999, -9999, -9999},
  };
  for (const auto &c : cases) {
    GridRecord g{};
    GRD_init(&g);
    EXPECT_EQ(grid_header_keys(c.line, &g), c.ok) << c.line;
    EXPECT_EQ(g.source, c.source) << c.line;
    EXPECT_EQ(g.model, c.model) << c.line;
    EXPECT_EQ(g.type, c.type) << c.line;
    EXPECT_EQ(g.time, c.time) << c.line;
    EXPECT_EQ(g.ltype, c.ltype) << c.line;
    EXPECT_EQ(g.level, c.level) << c.line;
    EXPECT_EQ(g.var, c.var) << c.line;
  }
}

}  // namespace
