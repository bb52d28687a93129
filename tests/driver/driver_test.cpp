// The program run as a user runs it: help, the banner, opening a grid file,
// the failure status, and where its settings come from.
#include <gtest/gtest.h>

#include "../test_support.h"

using kvztest::run_program;

namespace {

class DriverTest : public ::testing::Test {
 protected:
  // An empty definition directory, so no installed configuration interferes,
  // and the shipped tables, as an installation has them.
  std::vector<std::string> env() const {
    return {"kvzdefault=" + dir.path(), "kvzfile=" + std::string(KVZ_SOURCE_DIR) + "/etc/"};
  }
  kvztest::TempDir dir;
};

TEST_F(DriverTest, HelpListsEveryOptionInOrder) {
  const auto r = run_program({"-h"}, env());
  EXPECT_EQ(r.status, 0);
  const std::string expected_start =
      "rudevodu: This program parses model grib file and displays\n"
      "   information on each grid\n"
      "rudevodu syntax (version:";
  EXPECT_EQ(r.out.substr(0, expected_start.size()), expected_start);
  const char *order[] = {"-df file", "-na name", "-h ", "-ba ", "-me level", "-fp path", "-dp path",
                         "-cp path", "-gp path", "-rp path", "-ip path", "-wp path", "-tp path",
                         "-mp path", "-sp path", "-nc type", "-if type", "-of type", "-pf param",
                         "-in type", "-ou type", "-cu [hour]", "-ho hour", "-nh hour[,step]",
                         "-mo model", "-gn number", "-gt number", "-pa param[,...]",
                         "Positional options...", "file [file...]  Input file names"};
  size_t at = 0;
  for (const char *o : order) {
    const size_t found = r.out.find(o, at);
    ASSERT_NE(found, std::string::npos) << o;
    at = found;
  }
  EXPECT_EQ(r.out.find("GRID FILE PARSER"), std::string::npos);  // help ends the run before the banner
}

TEST_F(DriverTest, HelpByAbbreviationAndEnvironment) {
  EXPECT_EQ(run_program({"-help"}, env()).status, 0);
  auto e = env();
  e.push_back("kvzhelp=1");
  const auto r = run_program({}, e);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("syntax"), std::string::npos);
}

TEST_F(DriverTest, MissingFileEndsWithStatus12) {
  const auto r = run_program({"missing.grb"}, env(), dir.path());
  EXPECT_EQ(r.status, 12);
  EXPECT_EQ(r.err, "Unable to open grid file:missing.grb\n");
  EXPECT_NE(r.out.find("GRID FILE PARSER (Ver "), std::string::npos);
}

TEST_F(DriverTest, UnknownKindEndsWithStatus12) {
  dir.write("notes.txt", "hello, this is no grid file\n");
  const auto r = run_program({"notes.txt"}, env(), dir.path());
  EXPECT_EQ(r.status, 12);
  EXPECT_EQ(r.err, "Unable to open grid file:notes.txt\n");
}

TEST_F(DriverTest, OpensAGribFileBehindText) {
  std::string bytes(150, 'x');
  bytes += "GRIB";
  bytes += std::string(40, '\0');
  dir.write("feed.grb", bytes);
  const auto r = run_program({"feed.grb"}, env(), dir.path());
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, std::string("      GRID FILE PARSER (Ver ") + r.out.substr(28, r.out.find(')') - 28) +
                       ")\n\nReading from grid file:feed.grb\n");
  // The product behind the text has no length: it is reported and is no grid.
  EXPECT_EQ(r.err.rfind("feed.grb: grid 0: Damaged GRIB product at offset 150", 0), 0u) << r.err;
}

TEST_F(DriverTest, MessageLevelSources) {
  dir.write("x.grb", "GRIB");
  // Default: the banner and the progress line show.
  EXPECT_NE(run_program({"x.grb"}, env(), dir.path()).out.find("Reading from"), std::string::npos);
  // Batch mode lowers the level below mess.
  EXPECT_EQ(run_program({"-ba", "x.grb"}, env(), dir.path()).out, "");
  // An explicit level wins over batch mode, from any source.
  auto e = env();
  e.push_back("kvzmess=mess");
  EXPECT_NE(run_program({"-ba", "x.grb"}, e, dir.path()).out.find("Reading from"), std::string::npos);
  dir.write("kvz.cfg", "*message: print\n");
  EXPECT_EQ(run_program({"x.grb"}, env(), dir.path()).out, "");
  dir.write("kvz.cfg", "*message print\nrudevodu.message mess\n");
  EXPECT_NE(run_program({"x.grb"}, env(), dir.path()).out.find("Reading from"), std::string::npos);
  e.back() = "kvzmess=print";
  EXPECT_EQ(run_program({"x.grb"}, e, dir.path()).out, "");
  EXPECT_NE(run_program({"-me", "mess", "x.grb"}, e, dir.path()).out.find("Reading from"), std::string::npos);
  // "none" silences even failures.
  const auto quiet = run_program({"-me", "none", "missing.grb"}, env(), dir.path());
  EXPECT_EQ(quiet.status, 12);
  EXPECT_EQ(quiet.err, "");
}

TEST_F(DriverTest, RealSampleFileOpens) {
  const std::string f = kvztest::sample_file("gfs.grb");
  if (f.empty()) GTEST_SKIP() << "test data not installed";
  const auto r = run_program({"-me", "mess", f}, env());
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Reading from grid file:" + f + "\n"), std::string::npos);
}

TEST_F(DriverTest, PromptsForAFileName) {
  dir.write("x.grb", "GRIB");
  const auto r = run_program({}, env(), dir.path(), "nofile\nx.grb\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("Enter the grid filename: "), std::string::npos);
  EXPECT_EQ(r.err, "File not found: nofile\n");
  EXPECT_NE(r.out.find("Reading from grid file:x.grb"), std::string::npos);
  EXPECT_EQ(run_program({}, env(), dir.path(), "exit\n").status, 0);
}

}  // namespace
