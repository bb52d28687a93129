// Tests of the date labels: forecast period texts, date labels with and
// without a display time zone, and the valid-time labels made from a time
// code with a reference date or a reference time in seconds.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../test_support.h"
#include "config/config.h"
#include "date/date.h"

namespace {

constexpr int M = DATE_MISSING;
constexpr int32_t jan10_2012 = 1326153600;  // 2012-01-10 00:00 UTC, a Tuesday

DateRec make_date(int year, int month, int day, int hour = M, int minute = M) {
  return DateRec{year, month, day, M, M, hour, minute, M};
}

std::string label_of(DateRec d) {
  char buffer[50];
  EXPECT_EQ(DATE_make_label(&d, buffer), 0);
  return buffer;
}

std::string label_for_time(int code, const char *model, const DateRec &d) {
  char buffer[50];
  EXPECT_EQ(DATE_make_label_for_time_mod(code, model, &d, buffer), 0);
  return buffer;
}

// Points "file_path" at the directory and writes the model name table there.
void write_model_table(const kvztest::TempDir &dir) {
  dir.write("mod_name.lup", "7:84 NAM\n7:999 AVERYLONGMODELNAME_CUT\n");
  RES_put("file_path", dir.path().c_str());
}

class DateLabel : public testing::Test {
 protected:
  void SetUp() override { DATE_reset(); }
  void TearDown() override { DATE_reset(); }
};

TEST_F(DateLabel, ForecastPeriodTexts) {
  struct Case {
    int hours;
    int day_style;
    const char *text;
  };
  const Case cases[] = {
      {36, 1, "1.5 day"}, {36, 0, "36 hour"}, {12, 1, "0.5 day"}, {24, 1, "1 day"},  {48, 1, "2 day"},
      {60, 1, "2.5 day"}, {60, 0, "60 hour"}, {6, 1, "6 hour"},   {72, 0, "3 day"},  {84, 0, "3.5 day"},
      {61, 0, "61 hour"}, {805, 0, "5 day"},  {903, 0, "3 month"}, {0, 1, ""},       {-9999, 0, ""},
  };
  for (const Case &c : cases) {
    char buffer[20];
    EXPECT_EQ(DATE_fhour_label(buffer, c.hours, c.day_style), 0);
    EXPECT_STREQ(buffer, c.text) << c.hours << " " << c.day_style;
  }
  EXPECT_EQ(DATE_fhour_label(nullptr, 0, 12, 0), -1);
}

TEST_F(DateLabel, DateLabelsLeaveOutTrailingMissingFields) {
  struct Case {
    DateRec date;
    const char *text;
  };
  const Case cases[] = {
      {make_date(2012, M, M), "12"},
      {make_date(2012, 1, M), "JAN 12"},
      {make_date(2012, 1, 10), "10 JAN 12"},
      {make_date(2012, 1, 10, 12), "12Z 10 JAN 12"},
      {make_date(2012, 1, 10, 12, 30), "1230Z 10 JAN 12"},
      {make_date(2005, 11, 5, 6), "06Z  5 NOV 05"},
      {make_date(12, 1, 10), "10 JAN 12"},
      // out-of-range fields print as defaults
      {make_date(-5, 1, 10), "10 JAN 80"},
      {make_date(M, M, M), "80"},
      {make_date(1999, 13, 40, 25, 75), "0000Z  1 JAN 99"},
  };
  for (const Case &c : cases) EXPECT_EQ(label_of(c.date), c.text);

  // Without a display offset the caller's record stays as it was.
  DateRec two_digit = make_date(12, 1, 10, 6);
  label_of(two_digit);
  EXPECT_EQ(two_digit.year, 12);
}

TEST_F(DateLabel, DateLabelBufferHandling) {
  DateRec d = make_date(2012, 1, 10, 12);
  char small[6];
  EXPECT_EQ(DATE_make_label(&d, small), 0);
  EXPECT_STREQ(small, "12Z 1");
  char buffer[20] = "unchanged";
  EXPECT_EQ(DATE_make_label(&d, nullptr, 20), -1);
  EXPECT_EQ(DATE_make_label(&d, buffer, 0), -1);
  EXPECT_STREQ(buffer, "unchanged");
  EXPECT_EQ(DATE_make_label(nullptr, buffer), -1);
  EXPECT_STREQ(buffer, "");
}

TEST_F(DateLabel, TwelveHourClock) {
  DATE_set_TZ("+UTC:0");
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 13)), "1 PM UTC 10 JAN 12");
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 12)), "12 PM UTC 10 JAN 12");
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 0)), "12 AM UTC 10 JAN 12");
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 11, 5)), "11:05 AM UTC 10 JAN 12");
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 0, 30)), "12:30 AM UTC 10 JAN 12");
}

