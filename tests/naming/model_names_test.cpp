// Tests of the model names: which table line names a model key, the end of
// the table at an empty line, over-long lines and names, and the retry when the
// table is missing.
#include <string>

#include "naming_fixture.h"

namespace {

std::string model(int key) {
  char buf[40];
  return VAR_model(buf, key);
}

TEST_F(NamingTest, ModelLineWithTheSourceOrWithoutOne) {
  struct Case {
    const char *table;
    int key;
    const char *name;
  };
  const Case cases[] = {
      {"7:89 NAM\n89 Other\n", 7089, "NAM"},
      {"89 Other\n7:89 NAM\n", 7089, "Other"},  // file order decides
      {"7:84 NAM\n89 Other\n", 7089, "Other"},
      {"7:89 NAM\n", 89, ""},  // a line with a source never names a key without one
      {"7:89 NAM\n89 Other\n", 98089, "Other"},
      {"7:89 NAM\n1000 Big\n", 1000, "Big"},  // 1000 carries no source
      {"# models\nxyz\n7:\n  7:89   NAM  \n", 7089, "NAM"},  // comments and unreadable lines pass
      {"# models\n\n7:89 NAM\n", 7089, ""},  // an empty line ends the table
      {"89 Other\n   \n7:89 NAM\n", 7089, "Other"},
      {"7:89 NAM\r\n", 7089, "NAM"},
      {"7:89 NAM\n", -9999, ""},
  };
  for (const Case &c : cases) {
    table("mod_name.lup", c.table);
    EXPECT_EQ(model(c.key), c.name) << c.table << c.key;
  }
}

// A lookup must not depend on the one before: a key with a source still finds
// its own line after a key without one was named by a source-less line.
TEST_F(NamingTest, ModelLookupsDoNotDependOnEarlierOnes) {
  table("mod_name.lup", "7:89 NAM\n89 Other\n");
  EXPECT_EQ(model(89), "Other");
  EXPECT_EQ(model(7089), "NAM");
  EXPECT_EQ(model(98089), "Other");
  EXPECT_EQ(model(7089), "NAM");
}

TEST_F(NamingTest, ModelNamesAndLinesAreBounded) {
  const std::string long_name(50, 'A');
  // Only the first 80 characters of a line count: the rest is not a line of its own.
  const std::string padded = "7:1 " + std::string(76, 'B') + "7:2 Bogus\n";
  table("mod_name.lup", "7:3 " + long_name + "\n" + padded);
  EXPECT_EQ(model(7003), std::string(39, 'A'));
  EXPECT_EQ(model(7001), std::string(39, 'B'));
  EXPECT_EQ(model(7002), "");
  char small[5];
  EXPECT_STREQ(VAR_model(small, 7003), "AAAA");
  EXPECT_EQ(VAR_model(nullptr, 10, 7003), nullptr);
}

TEST_F(NamingTest, MissingModelTableIsReportedAndTriedAgain) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(model(7089), "");
  EXPECT_EQ(model(7089), "");
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string message = "VAR_model: Unable to open file: " + dir.file("mod_name.lup") + "\n";
  EXPECT_EQ(err, message + message);

  dir.write("mod_name.lup", "7:89 NAM\n");
  EXPECT_EQ(model(7089), "NAM");
}

TEST_F(NamingTest, ShippedModelTableNamesTheCommonModels) {
  use_shipped_tables();
  const struct {
    int key;
    const char *name;
  } cases[] = {
      {7096, "GFS"}, {7084, "NAM"}, {7039, "NGM"}, {7083, "HRRR"}, {7105, "RAP"},
      {7107, "GEFS"}, {98128, "ECMWF"}, {96, "GFS"}, {54089, "NMM"}, {7254, ""},
  };
  for (const auto &c : cases) EXPECT_EQ(model(c.key), c.name) << c.key;
}

}  // namespace
