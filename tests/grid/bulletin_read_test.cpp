// Reading files of GRID code bulletins: header groups, each value form (sign
// conventions, digit counts, scale and reference, single-value rows, wind
// pairs), positioning and re-reading, damaged bulletins, and the program's
// listing and conversion of such a file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "../test_support.h"
#include "grid/grid.h"
#include "grid/grid_state.h"

namespace {

constexpr int kNx = 19, kNy = 15;

// Rows of a bulletin: row token, a passed-over token, then 19 values of
// `width` digits made by `value` (bulletin row, column) and joined by blanks.
std::string rows(int width, const std::function<int(int, int)> &value) {
  std::string text;
  char buf[16];
  for (int r = 0; r < kNy; ++r) {
    snprintf(buf, sizeof buf, "%03d 000", r + 1);
    text += buf;
    for (int c = 0; c < kNx; ++c) {
      snprintf(buf, sizeof buf, " %0*d", width, value(r, c));
      text += buf;
    }
    text += "\n";
  }
  return text;
}

// One bulletin: the identification, the header groups, the section token, the data groups and the rows.
std::string bulletin(const std::string &id, const std::string &groups, const std::string &data,
                     const std::string &body) {
  return "GRID " + id + " 00000 11111\n" + groups + "\nSECT\n" + data + "\n" + body + "NNNN\n";
}

// Quadrant 1, 850 mb height, 12Z 10 JAN 12 plus 24 hours; values v*0.1 + 100.
const std::string kHeight =
    bulletin("07001", "107 285 61201 71012 8/024 00000", "10000 23000 31000 1000",
             rows(3, [](int r, int c) { return r * 19 + c; }));

class BulletinTest : public ::testing::Test {
 protected:
  void TearDown() override {
    for (int h = 0; h < GRD_MAX_FILES; ++h) GRD_close(h);
  }
  int open(const std::string &content, GridFileInfo *info = nullptr) {
    GridFileInfo scratch{};
    int type = 0;
    const int h = GRD_open(dir.write("b" + std::to_string(n_++) + ".grid", content).c_str(), 0, &type);
    EXPECT_EQ(type, GRD_BULLETIN);
    EXPECT_EQ(GRD_getinfo(h, info ? info : &scratch), 0);
    return h;
  }
  GridRecord read(int h, int n, int mode = 0, int expect = 0) {
    GridRecord g{};
    GRD_init(&g);
    int number = n;
    EXPECT_EQ(GRD_read(h, &g, mode, &number), expect) << "grid " << n;
    return g;
  }
  // Every grid of a file with values, and the warnings the reading gave.
  std::vector<GridRecord> read_all(const std::string &content, std::string *warnings) {
    testing::internal::CaptureStderr();
    const int h = open(content);
    std::vector<GridRecord> grids;
    for (int n = 0; n < 20; ++n) {
      GridRecord g{};
      GRD_init(&g);
      int number = n;
      if (GRD_read(h, &g, 0, &number) != 0) break;
      grids.push_back(g);
    }
    *warnings = testing::internal::GetCapturedStderr();
    return grids;
  }
  static float at(const GridRecord &g, int row, int col) { return g.values[static_cast<size_t>(row) * kNx + col]; }
  kvztest::TempDir dir;
  int n_ = 0;
};

TEST_F(BulletinTest, FileInformationAndHeaderOfAQuadrantOneBulletin) {
  GridFileInfo info{};
  const int h = open(kHeight, &info);
  EXPECT_STREQ(info.label, "12Z 10 JAN 12");
  EXPECT_EQ(info.date.year, 12);
  EXPECT_EQ(info.date.month, 1);
  EXPECT_EQ(info.date.day, 10);
  EXPECT_EQ(info.date.hour, 12);

  const GridRecord g = read(h, 0);
  EXPECT_EQ(g.type, 71);
  EXPECT_EQ(g.source, 7);
  EXPECT_EQ(g.model, 7);
  EXPECT_EQ(g.version, 1);
  EXPECT_EQ(g.var, 7);
  EXPECT_EQ(g.ltype, 10);
  EXPECT_EQ(g.level, 850);
  EXPECT_EQ(g.time, 24);
  EXPECT_EQ(g.base_date.year, 2012);
  EXPECT_NE(std::string(g.datim).find("valid 12Z WED 11 JAN 12"), std::string::npos) << g.datim;
  EXPECT_NE(g.info[0], '\0');
  EXPECT_EQ(g.domain.proj, 2);
  EXPECT_FLOAT_EQ(g.domain.clat, 55.0f);
  EXPECT_FLOAT_EQ(g.domain.clon, -45.0f);
  EXPECT_FLOAT_EQ(g.domain.dx, 5.0f);
  EXPECT_FLOAT_EQ(g.domain.dy, 5.0f);
  EXPECT_EQ(g.domain.nx, kNx);
  EXPECT_EQ(g.domain.ny, kNy);
  // Rows arrive north first: the first bulletin row is the record's last.
  ASSERT_EQ(g.values.size(), size_t{kNx * kNy});
  EXPECT_FLOAT_EQ(at(g, kNy - 1, 0), 100.0f);
  EXPECT_FLOAT_EQ(at(g, kNy - 1, 3), 100.3f);
  EXPECT_FLOAT_EQ(at(g, 0, 18), 100.0f + 0.1f * (14 * 19 + 18));
  EXPECT_EQ(grid_state().bpval, 3);
}

// Each value form: sign convention, digits per value, scale digit and reference.
TEST_F(BulletinTest, SignConventionsScalesAndSingleValueRows) {
  struct Case {
    const char *name;
    std::string id, groups, data, body;
    int ltype, level, var;
    float first, second;  // bulletin row 1, columns 0 and 1
  } cases[] = {
      // Convention 1 with four digits: a sign digit and three value digits; scale 0.01, reference 1.
      {"sign digit", "07005", "111 225 61201 71000", "10001 24000 32000 100",
       rows(4, [](int, int c) { return c % 2 ? 1000 + 250 : 250; }), 10, 250, 11, 3.5f, -1.5f},
      // Convention 3: all negative; scale digit 5 gives 10, reference 2.5 gives 25.
      {"all negative", "07006", "113 300", "10003 25000 35000 2.5",
       rows(5, [](int, int c) { return c + 1; }), 12, 0, 13, -10 + 25, -20 + 25},
      // Variable 4 negates the reference; scale digit 0 is 1.0.
      {"variable 4", "07007", "104 310", "10000 23000 30000 7",
       rows(3, [](int, int c) { return c; }), 13, 100, 4, -7, -6},
      // No scale group: values as coded.  Row tokens starting with 9 fill the row.
      {"single value rows", "07012", "115 285", "10000 23000",
       [] {
         std::string b;
         for (int r = 0; r < kNy; ++r) b += "9" + std::to_string(10 + r) + " 000 " + std::to_string(100 + r) + "\n";
         return b;
       }(),
       10, 850, 15, 100, 100},
  };
  std::string file;
  for (const Case &c : cases) file += bulletin(c.id, c.groups, c.data, c.body);
  std::string warnings;
  const auto grids = read_all(file, &warnings);
  EXPECT_EQ(warnings.find("Damaged"), std::string::npos) << warnings;
  ASSERT_EQ(grids.size(), std::size(cases));
  for (size_t i = 0; i < grids.size(); ++i) {
    const Case &c = cases[i];
    const GridRecord &g = grids[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(g.type, 70 + atoi(c.id.c_str() + 2));
    EXPECT_EQ(g.ltype, c.ltype);
    EXPECT_EQ(g.level, c.level);
    EXPECT_EQ(g.var, c.var);
    EXPECT_EQ(g.time, 0);  // no forecast group
    // Quadrants 5 and up are stored from the first row on.
    EXPECT_FLOAT_EQ(at(g, 0, 0), c.first);
    EXPECT_FLOAT_EQ(at(g, 0, 1), c.second);
  }
  // The single-value rows fill every point of their row.
  const GridRecord &single = grids.back();
  for (int r = 0; r < kNy; ++r)
    for (int c = 0; c < kNx; ++c) ASSERT_FLOAT_EQ(at(single, r, c), 100.0f + r) << r << " " << c;
  EXPECT_EQ(grids[1].domain.clat, 0.0f);
  EXPECT_EQ(grids[1].domain.clon, -135.0f);
  EXPECT_EQ(grids[3].domain.clat, -55.0f);
  EXPECT_EQ(grids[3].domain.clon, 45.0f);
}

// Wind bulletins (direction * 100 + speed): the first of a run gives u, the
// next v, a third the coded values; another variable starts the pairing anew.
// Re-reading a grid, in any order, gives it the same role.
TEST_F(BulletinTest, WindPairsDecodeIntoComponentsWhateverTheReadingOrder) {
  // 180 degrees at 10: from the south, u = 0 and v = 10.  270 at 20: u = 20, v = 0.
  const std::string wind180 = bulletin("07002", "122 250", "10000 25000", rows(5, [](int, int) { return 18010; }));
  const std::string wind270 = bulletin("07002", "122 250", "10000 25000", rows(5, [](int, int) { return 27020; }));
  const std::string file = wind180 + wind270 + wind270 + kHeight + wind270;
  const int h = open(file);
  const int vars[] = {23, 24, 22, 7, 23};
  for (int pass = 0; pass < 2; ++pass) {
    for (int n = 0; n < 5; ++n) {
      const GridRecord header = read(h, n, 1);
      const GridRecord g = read(h, n, 0);
      EXPECT_EQ(header.var, vars[n]) << n;
      EXPECT_EQ(g.var, vars[n]) << n;
    }
  }
  EXPECT_NEAR(at(read(h, 0), 3, 3), 0.0f, 1e-4);
  EXPECT_NEAR(at(read(h, 4), 3, 3), 20.0f, 1e-4);
  EXPECT_NEAR(at(read(h, 1), 3, 3), 0.0f, 1e-4);
  EXPECT_FLOAT_EQ(at(read(h, 2), 3, 3), 27020.0f);
  EXPECT_EQ(read(h, 1).var, 24);  // backwards: rewinds and passes over grid 0 again
  EXPECT_EQ(read(h, 4, 1).var, 23);  // skipping ahead passes over the pairs in between
}

TEST_F(BulletinTest, NextNumberReadsOnAndTheSameNumberReadsAgain) {
  const std::string second = bulletin("07003", "111 250 61201 71012", "10000 23000", rows(3, [](int, int) { return 5; }));
  const int h = open(kHeight + second + kHeight);
  GridRecord g = read(h, 0, 1);
  EXPECT_TRUE(g.values.empty());  // header only
  const int64_t first_at = GRD_get_pos(h);
  EXPECT_EQ(first_at, 0);
  g = read(h, 1, 1);
  EXPECT_EQ(g.type, 73);
  EXPECT_EQ(GRD_get_pos(h), static_cast<int64_t>(kHeight.size()));
  g = read(h, 1, 0);  // the same bulletin again, values now
  EXPECT_EQ(g.type, 73);
  EXPECT_FLOAT_EQ(g.values[0], 5.0f);
  g = read(h, 2);
  EXPECT_EQ(g.type, 71);
  EXPECT_EQ(GRD_get_pos(h), static_cast<int64_t>(kHeight.size() + second.size()));
  read(h, 3, 0, -1);
  read(h, 3, 1, -1);
  g = read(h, 0);
  EXPECT_EQ(g.type, 71);
  GRD_close(h);

  // A grid further ahead, asked for first, is reached by passing over the ones before it.
  const int h2 = open(kHeight + second + kHeight);
  GridRecord far{};
  GRD_init(&far);
  int number = 2;
  ASSERT_EQ(GRD_read(h2, &far, 0, &number), 0);
  EXPECT_EQ(number, 2);
  EXPECT_EQ(far.values, read(h2, 0).values);
}

// Without a date, or with a damaged one, the file has no label; a bulletin
// without date groups is still a grid.
TEST_F(BulletinTest, FileWithoutASoundDateHasNoLabel) {
  const std::string body = rows(3, [](int, int) { return 1; });
  GridFileInfo info{};
  const int h = open(bulletin("07001", "107 285", "10000 23000", body), &info);
  EXPECT_STREQ(info.label, "");
  EXPECT_EQ(info.date.year, -9999);
  const GridRecord g = read(h, 0);
  EXPECT_EQ(g.base_date.year, -9999);
  EXPECT_EQ(g.values.size(), size_t{kNx * kNy});

  open(bulletin("07001", "107 285 6121X 71012", "10000 23000", body), &info);
  EXPECT_STREQ(info.label, "");
  EXPECT_EQ(info.date.month, -9999);
}

// A damaged bulletin between two sound ones is reported with its problem and
// is not a grid: the sound ones are grids 0 and 1.
TEST_F(BulletinTest, DamagedBulletinsAreReportedAndPassedOver) {
  const std::string good_rows = rows(3, [](int, int) { return 1; });
  const std::string cut_rows = good_rows.substr(0, good_rows.size() / 2);
  std::string short_row = good_rows;
  short_row.erase(short_row.find(" 001\n"), 4);  // row 1 one value short: the rows run out at the end
  struct Case {
    const char *name;
    std::string text;
    const char *problem;
  } cases[] = {
      {"truncated rows", bulletin("07001", "107", "10000 23000", cut_rows), "row 8 of 15"},
      {"no rows", "GRID 07001 00000 11111\n107 285\nSECT\n10000 23000\n001\n", "ends before row 1 of 15"},
      {"cut in the groups", "GRID 07001 00000 11111\n107 285\n", "ends before its rows"},
      {"cut after the mark", "GRID\n", "ends after its GRID mark"},
      {"short row", bulletin("07001", "107", "10000 23000", short_row), "row 15 of 15 holds 'N' where value 19 should be"},
      {"absurd digits", bulletin("07001", "107", "10000 29000", good_rows), "9 digits per value"},
      {"no digit count", bulletin("07001", "107", "10000 2x000", good_rows), "not a number"},
      {"no digits group", bulletin("07001", "107", "10000 31000 5", good_rows), "no group giving the digits"},
      {"bad identification", bulletin("0A001", "107", "10000 23000", good_rows), "identification 0A001"},
      {"quadrant 13", bulletin("07013", "107", "10000 23000", good_rows), "quadrant 13 is not one of 1 to 12"},
      {"bad date group", bulletin("07001", "107 6AB01", "10000 23000", good_rows), "\"6\" group 6AB01 holds no year"},
      {"letter among values", bulletin("07001", "107", "10000 23000", "001 000 12x\n"), "row 1 of 15 holds 'x'"},
      {"control byte", bulletin("07001", "107", "10000 23000", std::string("001 000 \x01\n")), "byte 0x01"},
      {"reference not a number", bulletin("07001", "107", "10000 23000 31000 nan", good_rows), "not a number"},
      {"long reference", bulletin("07001", "107", "10000 23000 31000 " + std::string(5000, '7'), good_rows),
       "is too long"},
      {"long row token", bulletin("07001", "107", "10000 23000", std::string(100000, '1') + " " + good_rows),
       "longer than 65536 bytes"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::string warnings;
    const auto grids = read_all(kHeight + c.text + kHeight, &warnings);
    EXPECT_EQ(grids.size(), 2u);
    EXPECT_NE(warnings.find("Damaged GRID bulletin at offset " + std::to_string(kHeight.size()) + ": "),
              std::string::npos)
        << warnings;
    EXPECT_NE(warnings.find(c.problem), std::string::npos) << warnings;
    EXPECT_EQ(warnings.find("Damaged", warnings.find("Damaged") + 1), std::string::npos) << warnings;  // once
    for (const GridRecord &g : grids) EXPECT_FLOAT_EQ(g.values[0], 100.0f + 0.1f * 14 * 19);
    GRD_close(0);
  }
}

// A file whose only bulletin is damaged, or cut at its end, has no grid.
TEST_F(BulletinTest, FileEndingInsideItsOnlyBulletinHasNoGrid) {
  for (size_t cut : {4u, 30u, 200u, 1000u}) {
    std::string warnings;
    const auto grids = read_all(kHeight.substr(0, cut), &warnings);
    EXPECT_TRUE(grids.empty()) << cut;
    EXPECT_NE(warnings.find("Damaged GRID bulletin at offset 0"), std::string::npos) << cut << warnings;
    GRD_close(0);
  }
}

class BulletinProgramTest : public ::testing::Test {
 protected:
  kvztest::RunResult run(std::vector<std::string> args) {
    args.insert(args.begin(), {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/", "-gp", dir.path()});
    return kvztest::run_program(args, {"kvzdefault=" + std::string(KVZ_SOURCE_DIR) + "/etc"}, dir.path());
  }
  kvztest::TempDir dir;
};

TEST_F(BulletinProgramTest, ListsAndConvertsABulletinFile) {
  const std::string wind = bulletin("07002", "122 250 61201 71012 8/012", "10000 25000",
                                    rows(5, [](int, int) { return 27020; }));
  const std::string file = dir.write("feed.grid", kHeight + wind + wind);
  auto r = run({"-me", "out4", file});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err.find("Damaged"), std::string::npos) << r.err;
  EXPECT_NE(r.out.find("Reading from grid file:"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  0: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  2: "), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("  3: "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Model: 7 Ltype: 10 Level: 850 Var: 7 [] Hour: 24 Grid: 71"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Var: 23 [] Hour: 12 Grid: 72"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Var: 24 [] Hour: 12 Grid: 72"), std::string::npos) << r.out;

  r = run({"-of", "grd", file});
  ASSERT_EQ(r.status, 0) << r.err;
  const size_t at = r.out.find("Creating grid file: ");
  ASSERT_NE(at, std::string::npos) << r.out;
  const size_t start = at + strlen("Creating grid file: ");
  const std::string out = r.out.substr(start, r.out.find('\n', start) - start);

  int type = 0;
  const int h = GRD_open(out.c_str(), 0, &type);
  ASSERT_GE(h, 0) << out;
  GridFileInfo info{};
  GRD_getinfo(h, &info);
  const float expect[] = {100.0f, 20.0f, 0.0f};  // first value: height, then u and v of 270 degrees at 20
  for (int n = 0; n < 3; ++n) {
    GridRecord g{};
    GRD_init(&g);
    int number = n;
    ASSERT_EQ(GRD_read(h, &g, 0, &number), 0) << n;
    EXPECT_EQ(g.domain.nx, kNx);
    EXPECT_EQ(g.domain.ny, kNy);
    ASSERT_EQ(g.values.size(), size_t{kNx * kNy});
    EXPECT_NEAR(g.values[static_cast<size_t>(kNy - 1) * kNx], expect[n], 1e-4) << n;
  }
  GRD_close(h);
  r = run({"-me", "out2", out});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("  2: "), std::string::npos) << r.out;
}

}  // namespace
