// Tests of the short and long time and level texts: every kind of time code,
// the level types with numbers, layers and markers, and the warning for an
// unknown level type.
#include <string>

#include "naming_fixture.h"

namespace {

using NamingTexts = NamingTest;

std::string short_level(int ltype, int level) {
  char buf[20];
  return VAR_level(buf, ltype, level);
}

std::string long_level(int ltype, int level, int time = 0) {
  char buf[70];
  EXPECT_EQ(VAR_make_datalevel(time, ltype, level, buf), 0);
  return buf;
}

TEST_F(NamingTexts, ShortTimeTexts) {
  const struct {
    int code;
    const char *text;
  } cases[] = {
      {0, "init"},           {12, "12hr"},          {1000012, "12hr"},        {6000, "init"},
      {4006012, "12hr-6acc "}, {13000024, "24hr-24iavg "}, {9006012, "12hr-6"}, {10006012, "12hr-12"},
      {3012006, "6hr-6avg "},  {2000003, "3hr-3rng "},  {23000024, "24hr-24uavg "}, {18000024, "24hr-24var "},
      {5000006, "6hr-6dif "},  {6000006, "6hr-6max "},  {7000006, "6hr-6min "},  {4000805, "805hr-805acc "},
      {-9999, "miss"},
  };
  for (const auto &c : cases) {
    char buf[20];
    EXPECT_STREQ(VAR_time(buf, c.code), c.text) << c.code;
  }
  char tiny[4];
  EXPECT_STREQ(VAR_time(tiny, 4006012), "12h");
}

TEST_F(NamingTexts, ShortAndLongLevelTexts) {
  const struct {
    int ltype;
    int level;
    const char *short_text;
    const char *long_text;
  } cases[] = {
      {0, 0, "", ""},
      {1, 0, "sfc", "Surface"},
      {1, 2003, "sfc[3]", "Surface[3]"},
      {1, 2000, "sfc[2000]", "Surface[2000]"},
      {1, 7, "sfc[7]", "Surface[7]"},
      {4, 0, "frz", "Frz level"},
      {7, 0, "trop", "Tropopause"},
      {100, 500, "500mb", "500 mb"},
      {101, 50100, "500-1000mb", "1000-500 mb"},
      {101, 50190, "500-1900mb", "sfc-500 mb"},
      {101, 190050, "sfc-500mb", "500-1900 mb"},
      {101, 50195, "500-1950mb", "trop-500 mb"},
      {101, 210050, "sfc[100]-500mb", "500-2100 mb"},
      {101, 50210, "500-2100mb", "sfc[100]-500 mb"},
      {101, 510, "", "1000-500 mb"},
      {101, 508, "", "850-500 mb"},
      {101, 599, "", "SFC-500 mb"},
      {101, 700, "", ""},
      {102, 0, "sl", "Sea level"},
      {103, 10000, "10000m", "10000 m"},
      {104, 5995, "99500-500m", "trop+500 m"},
      {104, 30010, "1000-3000m", "1000-3000 m"},
      {105, 2, "2m_ag", "2 m AG"},
      {106, 30010, "1000-3000m_ag", "1000-3000 m AG"},
      {107, 9900, "0.99sig", "0.99 sigma"},
      {108, 100050, "0.50-1.00sig", "0.50-1.00 sigma"},
      {109, 12, "12lev", "12 lev"},
      {111, 10, "10cm_bg", "10 cm BG"},
      {112, 40010, "10-40cm_bg", "10-40 cm BG"},
      {113, 310, "310K", "310 K"},
      {114, 310300, "300-310K", "300-310 K"},
      {115, 30, "30mb_ag", "30 mb AG"},
      {116, 30000, "0-30mb_ag", "0-30 mb AG"},
      {117, 2, "2*10^-6Km2/kgs", "2*10^-6 Km2/kgs"},
      {119, 5000, "0.50eta", "0.50 Eta"},
      {120, 100050, "0.50-1.00eta", "0.50-1.00 Eta"},
      {200, 0, "whole", "Whole atms"},
      {206, 0, "gscld_bot", "Grid cld bot lvl"},
      {215, 0, "cld_ceil", "Cld ceiling"},
      {248, 0, "sccld_bot", "Shal Conv cld bot lvl"},
      {251, 0, "dccld_bot", "Deep Conv cld bot lvl"},
      {254, 0, "sclw_top", "Supercool liq wat top"},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(short_level(c.ltype, c.level), c.short_text) << c.ltype << " " << c.level;
    EXPECT_EQ(long_level(c.ltype, c.level), c.long_text) << c.ltype << " " << c.level;
  }
}

TEST_F(NamingTexts, LongTimeAndLevelTexts) {
  const struct {
    int time;
    int ltype;
    int level;
    const char *text;
  } cases[] = {
      {3000024, 1, 0, "24 hour avg Surface"},
      {4006012, 1, 0, "6 hour acc Surface"},
      {12, 100, 500, "500 mb"},  // a plain forecast hour is not part of the text
      {-9999, 100, 500, "500 mb"},
      {13000024, 0, 0, "24 hour iavg "},
      {9006012, 102, 0, "6 hour Sea level"},
      {3800805, 1, 0, "5 day avg Surface"},  // the period counts days; the number is |805-800|
      {3000805, 1, 0, "805 day avg Surface"},
      {3000903, 1, 0, "903 month avg Surface"},
  };
  for (const auto &c : cases) EXPECT_EQ(long_level(c.ltype, c.level, c.time), c.text) << c.time;
}

TEST_F(NamingTexts, UnknownLevelTypesAreEmptyAndPositiveOnesWarn) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(short_level(-9999, 500), "");
  EXPECT_EQ(long_level(-9999, 500), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

  testing::internal::CaptureStderr();
  EXPECT_EQ(short_level(150, 500), "");
  EXPECT_EQ(long_level(10, 0), "");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "VAR_make_datatype: no ltype: 150\nVAR_make_datatype: no ltype: 10\n");
}

}  // namespace
