// The grid listing at each message level, through the program as a user runs
// it: on GRIB files, through header files, and on text grid files.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "../grib/grib_builder.h"
#include "../test_support.h"

using kvztest::run_program;

namespace {

class ListingTest : public ::testing::Test {
 protected:
  std::vector<std::string> env() const { return {"kvzdefault=" + dir.path()}; }
  std::vector<std::string> args(std::vector<std::string> extra) const {
    extra.insert(extra.begin(), {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/"});
    return extra;
  }
  static std::string generated(const std::string &name) {
    return std::string(KVZ_TESTDATA) + "/generated/" + name;
  }
  static int count(const std::string &text, const std::string &what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  }
  kvztest::TempDir dir;
};

TEST_F(ListingTest, DefaultLevelListsNumberDateAndDescription) {
  const std::string f = generated("latlon_scans.grib1");
  if (!kvztest::read_file(f).size()) GTEST_SKIP() << "generated test data not present";
  const auto r = run_program(args({f}), env());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  const std::regex line("^ *[0-9]+: [^\n]*-[^\n]*$");
  int grids = 0;
  std::istringstream in(r.out);
  for (std::string l; std::getline(in, l);) grids += std::regex_match(l, line);
  EXPECT_EQ(grids, 8);
  EXPECT_NE(r.out.find("  0: GFS analysis for 1200Z 16 MAR 06-500 mb Temperature (K)\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Model:"), std::string::npos);
}

TEST_F(ListingTest, HigherLevelsAddModelKeysProjectionAndDump) {
  const std::string f = generated("gfs_ed1.grib1");
  if (!kvztest::read_file(f).size()) GTEST_SKIP() << "generated test data not present";
  const auto r = run_program(args({"-me", "out4", f}), env());
  EXPECT_EQ(r.status, 0);
  const std::string first = r.out.substr(r.out.find("  0: "));
  EXPECT_EQ(first.substr(0, first.find("  1: ")),
            "  0: GFS analysis for 1200Z 16 MAR 06-10 mb Geopotential height (m)\n"
            "     Model: GFS  Time: init         Level: 10mb         Variable: HGT     Units: m\n"
            "     Model: 96 Ltype: 100 Level: 10 Var: 7 [m] Hour: 0 Grid: 255\n"
            "     Proj: latlon:::::,0.000,178.750,144,73,2.5000,2.5000\n"
            "     HEADER DUMP:\n"
            "           0   1   2   3   4   5   6   7   8   9\n"
            "      00:  G   R   I   B  [00][52][74][01][00][00]\n"
            "      10: [1C][02][07][60][FF][80][07][64][00][0A]\n"
            "      20: [06][03][10][0C][00][01][00][00][00][00]\n"
            "      30: [00][00][15][00][00][00][00][00][20][00]\n"
            "      40: [FF][00][00][90][00][49][01][5F][90][00]\n"
            "      50: [00][00][80][81][5F][90][05][74][7C][09]\n"
            "      60: [C4][09][C4][00][00][00][00][00][00][52]\n"
            "      70: [2C][08][80][04][44][6C][FC][FD][10][82]\n"
            "      80: [8E][82][8E][82][8E][82][8E][82][8E][82]\n"
            "      90: [8E][82][8E][82][8E][82][8E][82][8E][82]\n"
            "     100: [8E][82][8E][82][8E][82][8E][82][8E][82]\n"
            "     110: [8E][82][8E][82][8E][82][8E][82][8E][82]\n");}

// The offsets at which the grids of a file of bare, contiguous products start.
std::vector<long> product_offsets(const std::string &bytes) {
  std::vector<long> at;
  for (size_t p = bytes.find("GRIB"); p != std::string::npos; p = bytes.find("GRIB", p + 4)) {
    const size_t len = (static_cast<unsigned char>(bytes[p + 4]) << 16) |
                       (static_cast<unsigned char>(bytes[p + 5]) << 8) | static_cast<unsigned char>(bytes[p + 6]);
    at.push_back(static_cast<long>(p));
    p += len - 4;
  }
  return at;
}

TEST_F(ListingTest, HeaderFileListsWithoutTheGribFile) {
  const std::string src = generated("eta_ed1.grib1");
  const std::string bytes = kvztest::read_file(src);
  if (bytes.empty()) GTEST_SKIP() << "generated test data not present";
  const std::string f = dir.write("eta.grb", bytes);
  const auto plain = run_program(args({"-me", "out3", f}), env());
  ASSERT_EQ(plain.status, 0);

  // An index of the first three products; their key numbers from the listing above.
  const auto offsets = product_offsets(bytes);
  ASSERT_GE(offsets.size(), 3u);
  std::string index;
  const char *keys[] = {"7:84 255 24 100 250 41", "7:84 255 24 100 500 41", "7:84 255 24 100 700 41"};
  for (int i = 0; i < 3; ++i) {
    char line[120];
    snprintf(line, sizeof line, "%7ld %s / %s\n", offsets[i], i == 1 ? "HTXA50 KWBC 081200" : "", keys[i]);
    index += line;
  }
  dir.write("eta.grb.hdr", index);
  // Everything after the first product is destroyed: the listing comes from the index.
  dir.write("eta.grb", bytes.substr(0, offsets[1]) + std::string(bytes.size() - offsets[1], 'x'));
  const auto indexed = run_program(args({"-me", "out3", f}), env());
  EXPECT_EQ(indexed.status, 0);
  EXPECT_EQ(count(indexed.out, "Variable: ABSV"), 3) << indexed.out;
  const auto model_line = [](const std::string &out, int n) {
    size_t at = out.find("     Model:");
    for (int i = 0; i < n; ++i) at = out.find("     Model:", at + 1);
    return out.substr(at, out.find('\n', at) - at);
  };
  for (int i = 0; i < 3; ++i) EXPECT_EQ(model_line(indexed.out, i), model_line(plain.out, i));
  // "nohdr" reads the GRIB file itself, which now holds one product.
  const auto searched = run_program(args({"-pa", "nohdr", "-me", "out3", f}), env());
  EXPECT_EQ(count(searched.out, "Variable: ABSV"), 1) << searched.out;
}

TEST_F(ListingTest, FeedWithEveryHeaderKindNoiseAndBufr) {
  const std::string src = kvztest::read_file(generated("latlon_scans.grib1"));
  if (src.empty()) GTEST_SKIP() << "generated test data not present";
  const auto offsets = product_offsets(src);
  ASSERT_EQ(offsets.size(), 8u);
  auto product = [&](int i) {
    const long end = i + 1 < 8 ? offsets[i + 1] : static_cast<long>(src.size());
    return gribtest::Bytes(src.begin() + offsets[i], src.begin() + end);
  };
  gribtest::Bytes feed;
  gribtest::append(feed, gribtest::ldm_wrap(product(0), 101, "HTRA50 KWBC 161200"));
  gribtest::append(feed, gribtest::ldm_wrap(product(1), 102, "HTRA51 KWBC 161200"));
  gribtest::put_text(feed, "line noise 0123 BU");
  gribtest::put_text(feed, "BUFR");  // a BUFR edition 4 message, measured by its end marker
  gribtest::append(feed, gribtest::Bytes{0, 0, 30, 4});
  gribtest::put_text(feed, std::string(18, 'b') + "7777\n");
  gribtest::append(feed, gribtest::kvz_wrap(product(2), "HTRA52 KWBC 161200", "\r\n\003"));
  gribtest::append(feed, gribtest::old_kvz_wrap(product(3), "HTRA53 KWBC 161200"));
  gribtest::append(feed, product(4));
  const std::string f = dir.write("feed.grb", std::string(feed.begin(), feed.end()));
  const auto r = run_program(args({"-me", "out4", f}), env());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(count(r.out, "500 mb Temperature"), 5) << r.out << r.err;
  // The grids keep their order: the fifth is the first 12-bit product.
  EXPECT_NE(r.out.find("  4: "), std::string::npos);
  EXPECT_EQ(r.out.find("  5: "), std::string::npos) << r.out;
}

TEST_F(ListingTest, TextGridFile) {
  const std::string f = dir.write("t.grd",
                                  "KVZGRID\n12Z 10 JAN 12\n2-500 mb Height (m)\n7 2 96 211 100 500 12 7:m\n"
                                  "LL 40.0 -100.0 1.0 1.0 2 1\n5500 5510\n"
                                  "12Z 10 JAN 12\n2-850 mb Height (m)\n7 2 96 211 100 850 12 7:m\n"
                                  "LL 40.0 -100.0 1.0 1.0 2 1\n1500 1510\n");
  const auto r = run_program(args({"-me", "out3", f}), env());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("  0: 12Z 10 JAN 12-500 mb Height (m)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  1: 12Z 10 JAN 12-850 mb Height (m)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Level: 850mb"), std::string::npos) << r.out;
}

}  // namespace
