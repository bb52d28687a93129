// Header-file mode: writing the index of a GRIB file, reading it back, and
// extending it after new products arrived.
#include <gtest/gtest.h>

#include <cstdio>

#include "../test_support.h"

using kvztest::run_program;

namespace {

class HeaderModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bytes_ = kvztest::read_file(std::string(KVZ_TESTDATA) + "/generated/gfs_ed1.grib1");
    for (size_t p = bytes_.find("GRIB"); p != std::string::npos && offsets_.size() < 7;) {
      offsets_.push_back(p);
      const size_t len = (static_cast<unsigned char>(bytes_[p + 4]) << 16) |
                         (static_cast<unsigned char>(bytes_[p + 5]) << 8) | static_cast<unsigned char>(bytes_[p + 6]);
      p = bytes_.find("GRIB", p + len);
    }
  }
  // A GRIB file holding the first n products.
  std::string grib_of(size_t n) { return dir.write("g.grb", bytes_.substr(0, offsets_[n])); }
  kvztest::RunResult run(std::vector<std::string> extra) {
    extra.insert(extra.begin(), {"-fp", std::string(KVZ_SOURCE_DIR) + "/etc/"});
    return run_program(extra, {"kvzdefault=" + dir.path()}, dir.path());
  }
  static std::vector<std::string> lines(const std::string &text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
  }
  kvztest::TempDir dir;
  std::string bytes_;
  std::vector<size_t> offsets_;
};

TEST_F(HeaderModeTest, WritesReadsBackAndAppends) {
  if (offsets_.size() < 7) GTEST_SKIP() << "generated test data not present";
  grib_of(3);
  auto r = run({"-ou", "hdrfile", "-me", "out2", "g.grb"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Writing to header file: g.grb.hdr\n"), std::string::npos);
  auto index = lines(kvztest::read_file(dir.file("g.grb.hdr")));
  ASSERT_EQ(index.size(), 3u);
  EXPECT_EQ(index[0], "      0 GRIB01 KXXX 010000 /  96 255       0 100      10   7");
  EXPECT_EQ(index[1].substr(0, 8), std::to_string(offsets_[1]).insert(0, 7 - std::to_string(offsets_[1]).size(), ' ') + " ");

  // With the index present the listing is the same, from the index alone.
  const auto searched = run({"-pa", "nohdr", "-me", "out3", "g.grb"});
  const auto indexed = run({"-me", "out3", "g.grb"});
  EXPECT_EQ(indexed.out, searched.out);
  // A grid picked by number is the same through the index as by searching.
  const auto picked = run({"-me", "out3", "g.grb#2"});
  EXPECT_NE(picked.out.find("  2: "), std::string::npos) << picked.out;
  EXPECT_NE(picked.out.find("Variable: RH "), std::string::npos) << picked.out;
  EXPECT_EQ(run({"-pa", "nohdr", "-me", "out3", "g.grb#2"}).out, picked.out);

  // New products arrive; the index is extended and the numbering goes on.
  grib_of(6);
  r = run({"-ou", "hdrfile", "-pf", "app", "-me", "out2", "g.grb"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Appending to header file: g.grb.hdr\nScanning for end of header file...\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("   2:  " + std::to_string(offsets_[2])), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  4: "), std::string::npos);  // the first new grid
  EXPECT_EQ(r.out.find("  3: "), std::string::npos);
  EXPECT_NE(r.out.find("  6: "), std::string::npos);
  index = lines(kvztest::read_file(dir.file("g.grb.hdr")));
  ASSERT_EQ(index.size(), 6u);
  EXPECT_EQ(std::stol(index[5]), static_cast<long>(offsets_[5]));
}

TEST_F(HeaderModeTest, AppendingAfterALaterFieldOfAMessage) {
  const std::string sample = kvztest::sample_file("gfs.grb");
  if (sample.empty()) GTEST_SKIP() << "test data not present";
  const std::string whole = kvztest::read_file(sample);
  // Its fourth message holds grids 3 and 4 (u and v); the file first ends after it.
  size_t end = 0;
  for (int m = 0; m < 4; ++m) end = whole.find("GRIB", end + 1);
  ASSERT_NE(end, std::string::npos);
  dir.write("u.grb", whole);
  ASSERT_EQ(run({"-ou", "hdrfile", "u.grb"}).status, 0);
  const std::string fresh = kvztest::read_file(dir.file("u.grb.hdr"));
  ASSERT_EQ(lines(fresh).size(), 344u);

  std::remove(dir.file("u.grb.hdr").c_str());
  dir.write("u.grb", whole.substr(0, end));
  ASSERT_EQ(run({"-ou", "hdrfile", "u.grb"}).status, 0);
  ASSERT_EQ(lines(kvztest::read_file(dir.file("u.grb.hdr"))).size(), 5u);
  dir.write("u.grb", whole);
  const auto r = run({"-ou", "hdrfile", "-pf", "app", "u.grb"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  // The extended index is the index of the whole file: no grid lost or repeated.
  EXPECT_EQ(kvztest::read_file(dir.file("u.grb.hdr")), fresh);
}

TEST_F(HeaderModeTest, SourceFormsAndDeclinedOverwrite) {
  if (offsets_.size() < 7) GTEST_SKIP() << "generated test data not present";
  // A product from a centre other than 7 keeps its source in the line, unless "nosrc".
  std::string ecmwf = kvztest::read_file(std::string(KVZ_TESTDATA) +
                                         "/usr/share/doc/python-grib-doc/examples/regular_latlon_surface.grib1");
  dir.write("e.grb", ecmwf);
  run({"-ou", "hdrfile", "e.grb"});
  EXPECT_NE(kvztest::read_file(dir.file("e.grb.hdr")).find(" / 98:"), std::string::npos);
  run({"-ou", "hdrfile", "-pf", "over", "-pa", "nosrc", "e.grb"});
  EXPECT_EQ(kvztest::read_file(dir.file("e.grb.hdr")).find(" / 98:"), std::string::npos);
  // Batch mode never overwrites an index without being told: it is kept and grids are listed.
  const std::string before = kvztest::read_file(dir.file("e.grb.hdr"));
  const auto r = run({"-ba", "-ou", "hdrfile", "e.grb"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(kvztest::read_file(dir.file("e.grb.hdr")), before);
}

TEST_F(HeaderModeTest, UnwritableIndexEndsWithStatus12) {
  if (offsets_.size() < 7) GTEST_SKIP() << "generated test data not present";
  grib_of(1);
  ASSERT_EQ(system(("mkdir -p '" + dir.file("g.grb.hdr") + "'").c_str()), 0);  // a directory in its place
  const auto r = run({"-ou", "hdrfile", "-pf", "over", "g.grb"});
  EXPECT_EQ(r.status, 12);
  EXPECT_EQ(r.err, "Unable to write to header file: g.grb.hdr\n");
}

}  // namespace
