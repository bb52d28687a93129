// Tests of the date record and date arithmetic: leap years, seconds from a
// record (with its normalisation), UTC fields from seconds, month names and the
// day-of-year conversions.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>

#include "config/config.h"
#include "date/date.h"

namespace {

DateRec make_date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  return DateRec{year, month, day, DATE_MISSING, DATE_MISSING, hour, minute, second};
}

TEST(DateRecord, InitMarksEveryFieldMissingAndPrintsThem) {
  DateRec d = make_date(2012, 1, 10, 6, 5, 0);
  ASSERT_EQ(DATE_init(&d), 0);
  for (const int32_t field : {d.year, d.month, d.day, d.julian, d.weekday, d.hour, d.minute, d.second})
    EXPECT_EQ(field, -9999);

  MESS_reset();
  testing::internal::CaptureStdout();
  EXPECT_EQ(DATE_print(0x1, &d), 0);
  const DateRec filled = make_date(2012, 1, 10, 6, 5, 0);
  DATE_print(0x1, &filled);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "-9999/-9999/-9999 -9999:-9999:-9999\n2012/1/10 06:05:00\n");
  EXPECT_EQ(DATE_init(nullptr), -1);
  EXPECT_EQ(DATE_print(0x1, nullptr), -1);
}

TEST(DateArith, LeapYears) {
  EXPECT_EQ(DATE_is_leap(2000), 1);
  EXPECT_EQ(DATE_is_leap(2012), 1);
  EXPECT_EQ(DATE_is_leap(2400), 1);
  EXPECT_EQ(DATE_is_leap(1900), 0);
  EXPECT_EQ(DATE_is_leap(2011), 0);
  EXPECT_EQ(DATE_is_leap(2100), 0);
}

TEST(DateArith, SecondsOfFullDates) {
  struct Case {
    DateRec date;
    int32_t seconds;
  };
  const Case cases[] = {
      {make_date(1970, 1, 1), 0},
      {make_date(2000, 1, 1), 946684800},
      {make_date(1999, 12, 31, 23, 59, 59), 946684799},
      {make_date(2012, 2, 29), 1330473600},
      {make_date(2012, 3, 1), 1330560000},
      {make_date(2012, 1, 10, 12), 1326196800},
      {make_date(1950, 1, 1), -631152000},
      {make_date(2038, 1, 19, 3, 14, 7), 2147483647},
  };
  for (const Case &c : cases) {
    DateRec d = c.date;
    EXPECT_EQ(DATE_num_sec(&d), c.seconds) << c.date.year << "-" << c.date.month << "-" << c.date.day;
  }
  EXPECT_EQ(DATE_num_sec(nullptr), 0);
}

TEST(DateArith, SecondsNormaliseTheRecordInPlace) {
  struct Case {
    DateRec in;
    DateRec out;  // julian and weekday are left alone
  };
  const Case cases[] = {
      {make_date(12, 1, 10), make_date(2012, 1, 10)},
      {make_date(99, 1, 10), make_date(1999, 1, 10)},
      {make_date(150, 1, 10), make_date(2050, 1, 10)},
      {make_date(-9999, 1, 10), make_date(1980, 1, 10)},
      {make_date(2012, 13, 40, 24, 60, 60), make_date(2012, 1, 1, 0, 0, 0)},
      {make_date(2012, -9999, -9999, -9999, -9999, -9999), make_date(2012, 1, 1, 0, 0, 0)},
      {make_date(2012, 0, -3, -1, -1, -1), make_date(2012, 1, 1, 0, 0, 0)},
      {make_date(2012, 3, 0), make_date(2012, 3, 0)},
  };
  for (const Case &c : cases) {
    DateRec d = c.in;
    DATE_num_sec(&d);
    EXPECT_EQ(0, std::memcmp(&d, &c.out, sizeof d)) << c.in.year << "-" << c.in.month << "-" << c.in.day;
  }
  // Day 0 is the last day of the month before.
  DateRec zero = make_date(2012, 3, 0);
  DateRec feb29 = make_date(2012, 2, 29);
  EXPECT_EQ(DATE_num_sec(&zero), DATE_num_sec(&feb29));
}

TEST(DateArith, SecondsOfCLibraryTime) {
  std::tm t{};
  t.tm_year = 112;
  t.tm_mon = 0;
  t.tm_mday = 10;
  t.tm_hour = 12;
  EXPECT_EQ(DATE_num_sec_tm(t), 1326196800);
}

