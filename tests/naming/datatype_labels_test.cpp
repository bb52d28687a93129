// Tests of the full description labels of grids: level and time words,
// variable description and units, the cut at the label's field size, and the
// labels made with the shipped tables.
#include <string>

#include "naming_fixture.h"

namespace {

using NamingLabels = NamingTest;

std::string datatype(int time, int ltype, int level, int var, const char *units) {
  char info[70];
  EXPECT_EQ(VAR_make_datatype(time, ltype, level, var, units, info), 0);
  return info;
}

TEST_F(NamingLabels, FullLabelsJoinLevelTimeAndVariable) {
  table("variable.lup", "11 TMP Temperature\n61 APCP Total precipitation\n7 HGT " + std::string(49, 'h') + "\n");
  EXPECT_EQ(datatype(12, 100, 500, 11, "K"), "500 mb Temperature (K)");
  EXPECT_EQ(datatype(4006012, 1, 0, 61, "kg/m^2"), "6 hour acc Surface Total precipitation (kg/m^2)");
  EXPECT_EQ(datatype(0, 0, 0, 11, ""), "Temperature");
  EXPECT_EQ(datatype(0, -9999, 0, 19000011, nullptr), "Temperature");
  EXPECT_EQ(datatype(0, 105, 2, 99, "K"), "2 m AG v99 (K)");
  // 69 characters at most: "1000-500 mb " and the description fill the field.
  const std::string cut = datatype(0, 101, 510, 7, "gpm/s^2");
  EXPECT_EQ(cut, "1000-500 mb " + std::string(49, 'h') + " (gpm/s^");
  EXPECT_EQ(cut.size(), 69u);
  EXPECT_EQ(VAR_make_datatype(0, 1, 0, 11, "K", nullptr, 70), -1);
  EXPECT_EQ(VAR_set_model_str("a model text longer than twenty"), 0);
}

TEST_F(NamingLabels, LabelsWithTheShippedTables) {
  use_shipped_tables();
  EXPECT_EQ(datatype(12, 100, 500, 7, "gpm"), "500 mb Geopotential height (gpm)");
  EXPECT_EQ(datatype(0, 105, 2, 11, "K"), "2 m AG Temperature (K)");
  EXPECT_EQ(datatype(4000006, 1, 0, 61, "kg/m^2"), "6 hour acc Surface Total precipitation (kg/m^2)");
  char abbr[10];
  EXPECT_STREQ(VAR_abbr(abbr, 2), "PRMSL");
  EXPECT_STREQ(VAR_abbr(abbr, 571), "ELON");
  EXPECT_STREQ(VAR_abbr(abbr, 491), "REFC");
}

}  // namespace
