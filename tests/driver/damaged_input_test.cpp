// Damaged files through the program as a user runs it: a real GRIB file cut
// inside its third product, at every section boundary and in the middle of
// every section, lists the grids before the cut, says once which file, grid
// and offset are damaged, and ends normally.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "../test_support.h"

using kvztest::run_program;

namespace {

uint64_t octets(const std::string &b, size_t at, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
  return v;
}

// Offsets (from the product start) of the section starts of the GRIB product
// at `at`, the trailer "7777" last.
std::vector<size_t> section_starts(const std::string &b, size_t at) {
  std::vector<size_t> starts;
  if (b[at + 7] == 2) {
    size_t p = 16;
    while (b.compare(at + p, 4, "7777") != 0) {
      starts.push_back(p);
      p += octets(b, at + p, 4);
    }
    starts.push_back(p);
    return starts;
  }
  const size_t pds = 8;
  const int flags = static_cast<unsigned char>(b[at + pds + 7]);
  size_t p = pds;
  const int sections = 2 + ((flags & 0x80) ? 1 : 0) + ((flags & 0x40) ? 1 : 0);
  for (int i = 0; i < sections; ++i) {
    starts.push_back(p);
    p += octets(b, at + p, 3);
  }
  starts.push_back(p);
  return starts;
}

size_t product_length(const std::string &b, size_t at) {
  return b[at + 7] == 2 ? octets(b, at + 8, 8) : octets(b, at + 4, 3);
}

int listed_grids(const std::string &out) {
  static const std::regex line("(^|\n) {0,2}[0-9]+: ");  // "%3d: ", not the dump rows
  return static_cast<int>(std::distance(std::sregex_iterator(out.begin(), out.end(), line), std::sregex_iterator()));
}

class DamagedInputTest : public ::testing::TestWithParam<const char *> {
 protected:
  kvztest::RunResult run(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/"});
    return run_program(extra, {"kvzdefault=" + dir.path()}, dir.path());
  }
  kvztest::TempDir dir;
};

TEST_P(DamagedInputTest, CutProductIsReportedOnceAfterTheGridsBeforeIt) {
  const std::string bytes = kvztest::read_file(kvztest::sample_file(GetParam()));
  if (bytes.empty()) GTEST_SKIP() << "test data not present";
  const size_t first = bytes.find("GRIB");
  const size_t second = first + product_length(bytes, first);
  const size_t third = second + product_length(bytes, second);
  ASSERT_EQ(bytes.compare(third, 4, "GRIB"), 0);
  const size_t length = product_length(bytes, third);

  std::vector<size_t> cuts = {4, 10, length - 2};
  const std::vector<size_t> starts = section_starts(bytes, third);
  for (size_t i = 0; i + 1 < starts.size(); ++i) {
    cuts.push_back(starts[i]);
    cuts.push_back(starts[i] + 3);
    cuts.push_back((starts[i] + starts[i + 1]) / 2);
  }
  for (const size_t cut : cuts) {
    SCOPED_TRACE("cut " + std::to_string(cut) + " bytes into the third product");
    dir.write("cut.grb", bytes.substr(0, third + cut));
    for (const char *level : {"out2", "out4"}) {
      const auto r = run({"-me", level, "cut.grb"});
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(listed_grids(r.out), 2) << r.out;
      const std::string report = "cut.grb: grid 2: Damaged GRIB product at offset " + std::to_string(third) + ": ";
      EXPECT_EQ(r.err.rfind(report, 0), 0u) << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    // Converting decodes every value of the grids before the cut.
    const auto converted = run({"-pf", "over", "-of", "kvzb", "cut.grb"});
    EXPECT_EQ(converted.status, 0) << converted.err;
  }
}

INSTANTIATE_TEST_SUITE_P(Samples, DamagedInputTest, ::testing::Values("eta.grb", "gfs.t12z.pgrbf120.2p5deg.grib2"),
                         [](const auto &info) { return std::string(info.param).substr(0, 3); });

// A header file whose offsets point past the end of the GRIB file, or back to
// an earlier product, never sends the reader outside the file.
TEST(DamagedHeaderFile, OffsetsPastTheEndOrBackwards) {
  const std::string bytes = kvztest::read_file(kvztest::sample_file("eta.grb"));
  if (bytes.empty()) GTEST_SKIP() << "test data not present";
  kvztest::TempDir dir;
  const size_t second = product_length(bytes, 0);
  dir.write("e.grb", bytes.substr(0, 2 * second + product_length(bytes, second)));
  const std::string keys = " / 7:84 255 24 100 250 41\n";
  dir.write("e.grb.hdr", "0" + keys + std::to_string(second) + keys + "99999999" + keys + "0" + keys);
  const std::vector<std::string> env = {"kvzdefault=" + dir.path()};
  const std::string etc = std::string(KVZ_SOURCE_DIR) + "/etc/";
  const auto listed = run_program({"-fp", etc, "-me", "out2", "e.grb"}, env, dir.path());
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed_grids(listed.out), 4) << listed.out;  // listed from the index alone
  EXPECT_EQ(listed.err, "");
  const auto converted = run_program({"-fp", etc, "-pf", "over", "-of", "kvzb", "e.grb"}, env, dir.path());
  EXPECT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(converted.err, "e.grb: grid 2: no GRIB product at or after offset 99999999, where the header file puts it\n");
  // Grids 0, 1 and (back at the start) 3 are converted.
  const auto written = run_program({"-fp", etc, "-me", "out2", "kvz_00000000.grd"}, env, dir.path());
  EXPECT_EQ(listed_grids(written.out), 3) << written.out;
}

}  // namespace

namespace {

// Text grid files and GRID bulletins cut short: the grids before the damage
// are listed and one message names the file, the grid and the damage.
TEST(DamagedTextInput, CutFilesSayWhichGridIsDamaged) {
  const std::string corpus = std::string(KVZ_SOURCE_DIR) + "/fuzz/corpus/";
  const std::string two = kvztest::read_file(corpus + "grid_file/two_grids");
  const std::string bulletins = kvztest::read_file(corpus + "bulletin/wind_pair.grid");
  ASSERT_FALSE(two.empty());
  ASSERT_FALSE(bulletins.empty());
  const size_t second = two.find(" 2004", 10);
  struct Case {
    const char *name;
    std::string bytes;
    std::vector<std::string> options;
    int listed;
    const char *report;
  };
  const std::vector<Case> cases = {
      {"values cut", two.substr(0, second + 180), {"-pf", "over", "-of", "kvz"}, 2,
       "cut.grd: grid 1: Damaged grid file: the values end after 5 of 6; the rest are missing\n"},
      {"projection cut", two.substr(0, second + 40), {}, 1,
       "cut.grd: grid 1: Damaged grid file: no grid size can be read from its projection line\n"},
      {"bulletin cut", bulletins.substr(0, 2000), {}, 1,
       "cut.grd: grid 1: Damaged GRID bulletin at offset 1901: the bulletin ends in row 1 of 15 after 5 values\n"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    kvztest::TempDir dir;
    dir.write("cut.grd", c.bytes);
    std::vector<std::string> args = {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/", "-me", "out2"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("cut.grd");
    const auto r = run_program(args, {"kvzdefault=" + dir.path()}, dir.path());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(listed_grids(r.out), c.listed) << r.out;
    EXPECT_NE(r.err.find(c.report), std::string::npos) << r.err;
  }
}

}  // namespace
