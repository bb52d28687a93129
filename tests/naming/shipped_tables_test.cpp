// Tests of the lookup tables shipped in etc/: every line of the variable,
// model name and edition 2 parameter tables reads in its line format, and
// edition 2 parameters name the same variables as their edition 1
// counterparts.
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "grib/grib.h"
#include "naming_fixture.h"

namespace {

using ShippedTables = NamingTest;

// The table lines that are not comments.
std::vector<std::string> table_lines(const char *name) {
  std::ifstream in(std::string(KVZ_SOURCE_DIR) + "/etc/" + name);
  EXPECT_TRUE(in.good()) << name;
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] != '#') lines.push_back(line);
  }
  return lines;
}

TEST_F(ShippedTables, EveryLineReads) {
  for (const std::string &line : table_lines("variable.lup")) {
    char numbers[100], abbr[100], desc[100];
    int num = 0;
    EXPECT_EQ(std::sscanf(line.c_str(), "%99s %99s %99[^\n]", numbers, abbr, desc), 3) << line;
    EXPECT_EQ(std::sscanf(numbers, "%d", &num), 1) << line;
    EXPECT_LE(std::string(abbr).size(), 9u) << line;
    EXPECT_LE(std::string(desc).size(), 49u) << line;
  }
  for (const std::string &line : table_lines("mod_name.lup")) {  // an empty line would end the table
    int source = 0, model = 0;
    char name[100] = "";
    const bool with_source = line.find(':') != std::string::npos;
    const int got = with_source ? std::sscanf(line.c_str(), "%d:%d %99[^\n]", &source, &model, name)
                                : std::sscanf(line.c_str(), "%d %99[^\n]", &model, name);
    EXPECT_EQ(got, with_source ? 3 : 2) << line;
    EXPECT_LE(line.size(), 80u) << line;
    EXPECT_LE(std::string(name).size(), 17u) << line;  // whole in date labels
  }
  use_shipped_tables();
  for (const std::string &line : table_lines("grib2_var.lup")) {
    int centre = 0, discipline = 0, category = 0, number = 0;
    char abbr[20], units[30], desc[80];
    EXPECT_EQ(std::sscanf(line.c_str(), "%d %d %d %d %19s %29s %79[^\n]", &centre, &discipline, &category,
                          &number, abbr, units, desc),
              7)
        << line;
    EXPECT_NE(VAR_search_var_num(abbr), 0) << line;  // every abbreviation is a variable
  }
  EXPECT_EQ(VAR_read_varfile(), 1);
  EXPECT_EQ(VAR_var_list().size(), table_lines("variable.lup").size());
}

TEST_F(ShippedTables, EditionTwoParametersNameTheirEditionOneVariables) {
  use_shipped_tables();
  const struct {
    int centre, discipline, category, number;
    int var;
  } cases[] = {
      {7, 0, 0, 0, 11},    {98, 0, 0, 0, 11},   {7, 0, 3, 5, 7},     {7, 0, 2, 2, 33},  {7, 0, 2, 3, 34},
      {7, 0, 1, 1, 52},    {7, 0, 3, 1, 2},     {7, 0, 1, 8, 61},    {7, 0, 3, 192, 130}, {7, 2, 0, 192, 144},
      {7, 10, 0, 3, 100},  {7, 0, 191, 193, 571}, {7, 0, 16, 196, 491}, {98, 0, 3, 192, 3192},  // local: NCEP only
  };
  for (const auto &c : cases) {
    testing::internal::CaptureStdout();
    const GribParam p = GRIB_get_ver2_param(c.centre, c.discipline, c.category, c.number);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(p.var, c.var) << c.centre << " " << c.discipline << "/" << c.category << "/" << c.number;
  }
  EXPECT_EQ(VAR_search_var_num("ELON"), 571);  // the code edition 1 longitudes get
}

}  // namespace
