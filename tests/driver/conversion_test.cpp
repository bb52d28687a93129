// Selecting grids and converting them through the program as a user runs it:
// binary and text grid files that read back to the decoded values, raw GRIB
// copies identical to the products, and the overwrite rules of output files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "../test_support.h"
#include "config/config.h"
#include "grid/grid.h"

using kvztest::run_program;

namespace {

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    src_ = std::string(KVZ_TESTDATA) + "/generated/gfs_ed1.grib1";
    if (kvztest::read_file(src_).empty()) GTEST_SKIP() << "generated test data not present";
  }
  kvztest::RunResult run(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/", "-gp", dir.path()});
    return run_program(extra, {"kvzdefault=" + dir.path()}, dir.path());
  }
  static int count(const std::string &text, const std::string &what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  // The one grid file the run created in the test directory.
  std::string created(const kvztest::RunResult &r) {
    const size_t at = r.out.find("Creating grid file: ");
    if (at == std::string::npos) return "";
    const size_t start = at + strlen("Creating grid file: ");
    return r.out.substr(start, r.out.find('\n', start) - start);
  }
  // Every grid of a file, values included.
  static std::vector<GridRecord> read_all(const std::string &path, int type = 0) {
    std::vector<GridRecord> grids;
    const int h = GRD_open(path.c_str(), 0, &type);
    if (h < 0) return grids;
    GridFileInfo info{};
    GRD_getinfo(h, &info);
    for (int n = 0;; ++n) {
      GridRecord g{};
      GRD_init(&g);
      int number = n;
      if (GRD_read(h, &g, 0, &number) != 0) break;
      grids.push_back(std::move(g));
    }
    GRD_close(h);
    return grids;
  }
  kvztest::TempDir dir;
  std::string src_;
};

TEST_F(ConversionTest, BinaryGridFileReadsBackBitForBit) {
  RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
  const auto r = run({"-of", "kvzb", src_});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string out = created(r);
  ASSERT_FALSE(out.empty()) << r.out;
  const auto decoded = read_all(src_);
  const auto back = read_all(out);
  ASSERT_EQ(back.size(), decoded.size());
  for (size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].values, decoded[i].values) << i;
    EXPECT_EQ(back[i].var, decoded[i].var) << i;
    EXPECT_EQ(back[i].level, decoded[i].level) << i;
  }
}

