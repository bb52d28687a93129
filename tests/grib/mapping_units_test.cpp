// Units and variable mapping of GRIB parameters: ECMWF table, edition 0
// parameters and the units of edition 1 variables.
#include <gtest/gtest.h>

#include <string>

#include "config/config.h"
#include "grib/grib.h"
#include "grid/grid.h"

namespace {

GridRecord record(int source, int version, int var) {
  GridRecord rec{};
  rec.source = source;
  rec.version = version;
  rec.var = var;
  rec.ltype = 100;
  rec.level = 500;
  rec.units[0] = 'x';  // stale units must be cleared
  rec.units[1] = '\0';
  return rec;
}

TEST(MappingUnits, EcmwfParametersMapOntoPackageVariables) {
  const struct {
    int param, var;
    const char *units;
    int ltype, level;
  } cases[] = {
      {167, 11, "K", 105, 2},      // 2 m temperature
      {165, 33, "m/s", 105, 10},   // 10 m wind
      {164, 71, "%", 200, 0},      // total cloud cover: whole atmosphere
      {151, 1, "Pa", 102, 500},    // mean sea level pressure keeps the level value
      {130, 11, "K", 100, 500},    // upper-air temperature keeps its level
      {172, 81, "", 100, 500},     // land-sea mask has no units
      {228, 61, "m", 100, 500},
  };
  for (const auto &c : cases) {
    GridRecord rec = record(98, 1, c.param);
    EXPECT_EQ(GRIB_units(&rec), 0);
    EXPECT_EQ(rec.var, c.var) << c.param;
    EXPECT_STREQ(rec.units, c.units) << c.param;
    EXPECT_EQ(rec.ltype, c.ltype) << c.param;
    EXPECT_EQ(rec.level, c.level) << c.param;
  }
}

TEST(MappingUnits, UnknownEcmwfAndEdition0ParametersWarnAndKeepVar) {
  MESS_reset();
  for (const GridRecord &start : {record(98, 1, 200), record(7, 0, 99)}) {
    GridRecord rec = start;
    testing::internal::CaptureStderr();
    GRIB_units(&rec);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Invalid GRIB variable: " + std::to_string(start.var) + "\n");
    EXPECT_EQ(rec.var, start.var);
    EXPECT_STREQ(rec.units, "");
  }
}

TEST(MappingUnits, Edition0Parameters) {
  const struct {
    int param, var;
    const char *units;
  } cases[] = {{1, 1, "hPa"}, {2, 7, "10 m"}, {29, 35, "10^5 m^2/s"}, {61, 80, ".1 C"}, {76, 108, "s"}};
  for (const auto &c : cases) {
    GridRecord rec = record(7, 0, c.param);
    GRIB_units(&rec);
    EXPECT_EQ(rec.var, c.var) << c.param;
    EXPECT_STREQ(rec.units, c.units) << c.param;
  }
}

TEST(MappingUnits, Edition1UnitsByVariable) {
  const struct {
    int source, var;
    const char *units;
  } cases[] = {
      {7, 7, "m"},         {7, 250, "-"},         {7, 11, "K"},       {7, 17, "K"},
      {7, 18, "dK"},       {7, 61, "kg/m^2"},     {7, 191, ""},       {7, 209, ""},
      {7, 208, "kg-m/m^2-s"}, {7, 491, "dBZ"},    {7, 571, "deg"},    {7, 19000011, "K"},
      {7, 0, "-"},         {7, -9999, "-"},       {98, 128, "Pa"},    {98, 11, "K"},
  };
  for (const auto &c : cases) {
    GridRecord rec = record(c.source, 1, c.var);
    GRIB_units(&rec);
    EXPECT_EQ(rec.var, c.var);
    EXPECT_STREQ(rec.units, c.units) << c.var;
  }
}

TEST(MappingUnits, OtherEditionsGetNoUnits) {
  for (const GridRecord &start : {record(98, 0, 11), record(7, 2, 11), record(98, 2, 60)}) {
    GridRecord rec = start;
    GRIB_units(&rec);
    EXPECT_EQ(rec.var, start.var);
    EXPECT_STREQ(rec.units, "");
  }
}

}  // namespace
