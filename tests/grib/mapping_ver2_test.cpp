// Edition 2 parameter lookup in the parameter table "grib2_var.lup".
#include <gtest/gtest.h>

#include <string>

#include "../test_support.h"
#include "config/config.h"
#include "grib/grib.h"

namespace {

// The same list as the label tests: the variable list is read once per process.
constexpr const char *kVariables =
    "7 hgt Geopotential height\n"
    "11 t Temperature\n"
    "52 rh Relative humidity\n"
    "61 apcp Total precipitation\n";

class MappingVer2 : public ::testing::Test {
 protected:
  void SetUp() override {
    RES_reset();
    MESS_reset();
    dir.write("variable.lup", kVariables);
    RES_put("file_path", dir.path().c_str());
  }
  void TearDown() override { MESS_reset(); }
  void table(const std::string &text) { dir.write("grib2_var.lup", text); }

  kvztest::TempDir dir;
};

TEST_F(MappingVer2, InitialisedParamIsEmpty) {
  GribParam p;
  p.abbr[0] = 'x';
  EXPECT_EQ(GribParam_init(&p), 1);
  for (int v : {p.var, p.centre, p.discipline, p.category, p.number}) EXPECT_EQ(v, -9999);
  EXPECT_STREQ(p.abbr, "");
  EXPECT_STREQ(p.units, "");
  EXPECT_STREQ(p.desc, "");
}

TEST_F(MappingVer2, FirstMatchingLineWinsWithCentreZeroForAny) {
  table("# centre disc cat num abbr units description\n"
        "7 0 0 0 hgt K centre seven only\n"
        "0 0 0 0 t K Temperature\n"
        "0 0 0 0 rh % never reached\n"
        "0 0 1 1 rh % Relative humidity\n");
  const struct {
    int centre, discipline, category, number, var;
    const char *abbr, *units, *desc;
  } cases[] = {
      {98, 0, 0, 0, 11, "t", "K", "Temperature"},
      {7, 0, 0, 0, 7, "hgt", "K", "centre seven only"},
      {54, 0, 1, 1, 52, "rh", "%", "Relative humidity"},
  };
  for (const auto &c : cases) {
    const GribParam p = GRIB_get_ver2_param(c.centre, c.discipline, c.category, c.number);
    EXPECT_EQ(p.var, c.var) << c.centre;
    EXPECT_STREQ(p.abbr, c.abbr);
    EXPECT_STREQ(p.units, c.units);
    EXPECT_STREQ(p.desc, c.desc);
    EXPECT_EQ(p.discipline, c.discipline);
    EXPECT_EQ(p.category, c.category);
    EXPECT_EQ(p.number, c.number);
  }
}

TEST_F(MappingVer2, UnmatchedParameterGetsCompositeCodeAndTrace) {
  table("0 0 0 0 t K Temperature\n");
  MESS_set(1, 0x40000000);
  testing::internal::CaptureStdout();
  const GribParam p = GRIB_get_ver2_param(7, 0, 1, 8);
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(p.var, 1008);
  EXPECT_STREQ(p.abbr, "");
  EXPECT_EQ(out, "get_ver2_param 7 0 1 8\nVER2: 7 0 1 8\nGPARAM:   1008\n");
  MESS_reset();
  EXPECT_EQ(GRIB_get_ver2_param(7, 10, 3, 192).var, 10003192);
}

TEST_F(MappingVer2, MatchedParameterTrace) {
  table("0 0 0 0 t K Temperature\n");
  MESS_set(1, 0x40000000);
  testing::internal::CaptureStdout();
  GRIB_get_ver2_param(7, 0, 0, 0);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "get_ver2_param 7 0 0 0\nGPARAM: t K 11\n");
}

TEST_F(MappingVer2, AbbreviationMissingFromVariableListGetsCompositeCode) {
  table("0 0 2 2 uwnd m/s U wind\n"
        "0 0 2 3 vwnd m/s V wind\n");
  const GribParam u = GRIB_get_ver2_param(7, 0, 2, 2);
  const GribParam v = GRIB_get_ver2_param(7, 0, 2, 3);
  EXPECT_EQ(u.var, 2002);
  EXPECT_EQ(v.var, 2003);
  EXPECT_STREQ(u.units, "m/s");  // the line still gives its units
}

TEST_F(MappingVer2, MissingTableGivesMissingVarAndIsLookedForAgain) {
  MESS_set(1, 0x40000000);
  testing::internal::CaptureStdout();
  EXPECT_EQ(GRIB_get_ver2_param(7, 0, 0, 0).var, -9999);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");  // not reported
  MESS_reset();
  table("0 0 0 0 t K Temperature\n");
  EXPECT_EQ(GRIB_get_ver2_param(7, 0, 0, 0).var, 11);
}

TEST_F(MappingVer2, TableIsKeptAndFollowsTheFilePath) {
  table("0 0 0 0 t K Temperature\n");
  EXPECT_EQ(GRIB_get_ver2_param(7, 0, 0, 0).var, 11);
  table("0 0 0 0 hgt m changed after the first read\n");
  EXPECT_EQ(GRIB_get_ver2_param(7, 0, 0, 0).var, 11);  // read once and kept

  kvztest::TempDir other;
  other.write("variable.lup", kVariables);
  other.write("grib2_var.lup", "0 0 0 0 rh % Relative humidity\n");
  RES_put("file_path", other.path().c_str());
  EXPECT_EQ(GRIB_get_ver2_param(7, 0, 0, 0).var, 52);
}

TEST_F(MappingVer2, MalformedAndLongLinesAreSafe) {
  const std::string long_abbr(40, 'a');
  const std::string long_desc(300, 'd');
  table("0 0 0\n"                       // too few fields: not a parameter line
        "\n"
        "0 0 0 0\n"                     // no abbreviation: must not take a stale one
        "0 0 0 1 " + long_abbr + " K " + long_desc + "\n"
        "0 0 0 2 t\n");                 // no units or description
  const GribParam p = GRIB_get_ver2_param(7, 0, 0, 0);
  EXPECT_EQ(p.var, 0);
  EXPECT_STREQ(p.abbr, "");
  const GribParam q = GRIB_get_ver2_param(7, 0, 0, 1);
  EXPECT_EQ(std::string(q.abbr), long_abbr.substr(0, 19));
  EXPECT_LE(std::string(q.desc).size(), 79u);
  const GribParam r = GRIB_get_ver2_param(7, 0, 0, 2);
  EXPECT_EQ(r.var, 11);
  EXPECT_STREQ(r.units, "");
}

}  // namespace
