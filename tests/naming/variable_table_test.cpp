// Tests of the variable table: reading "variable.lup" into entries, searching
// by abbreviation, by whole code and by variable number, and the behaviour
// while the table is missing.
#include <string>

#include "naming_fixture.h"

namespace {

constexpr int M = -9999;

const std::string small_table =
    "# variables\n"
    "12,-9999 t Temperature\n"
    "7 HGT   Geopotential height  \r\n"
    "lonely\n"
    "33,34,35,36,37,38 uv Wind components\n"
    "52 RH\n"
    "7 hght Height, second line\n"
    "800 AVERYLONGABBR " + std::string(60, 'd') + "\n";

std::string abbr(int var) {
  char buf[10];
  return VAR_abbr(buf, var);
}

std::string str(int var, const char *units) {
  char buf[80];
  return VAR_str(buf, var, units);
}

TEST_F(NamingTest, VariableTableLinesBecomeEntries) {
  table("variable.lup", small_table);
  EXPECT_EQ(VAR_read_varfile(), 1);
  const std::vector<VarEntry> &list = VAR_var_list();
  ASSERT_EQ(list.size(), 6u);  // the comment and the one-word line make no entry

  const int first[5] = {12, M, M, M, M};
  const int wind[5] = {33, 34, 35, 36, 37};  // a sixth number is ignored
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(list[0].num[i], first[i]);
    EXPECT_EQ(list[2].num[i], wind[i]);
  }
  EXPECT_STREQ(list[0].abbr, "t");
  EXPECT_STREQ(list[0].desc, "Temperature");
  EXPECT_STREQ(list[1].desc, "Geopotential height");  // blanks and carriage return removed
  EXPECT_STREQ(list[3].abbr, "RH");
  EXPECT_STREQ(list[3].desc, "");
  EXPECT_STREQ(list[5].abbr, "AVERYLONG");
  EXPECT_EQ(std::string(list[5].desc), std::string(49, 'd'));
}

TEST_F(NamingTest, VariableLookupsTakeTheFirstMatch) {
  table("variable.lup", small_table);
  EXPECT_EQ(VAR_search_var_num("T"), 12);
  EXPECT_EQ(VAR_search_var_num("hgt"), 7);
  EXPECT_EQ(VAR_search_var_num("HGHT"), 7);
  EXPECT_EQ(VAR_search_var_num("tmp"), 0);
  EXPECT_EQ(VAR_search_var_num(nullptr), 0);

  EXPECT_EQ(abbr(7), "HGT");
  EXPECT_EQ(str(7, "gpm"), "Geopotential height (gpm)");
  EXPECT_EQ(str(12, ""), "Temperature");
  EXPECT_EQ(str(12, nullptr), "Temperature");
}

TEST_F(NamingTest, EnsembleCodesHaveNoAbbreviationButTheirVariablesDescription) {
  table("variable.lup", small_table);
  MESS_set_str("+debugc");
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  EXPECT_EQ(abbr(19000012), "");
  EXPECT_EQ(str(19000012, "K"), "Temperature (K)");
  EXPECT_EQ(str(19342007, ""), "Geopotential height");
  EXPECT_EQ(str(99, "K"), "v99 (K)");
  EXPECT_EQ(str(1008, ""), "v8");
  const std::string out = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
  EXPECT_NE(out.find("VAR_abbr: no var: 19000012\n"), std::string::npos) << out;
  EXPECT_NE(out.find("VAR_str: no var: 99\n"), std::string::npos) << out;
}

TEST_F(NamingTest, VariableTableKeepsAtMost750Entries) {
  std::string text;
  for (int i = 1; i <= 760; ++i) text += std::to_string(i) + " V" + std::to_string(i) + " Variable\n";
  table("variable.lup", text);
  EXPECT_EQ(VAR_var_list().size(), 750u);
  EXPECT_EQ(abbr(750), "V750");
  EXPECT_EQ(abbr(751), "");
}

TEST_F(NamingTest, MissingVariableTableIsReportedAndTriedAgain) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(VAR_read_varfile(), 0);
  EXPECT_EQ(str(12, "K"), "v12 (K)");
  EXPECT_EQ(abbr(12), "");
  EXPECT_EQ(VAR_search_var_num("t"), 0);
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string message = "VAR_read_varfile: Unable to open file: " + dir.file("variable.lup") + "\n";
  EXPECT_NE(err.find(message + message), std::string::npos) << err;

  dir.write("variable.lup", small_table);
  EXPECT_EQ(abbr(12), "t");
}

}  // namespace
