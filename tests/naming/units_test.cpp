// Tests of the units conversion: factors written in units texts, table
// conversions and the kept last conversion, a missing table, the shipped
// table, and the units part of description labels.
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "files/files.h"
#include "naming_fixture.h"

namespace {

class Units : public NamingTest {
 protected:
  void SetUp() override {
    NamingTest::SetUp();
    UNIT_reset();
  }
  void TearDown() override {
    UNIT_reset();
    NamingTest::TearDown();
  }
  void units_table(const std::string &text) {
    table("units.lup", text);
    UNIT_reset();
  }
};

struct CvtCase {
  float value;
  const char *from;
  const char *to;
  float expected;
};

void expect_conversions(const CvtCase *begin, const CvtCase *end) {
  for (const CvtCase *c = begin; c != end; ++c) {
    EXPECT_NEAR(UNIT_cvt(c->value, c->from, c->to), c->expected, 1e-3 * (1 + std::fabs(c->expected)))
        << c->value << " " << c->from << " -> " << c->to;
  }
}

TEST_F(Units, FactorsAndTableEntries) {
  units_table(
      "# conversions\n"
      "K degC -273.15   # a comment that is not an entry start is a token\n"
      "degC degF *1.8+32\n"
      "# skipped line K degF *1 \n"
      "degF degC *0.5555556-17.777778\n"
      "Pa hPa *0.01\n"
      "m^2/s^2 gpm *0.10197\n"
      "m_per_s kt *1.9438445\n");
  const CvtCase cases[] = {
      {-9999, "K", "degC", -9999},     {5, "m", "M", 5},               {5, "m", "", 5},
      {5, "", "", 5},                  {1000, "100 Pa", "Pa", 100000}, {3, "10^3_m", "m", 3000},
      {3, "10^3 m", "m", 3000},        {3, "m", "10^3 m", 0.003f},     {4, "-", "", 4},
      {4, "- m", "m", -4},             {300, "K", "degC", 26.85f},     {300, "k", "DEGC", 26.85f},
      {100, "degC", "degF", 212},      {212, "degF", "degC", 100},     {101325, "Pa", "hPa", 1013.25f},
      {1013.25f, "hPa", "100 Pa", 10.1325f},  // not listed  {10, "m_per_s", "kt", 19.438445f},
      {10, "m per s", "kt", 19.438445f},      {1, "degC", "K", 1},    // not listed: factors alone
      {50, ".1 degC", "degF", 41},     {2, "0 m", "m", 2},
  };
  expect_conversions(std::begin(cases), std::end(cases));
}

TEST_F(Units, KeptConversionSurvivesFactorOnlyPairs) {
  units_table("K degC -273.15\nPa hPa *0.01\n");
  EXPECT_NEAR(UNIT_cvt(300, "K", "degC"), 26.85f, 1e-3);
  EXPECT_NEAR(UNIT_cvt(10, "100 Pa", "Pa"), 1000, 1e-3);  // factors only: the kept pair stays
  EXPECT_NEAR(UNIT_cvt(300, "K", "degC"), 26.85f, 1e-3);
  EXPECT_NEAR(UNIT_cvt(500, "100 Pa", "hPa"), 500, 1e-3);  // a new table pair
  EXPECT_NEAR(UNIT_cvt(1000, "100 Pa", "hPa"), 1000, 1e-3);
  EXPECT_NEAR(UNIT_cvt(273.15f, "K", "degC"), 0, 1e-3);
}

TEST_F(Units, TableIsReadOnce) {
  units_table("K degC -273.15\n");
  EXPECT_NEAR(UNIT_cvt(300, "K", "degC"), 26.85f, 1e-3);
  dir.write("units.lup", "K degC *2\n");
  EXPECT_NEAR(UNIT_cvt(300, "K", "degC"), 26.85f, 1e-3);
  EXPECT_NEAR(UNIT_cvt(1, "Pa", "hPa"), 1, 1e-6);  // a pair the kept table does not list
}

TEST_F(Units, MissingTableKeepsTheValues) {
  MESS_set(1, 0x80000000);
  testing::internal::CaptureStdout();
  EXPECT_NEAR(UNIT_cvt(300, "K", "degC"), 300, 1e-3);
  EXPECT_NEAR(UNIT_cvt(301, "K", "degC"), 301, 1e-3);  // kept: no second attempt
  EXPECT_NEAR(UNIT_cvt(3, "10 K", "degC"), 30, 1e-3);  // a new pair tries again
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string message = "Unable to open units file: " + dir.file("units.lup") + "\n";
  EXPECT_EQ(out, message + message);

  dir.write("units.lup", "K degC -273.15\n");
  EXPECT_NEAR(UNIT_cvt(30, "10 K", "degC"), 300, 1e-3);  // still the kept pair
  EXPECT_NEAR(UNIT_cvt(300, "K", "degC"), 26.85f, 1e-3);  // found by the next pair that needs it
}

// Every conversion of the shipped table has its inverse, and the pair gives
// the value back.
TEST_F(Units, ShippedTableRoundTrips) {
  use_shipped_tables();
  std::ifstream in(KVZ_SOURCE_DIR "/etc/units.lup");
  ASSERT_TRUE(in.good());
  std::vector<std::pair<std::string, std::string>> pairs;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string from, to, cvt;
    ASSERT_TRUE(static_cast<bool>(fields >> from >> to >> cvt)) << line;
    EXPECT_LE(from.size(), 14u) << line;
    EXPECT_LE(to.size(), 14u) << line;
    pairs.emplace_back(from, to);
  }
  ASSERT_GT(pairs.size(), 50u);
  for (const auto &p : pairs) {
    const float there = UNIT_cvt(123.5f, p.first.c_str(), p.second.c_str());
    const float back = UNIT_cvt(there, p.second.c_str(), p.first.c_str());
    EXPECT_NEAR(back, 123.5f, 2e-3) << p.first << " <-> " << p.second;
  }
}