TEST_F(DateLabel, DisplayOffsetShiftsTheShownTime) {
  DATE_set_TZ("-EST:-5");
  DateRec noon = make_date(2012, 1, 10, 12);
  EXPECT_EQ(label_of(noon), "7:00 AM EST [1200Z] 10 JAN 12");
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 2, 15)), "9:15 PM EST [0215Z]  9 JAN 12");

  // With an offset the record is normalised in place, and hour and minute always show.
  DateRec day = make_date(12, 1, 10);
  EXPECT_EQ(label_of(day), "7:00 PM EST [0000Z]  9 JAN 12");
  DateRec caller = make_date(12, 1, 10);
  char buffer[50];
  DATE_make_label(&caller, buffer);
  EXPECT_EQ(caller.year, 2012);
  EXPECT_EQ(caller.hour, 0);
  EXPECT_EQ(caller.minute, 0);

  DATE_reset();
  DATE_set_TZ("IST:5.5");  // no sign: 24-hour clock, half-hour offset
  EXPECT_EQ(label_of(make_date(2012, 12, 31, 20)), "0130 IST  1 JAN 13");
}

TEST_F(DateLabel, ZoneTextIsBoundedAndOffsetsAreSane) {
  DATE_set_TZ("ABCDEFG:3");  // four letters at most; the rest is no offset
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 12)), "12 ABCD 10 JAN 12");
  DATE_set_TZ("X:nan");
  EXPECT_EQ(label_of(make_date(2012, 1, 10, 12)), "12 X 10 JAN 12");
  DATE_set_TZ("X:1e30");  // far beyond any zone: limited, never undefined
  EXPECT_FALSE(label_of(make_date(2012, 1, 10, 12)).empty());
  EXPECT_EQ(DATE_set_TZ(nullptr), 0);
}

TEST_F(DateLabel, ValidTimeFromReferenceDate) {
  const DateRec at00 = make_date(2012, 1, 10, 0);
  const DateRec no_hour = make_date(2012, 1, 10);
  struct Case {
    int code;
    const char *model;
    DateRec date;
    const char *text;
  };
  const Case cases[] = {
      {0, "NAM", at00, "NAM analysis for 00Z 10 JAN 12"},
      {-9999, "NAM", at00, "NAM analysis for 00Z 10 JAN 12"},
      {1000, "NAM", at00, "NAM analysis for 00Z 10 JAN 12"},
      {800, "NAM", at00, "NAM analysis for 00Z 10 JAN 12"},
      {0, "", at00, "Analysis for 00Z 10 JAN 12"},
      {0, "NAM", no_hour, "NAM analysis for 10 JAN 12"},
      {12, "NAM", at00, "12 hour NAM valid 12Z TUE 10 JAN 12"},
      {12, "", at00, "12 hour  valid 12Z TUE 10 JAN 12"},
      {24, "NAM", no_hour, "1 day NAM valid WED 11 JAN 12"},
      {4006012, "NAM", at00, "12 hour NAM valid 12Z TUE 10 JAN 12"},
      {6012024, "NAM", at00, "12 hour NAM valid 0Z WED 11 JAN 12"},
      {6006000, "NAM", at00, "6 hour NAM analysis valid 0Z 10 JAN 12"},
      {6006000, "", no_hour, "6 hour Analysis valid 10 JAN 12"},
      {12, "NAM", make_date(2011, 12, 31, 18), "12 hour NAM valid 6Z SUN  1 JAN 12"},
      {12, "NAM", make_date(12, 1, 10, 0), "12 hour NAM valid 12Z TUE 10 JAN 12"},
      // past 2038 the labels stay right
      {12, "NAM", make_date(2040, 6, 1, 0), "12 hour NAM valid 12Z FRI  1 JUN 40"},
      // out-of-range reference fields count as defaults
      {0, "NAM", make_date(-1, 13, 0, 30), "NAM analysis for 00Z  1 JAN 80"},
  };
  for (const Case &c : cases) EXPECT_EQ(label_for_time(c.code, c.model, c.date), c.text) << c.code;
}

