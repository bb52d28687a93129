// Tests of variable selections: names and numbers looked up in the
// variable table, ensemble members and statistics, grid math function words
// and the choice of the data type.
#include <string>

#include "naming_fixture.h"

namespace {

constexpr int M = -9999;

class SpecVariable : public NamingTest {
 protected:
  void SetUp() override {
    NamingTest::SetUp();
    table("variable.lup",
          "11 t Temperature\n"
          "7 hgt Geopotential height\n"
          "33,34 uv Wind components\n"
          "11 tmp Second temperature line\n"
          "52 rh A relative humidity description longer than twenty\n");
  }
};

struct VarCase {
  const char *text;
  int var;
};

TEST_F(SpecVariable, NamesNumbersAndEnsembles) {
  const VarCase cases[] = {
      {"t", 11},                  {"T", 11},                  {"+t", 11},
      {"hgt", 7},                 {"11", 11},                 {"thick-hgt", 7},
      {"ens[+2]t", 19342011},     {"ens[-1]t", 19321011},     {"ens[3]t", 19300011},
      {"ens[12]t", 19300011},     {"ens[c]t", 19300000},      {"ensmean[]t", 19000011},
      {"ensdev[]hgt", 19001007},  {"ensmean[t", 19000000},    {"thick-ens[-1]t", 19321011},
      {"xyz", 0},                 {"999", 999},               {"Ens[+2]t", 0},
  };
  for (const VarCase &c : cases) {
    GridSpec wanted;
    EXPECT_EQ(VAR_dec_var(c.text, &wanted), c.var) << c.text;
    EXPECT_EQ(wanted.var[0], c.var) << c.text;
    EXPECT_EQ(wanted.var[1], M) << c.text;
  }
}

TEST_F(SpecVariable, TextAndGroups) {
  GridSpec wanted;
  EXPECT_EQ(VAR_dec_var("uv", &wanted), 33);
  const int uv[5] = {33, 34, M, M, M};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(wanted.var[i], uv[i]);
  EXPECT_STREQ(wanted.text, "uv");

  GridSpec by_number;
  EXPECT_EQ(VAR_dec_var("11", &by_number), 11);
  EXPECT_STREQ(by_number.text, "Temperature");  // the first line with the number
  EXPECT_EQ(VAR_dec_var("52", &by_number), 52);
  EXPECT_STREQ(by_number.text, "A relative humidity");  // cut at the field

  GridSpec longer;
  EXPECT_EQ(VAR_dec_var("a-variable-text-of-forty-characters-long", &longer), 0);
  EXPECT_EQ(std::string(longer.text), "a-variable-text-of-");
}

TEST_F(SpecVariable, SpecialTexts) {
  GridSpec wanted;
  EXPECT_EQ(VAR_dec_var("#3", &wanted), 1);
  EXPECT_EQ(wanted.data_type, 40);
  EXPECT_EQ(wanted.var[0], M);

  GridSpec empty;
  EXPECT_EQ(VAR_dec_var("", &empty), 0);
  EXPECT_EQ(empty.data_type, 2);
  EXPECT_EQ(empty.var[0], M);
  EXPECT_EQ(VAR_dec_var(nullptr, nullptr), 0);
}

struct TypeCase {
  int plot;   // program flag 11
  int fl;
  const char *text;
  int before;
  int data_type;
};

TEST_F(SpecVariable, DataTypeFromPlotTypeAndFl) {
  const TypeCase cases[] = {
      {M, 0, "t", M, 2},         {M, 0, "t", 5, 5},        {14, 0, "t", M, 14},
      {22, 0, "t", M, 22},       {18, 0, "t", M, 2},       {10, 0, "t", M, 2},
      {M, 6, "t", M, 10},        {18, 16, "t", M, 18},     {M, 2, "thick-hgt", M, 10},
      {M, 2, "wind-uv", M, 20},  {M, 2, "strm-uv", M, 23}, {11, 2, "thick-hgt", M, 11},
      {M, 2, "Thick-hgt", M, 2}, {M, 0, "thick-hgt", M, 2}, {M, -16, "t", M, 10},
  };
  for (const TypeCase &c : cases) {
    FLAG_set(11, c.plot);
    GridSpec wanted;
    wanted.fl = c.fl;
    wanted.data_type = c.before;
    VAR_dec_var(c.text, &wanted);
    EXPECT_EQ(wanted.data_type, c.data_type) << c.plot << " " << c.fl << " " << c.text;
  }
}

TEST(SpecMathFunc, FunctionWords) {
  EXPECT_EQ(GRD_is_math_func("thick-hgt"), 10);
  EXPECT_EQ(GRD_is_math_func("Thick-hgt"), 0);
  EXPECT_EQ(GRD_is_math_func("wind-uv"), 20);
  EXPECT_EQ(GRD_is_math_func("vect-uv"), 21);
  EXPECT_EQ(GRD_is_math_func("stream-uv"), 23);
  EXPECT_EQ(GRD_is_math_func("log10-x"), 10);
  EXPECT_EQ(GRD_is_math_func("adv"), 10);
  EXPECT_EQ(GRD_is_math_func("hgt"), 0);
  EXPECT_EQ(GRD_is_math_func("-hgt"), 0);
  EXPECT_EQ(GRD_is_math_func("thickness-hgt"), 0);
  EXPECT_EQ(GRD_is_math_func(nullptr), 0);
}

TEST_F(SpecVariable, ShippedTableNames) {
  use_shipped_tables();
  GridSpec wanted;
  EXPECT_EQ(VAR_dec_var("HGT", &wanted), 7);
  EXPECT_EQ(VAR_dec_var("tmp", &wanted), 11);
  EXPECT_EQ(VAR_dec_var("ensmean[]UGRD", &wanted), 19000033);
}

}  // namespace