TEST_F(ConversionTest, TextGridFileAgreesToItsPrecisionWithUnits) {
  RES_put("file_path", KVZ_SOURCE_DIR "/etc/");
  // The temperature grids only, in degrees Celsius.
  const auto r = run({"-of", "kvz", src_ + "+0::st:degC"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto back = read_all(created(r));
  const auto decoded = read_all(src_);
  std::vector<const GridRecord *> temps;
  for (const auto &g : decoded)
    if (g.var == 11) temps.push_back(&g);
  ASSERT_EQ(back.size(), temps.size());
  ASSERT_FALSE(back.empty());
  for (size_t i = 0; i < back.size(); ++i) {
    EXPECT_STREQ(back[i].units, "degC");
    ASSERT_EQ(back[i].values.size(), temps[i]->values.size());
    for (size_t k = 0; k < back[i].values.size(); ++k)
      ASSERT_NEAR(back[i].values[k], temps[i]->values[k] - 273.15f, 1e-3) << i << " " << k;
  }
}

TEST_F(ConversionTest, RawCopyIsTheProductsAndListsTheSame) {
  const auto r = run({"-of", "grib", src_});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string out = created(r);
  ASSERT_FALSE(out.empty()) << r.out;
  // Bare, contiguous products: the copy of every grid is the file itself.
  EXPECT_EQ(kvztest::read_file(out), kvztest::read_file(src_));
  const auto copied = run({"-me", "out3", out});
  const auto original = run({"-me", "out3", src_});
  EXPECT_EQ(copied.out.substr(copied.out.find("\n  0: ")), original.out.substr(original.out.find("\n  0: ")));
  // A selection copies just its products.
  const auto one = run({"-pf", "over", "-of", "grib", src_ + "+0:500mb:hh"});
  EXPECT_EQ(count(run({"-me", "out3", created(one)}).out, "Level: 500mb"), 1);
}

TEST_F(ConversionTest, RawCopyOfMessagesWithSeveralFields) {
  const std::string multi = kvztest::sample_file("gfs.grb");
  if (multi.empty()) GTEST_SKIP() << "test data not present";
  const auto r = run({"-of", "grib", multi});
  ASSERT_EQ(r.status, 0) << r.err;
  // Every message once, although it holds several grids.
  EXPECT_EQ(kvztest::read_file(created(r)), kvztest::read_file(multi));
}

// The "%3d: " lines of a listing.
std::vector<std::string> grid_lines(const std::string &out) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < out.size()) {
    const size_t end = std::min(out.find('\n', at), out.size());
    const std::string line = out.substr(at, end - at);
    const size_t colon = line.find(": ");
    if (colon != std::string::npos && colon <= 3 && colon > 0 &&
        line.find_first_not_of(" 0123456789") == colon)
      lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

TEST_F(ConversionTest, NumberedSelectionsReachEveryFieldOfMultiFieldMessages) {
  const std::string multi = kvztest::sample_file("gfs.grb");
  if (multi.empty()) GTEST_SKIP() << "test data not present";
  const std::vector<std::string> all = grid_lines(run({"-me", "out2", multi}).out);
  ASSERT_EQ(all.size(), 344u);
  // 3 and 4 share a message (u and v), as do 9 and 10; 5 follows such a message.
  for (const int n : {1, 2, 3, 4, 5, 9, 10, 100, 343}) {
    const auto r = run({"-me", "out2", multi + "#" + std::to_string(n)});
    EXPECT_EQ(r.err, "") << n;
    EXPECT_EQ(grid_lines(r.out), std::vector<std::string>{all[static_cast<size_t>(n)]}) << n;
  }
}

TEST_F(ConversionTest, LaterFieldsOfAMessageConvertTheSameThroughAHeaderFile) {
  const std::string sample = kvztest::sample_file("gfs.grb");
  if (sample.empty()) GTEST_SKIP() << "test data not present";
  const std::string multi = dir.write("multi.grb", kvztest::read_file(sample));
  // Grid 4 is the second field (v) of a message holding u and v.
  const std::vector<std::string> runs[] = {{"-of", "kvzb", multi}, {"-of", "kvzb", multi + "#4"},
                                           {"-of", "grib", multi}, {"-of", "grib", multi + "#4"}};
  std::vector<std::string> searched;
  for (const auto &args : runs) {
    std::vector<std::string> a = {"-pf", "over"};
    a.insert(a.end(), args.begin(), args.end());
    const auto r = run(a);
    searched.push_back(kvztest::read_file(created(r)));
    ASSERT_FALSE(searched.back().empty()) << r.out << r.err;
  }
  ASSERT_EQ(run({"-ou", "hdrfile", multi}).status, 0);
  ASSERT_FALSE(kvztest::read_file(multi + ".hdr").empty());
  for (size_t i = 0; i < searched.size(); ++i) {
    std::vector<std::string> a = {"-pf", "over"};
    a.insert(a.end(), runs[i].begin(), runs[i].end());
    const auto r = run(a);
    EXPECT_EQ(r.err, "") << runs[i].back();
    EXPECT_TRUE(kvztest::read_file(created(r)) == searched[i]) << "through the header file: " << runs[i][1] << " "
                                                                << runs[i].back();
  }
  EXPECT_EQ(searched[2], kvztest::read_file(sample));
}

TEST_F(ConversionTest, SelectionsPickTheGridsTheRulesSelect) {
  const struct { std::string selection; int grids; const char *first; } cases[] = {
      {"#5", 1, "  5: "},
      {"+0:500mb:hh", 1, " 72: "},
      {"-0050hh", 1, " 14: "},
      {"+:500mb", 0, ""},  // no variable named: nothing matches
      {"#999", 0, ""},
  };
  for (const auto &c : cases) {
    const auto r = run({"-me", "out3", src_ + c.selection});
    EXPECT_EQ(r.status, 0) << c.selection;
    EXPECT_EQ(count(r.out, "     Model:"), c.grids) << c.selection << "\n" << r.out;
    if (c.grids) {
      EXPECT_NE(r.out.find(c.first), std::string::npos) << c.selection;
    }
  }
  // A grid type alone selects nothing: no variable was named.
  EXPECT_EQ(count(run({"-gt", "255", "-me", "out3", src_}).out, "     Model:"), 0);
  EXPECT_EQ(count(run({"-gt", "255", "-me", "out3", src_ + "+::hh"}).out, "     Model:"), 26);
}

TEST_F(ConversionTest, ExistingOutputIsNotOverwrittenUnasked) {
  const auto first = run({"-of", "kvzb", src_ + "#0"});
  const std::string out = created(first);
  ASSERT_FALSE(out.empty());
  const std::string before = kvztest::read_file(out);
  const auto again = run({"-ba", "-of", "kvzb", src_ + "#1"});
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.err.find("GRD_open_out_file: Unable to overwrite grid file: "), std::string::npos) << again.err;
  EXPECT_EQ(kvztest::read_file(out), before);
  const auto forced = run({"-ba", "-pf", "over", "-of", "kvzb", src_ + "#1"});
  EXPECT_NE(kvztest::read_file(out), before);
}

}  // namespace

namespace {

// A grid path given relative to the working directory names the directory
// the output goes to once, whether or not the name convention puts it in.
TEST(ConversionPath, RelativeGridPathIsNotDoubled) {
  const std::string src = std::string(KVZ_TESTDATA) + "/generated/gfs_ed1.grib1";
  if (kvztest::read_file(src).empty()) GTEST_SKIP() << "generated test data not present";
  kvztest::TempDir dir;
  const auto r = run_program({"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/", "-gp", "out", "-of", "kvzb", src + "#0"},
                             {"kvzdefault=" + dir.path()}, dir.path());
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Creating grid file: out/kvz_"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "");
}

}  // namespace