TEST_F(DateLabel, ValidTimeFromReferenceDateInAZone) {
  DATE_set_TZ("-EST:-5");
  const DateRec at00 = make_date(2012, 1, 10, 0);
  EXPECT_EQ(label_for_time(12, "NAM", at00), "12 hour NAM valid 7 AM EST [12Z] TUE 10 JAN 12");
  DateRec two_digit = make_date(12, 1, 10, 0);
  EXPECT_EQ(label_for_time(0, "NAM", two_digit), "NAM analysis for 7:00 PM EST [0000Z]  9 JAN 12");
  EXPECT_EQ(two_digit.year, 12);  // the reference date is only read
}

TEST_F(DateLabel, ValidTimeLabelsAreCutAtTheBuffer) {
  const DateRec at00 = make_date(2012, 1, 10, 0);
  char buffer[12];
  EXPECT_EQ(DATE_make_label_for_time_mod(12, "NAM", &at00, buffer), 0);
  EXPECT_STREQ(buffer, "12 hour NAM");
  EXPECT_EQ(DATE_make_label_for_time_mod(12, "NAM", &at00, nullptr, 12), -1);
  EXPECT_EQ(DATE_make_label_for_time_mod(0, nullptr, nullptr, buffer), 0);
  EXPECT_STREQ(buffer, "Analysis fo");
}

TEST_F(DateLabel, ModelNamesComeFromTheModelTable) {
  const DateRec at00 = make_date(2012, 1, 10, 0);
  char buffer[50];
  kvztest::TempDir dir;
  RES_put("file_path", dir.path().c_str());
  testing::internal::CaptureStderr();
  DATE_make_label_for_time(12, 7084, &at00, buffer);
  EXPECT_STREQ(buffer, "12 hour  valid 12Z TUE 10 JAN 12");  // no table yet: empty names
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to open file"), std::string::npos);

  write_model_table(dir);  // found at the next lookup
  DATE_make_label_for_time(12, 7084, &at00, buffer);
  EXPECT_STREQ(buffer, "12 hour NAM valid 12Z TUE 10 JAN 12");
  DATE_make_label_for_time(0, 7999, &at00, buffer);
  EXPECT_STREQ(buffer, "AVERYLONGMODELNAM analysis for 00Z 10 JAN 12");
  DATE_make_label_for_time(0, 7000, &at00, buffer);
  EXPECT_STREQ(buffer, "Analysis for 00Z 10 JAN 12");
  DATE_make_label_for(0, 7084, jan10_2012, buffer);
  EXPECT_STREQ(buffer, "NAM analysis for 00Z 10 JAN 12");
}

TEST_F(DateLabel, ValidTimeFromReferenceSeconds) {
  kvztest::TempDir dir;
  write_model_table(dir);
  struct Case {
    int code;
    int32_t seconds;
    int result;
    const char *text;
  };
  const Case cases[] = {
      {12, jan10_2012, 0, "12 hour NAM valid 12Z TUE 10 JAN 12"},
      {3, jan10_2012, 0, "3 hour NAM valid 03Z TUE 10 JAN 12"},
      {36, jan10_2012, 0, "36 hour NAM valid 12Z WED 11 JAN 12"},
      {0, jan10_2012, 0, "NAM analysis for 00Z 10 JAN 12"},
      {6006000, jan10_2012, 0, "6 hour NAM analysis valid 00Z 10 JAN 12"},
      {4006012, jan10_2012, 0, "12 hour NAM valid 12Z TUE 10 JAN 12"},
      // a missing code shows the reference time itself
      {-9999, jan10_2012, 0, "NAM valid 00Z TUE 10 JAN 12"},
      {-9999, -86400, 0, "NAM valid 00Z WED 31 DEC 69"},
      // no reference time
      {0, 0, -1, "NAM analysis"},
      {12, 0, -1, "12 hour NAM"},
  };
  for (const Case &c : cases) {
    char buffer[50];
    EXPECT_EQ(DATE_make_label_for(c.code, 7084, c.seconds, buffer), c.result) << c.code;
    EXPECT_STREQ(buffer, c.text) << c.code;
  }
  DATE_set_TZ("+CET:1");
  char buffer[50];
  DATE_make_label_for(12, 7084, jan10_2012, buffer);
  EXPECT_STREQ(buffer, "12 hour NAM valid 1 PM CET TUE 10 JAN 12");
}

}  // namespace