TEST_F(Units, ShippedTableValues) {
  use_shipped_tables();
  const CvtCase cases[] = {
      {273.15f, "K", "degC", 0},      {273.15f, "K", "degF", 32},    {32, "degF", "K", 273.15f},
      {-40, "degC", "degF", -40},     {100, "degC", "K", 373.15f},   {250, ".1 C", "degF", 77},
      {101325, "Pa", "mb", 1013.25f}, {1013.25f, "hPa", "inHg", 29.92f}, {29.92f, "inHg", "mb", 1013.2f},
      {5640, "gpm", "dam", 564},      {1000, "ft", "m", 304.8f},     {300, "m", "ft", 984.252f},
      {10, "m/s", "kt", 19.438f},     {10, "kt", "km/h", 18.52f},    {60, "mph", "m/s", 26.822f},
      {36, "km/h", "m/s", 10},        {25.4f, "kg/m^2", "in", 1},    {1, "in", "mm", 25.4f},
      {1, "kg/m^2/s", "mm/h", 3600},  {50, "%", "fraction", 0.5f},   {0.01f, "kg/kg", "g/kg", 10},
      {2, "10^3 m", "km", 2},         {5, "dam", "m", 50},
  };
  expect_conversions(std::begin(cases), std::end(cases));
}

TEST_F(Units, LabelUnits) {
  char name[50];
  char units[50];
  struct ParseCase {
    const char *label;
    const char *name;
    const char *units;
  };
  const ParseCase cases[] = {
      {"500 mb Temperature (K)", "500 mb Temperature", "K"},
      {"  Height  (gpm) rest", "Height", "gpm"},
      {"Temperature", "Temperature", ""},
      {"Open (K", "Open", "K"},
      {"(K)", "", "K"},
      {"", "", ""},
  };
  for (const ParseCase &c : cases) {
    EXPECT_EQ(UNIT_parse(c.label, name, units), 0);
    EXPECT_STREQ(name, c.name) << c.label;
    EXPECT_STREQ(units, c.units) << c.label;
  }
  char small[6];
  char tiny[2];
  UNIT_parse("Temperature (kg/m^2/s)", small, tiny);
  EXPECT_STREQ(small, "Tempe");
  EXPECT_STREQ(tiny, "k");
}

TEST_F(Units, LabelChange) {
  char label[70] = "500 mb Temperature (K)";
  UNIT_change(label, "degC");
  EXPECT_STREQ(label, "500 mb Temperature (degC)");

  char bare[70] = "Temperature  ";
  UNIT_change(bare, "degF");
  EXPECT_STREQ(bare, "Temperature (degF)");

  char none[70] = "Temperature (K)";
  UNIT_change(none, "");
  EXPECT_STREQ(none, "Temperature");

  // A name longer than 49 characters keeps all of it.
  const std::string name = "6 hour acc Surface Convective precipitation rate ab";
  char full[70];
  copy_text(full, (name + " (kg/m^2/s)").c_str());
  UNIT_change(full, "mm/h");
  EXPECT_EQ(std::string(full), name + " (mm/h)");

  char cut[12] = "Height (m)";
  UNIT_change(cut, "kilometres");
  EXPECT_STREQ(cut, "Height (kil");
}

}  // namespace