TEST(DateArith, UtcFieldsOfSeconds) {
  struct Case {
    int32_t seconds;
    DateRec date;
  };
  const Case cases[] = {
      {0, {1970, 1, 1, 1, 4, 0, 0, 0}},
      {951782400 + 3723, {2000, 2, 29, 60, 2, 1, 2, 3}},
      {1326196800, {2012, 1, 10, 10, 2, 12, 0, 0}},
      {1356998399, {2012, 12, 31, 366, 1, 23, 59, 59}},
      {-1, {1969, 12, 31, 365, 3, 23, 59, 59}},
      {2147483647, {2038, 1, 19, 19, 2, 3, 14, 7}},
  };
  for (const Case &c : cases) {
    DateRec d{};
    ASSERT_EQ(DATE_get_gmdate(&c.seconds, &d), 0);
    EXPECT_EQ(0, std::memcmp(&d, &c.date, sizeof d)) << c.seconds;
    EXPECT_EQ(DATE_num_sec(&d), c.seconds);
  }
  EXPECT_EQ(DATE_get_gmdate(nullptr, nullptr), -1);
}

TEST(DateArith, CurrentTime) {
  int32_t stored = 0;
  const int32_t now = DATE_get_time(&stored);
  EXPECT_EQ(stored, now);
  DateRec d{};
  ASSERT_EQ(DATE_get_gmdate(nullptr, &d), 0);
  const int32_t back = DATE_num_sec(&d);
  EXPECT_GE(back, now);
  EXPECT_LE(back, now + 2);

  char text[40];
  ASSERT_EQ(DATE_get_current_str(text, sizeof text), 0);
  const std::string s = text;
  ASSERT_EQ(s.size(), 20u) << s;
  EXPECT_EQ(s.back(), 'Z');
  EXPECT_NE(DATE_decode_month(s.substr(3, 3).c_str()), 0) << s;
  EXPECT_EQ(s.substr(9, 2), "  ");
  EXPECT_EQ(s[13], ':');
  EXPECT_EQ(s[16], ':');

  char small[8];
  DATE_get_current_str(small, sizeof small);
  EXPECT_EQ(std::strlen(small), 7u);
  EXPECT_EQ(DATE_get_current_str(nullptr, 10), -1);
}

TEST(DateArith, LowerCaseMonthNames) {
  EXPECT_STREQ(DATE_month_lower(1), "jan");
  EXPECT_STREQ(DATE_month_lower(12), "dec");
  for (const int bad : {0, 13, -9999}) EXPECT_STREQ(DATE_month_lower(bad), "");
}

TEST(DateArith, DayOfYearFromMonthAndDay) {
  struct Case {
    int year, month, day, julian;
  };
  const Case cases[] = {
      {2012, 3, 1, 61}, {2011, 3, 1, 60}, {2012, 1, 1, 1}, {2012, 12, 31, 366},
      {2012, 0, 5, 5},  {2011, 15, 31, 365},  // months limited to 1 to 12
  };
  for (const Case &c : cases) {
    int julian = 0;
    EXPECT_EQ(DATE_monday_julian(c.year, c.month, c.day, &julian), 0);
    EXPECT_EQ(julian, c.julian) << c.year << " " << c.month << " " << c.day;
  }
  EXPECT_EQ(DATE_monday_julian(2012, 1, 1, nullptr), 0);
}

TEST(DateArith, MonthAndDayFromDayOfYear) {
  struct Case {
    int year, julian, month, day;
  };
  const Case cases[] = {
      {2012, 60, 2, 29}, {2011, 60, 3, 1},  {2011, 400, 12, 31}, {2012, 366, 12, 31},
      {2011, 365, 12, 31}, {2011, 366, 12, 31}, {2012, 0, 1, 1},  {2012, -9999, 1, 1},
      {2012, 31, 1, 31}, {2012, 32, 2, 1},
  };
  for (const Case &c : cases) {
    int month = 0;
    int day = 0;
    EXPECT_EQ(DATE_julian_monday(c.year, c.julian, &month, &day), 0);
    EXPECT_EQ(month, c.month) << c.year << " " << c.julian;
    EXPECT_EQ(day, c.day) << c.year << " " << c.julian;
  }
}

}  // namespace
