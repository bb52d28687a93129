// Tests of time selections: hours, days, periods with range words, the
// keywords and the forms relative to the default time.
#include <climits>
#include <string>

#include "naming_fixture.h"

namespace {

using SpecTime = NamingTest;

struct TimeCase {
  const char *text;
  int time;
  int result;
};

TEST_F(SpecTime, TextsBecomeTimeCodes) {
  const TimeCase cases[] = {
      {"12", 12, 2},                 {"2day", 48, 2},              {"1.5day", 36, 2},
      {"3d", 72, 2},                 {"2e", 60, 2},                {"12hr", 12, 2},
      {"12-6acc", 4006012, 2},       {"12-6ACC", 4006012, 2},      {"24-24avg", 3000024, 2},
      {"12-6rng", 2006012, 2},       {"12-6dif", 5006012, 2},      {"12-12max", 6000012, 2},
      {"12-12min", 7000012, 2},      {"24-24iavg", 13000024, 2},   {"24-24uavg", 23000024, 2},
      {"24-24var", 18000024, 2},     {"12-6xyz", 2006012, 2},      {"2day-24acc", 4024048, 2},
      {"h24-24avg", 3000024, 2},     {"h24", 24, 2},               {"h12-6rng", 2006012, 2},
      {"d2", 48, 2},                 {"d2-6acc", 48, 2},           {"e1", 36, 2},
      {"anal", 0, 2},                {"anal-6acc", 4006000, 2},    {"init", 0, 2},
      {"in", 0, 2},                  {"miss", -9999, 2},           {"", 0, 2},
      {"time", 0, 1},                {"time-6", -6, 1},            {"time-6acc", 3994000, 1},
  };
  for (const TimeCase &c : cases) {
    int time = 777;
    EXPECT_EQ(VAR_dec_time(c.text, &time), c.result) << c.text;
    EXPECT_EQ(time, c.time) << c.text;
  }
}

TEST_F(SpecTime, UnknownTextsLeaveTheTime) {
  for (const char *text : {"xyz", "-6", "h", "hx", "+12", " 12", "99999999-1acc", "99999999d", "2147483647e"}) {
    int time = 777;
    EXPECT_EQ(VAR_dec_time(text, &time), 0) << text;
    EXPECT_EQ(time, 777) << text;
  }
  EXPECT_EQ(VAR_dec_time(nullptr, nullptr), 0);
}

TEST_F(SpecTime, DefaultTimeAnchorsRelativeForms) {
  FLAG_set(6, 4006024);  // a 6-hour accumulation ending at hour 24
  int time = 0;
  EXPECT_EQ(VAR_dec_time("", &time), 1);
  EXPECT_EQ(time, 4006024);
  EXPECT_EQ(VAR_dec_time("time", &time), 1);
  EXPECT_EQ(time, 4006024);
  EXPECT_EQ(VAR_dec_time("time-6", &time), 1);
  EXPECT_EQ(time, 18);  // the default's end hour, 6 hours earlier
  EXPECT_EQ(VAR_dec_time("time-12acc", &time), 1);
  EXPECT_EQ(time, 4012024);
}

}  // namespace
