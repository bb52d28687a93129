// Tests of reading dates back: three-letter month names and date labels in
// each of the forms the label makers write.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "date/date.h"

namespace {

constexpr int M = DATE_MISSING;

TEST(DateDecode, MonthNames) {
  struct Case {
    const char *text;
    int month;
  };
  const Case cases[] = {
      {"JAN", 1}, {"FEB", 2}, {"MAR", 3}, {"APR", 4}, {"MAY", 5},  {"JUN", 6},  {"JUL", 7},
      {"AUG", 8}, {"SEP", 9}, {"OCT", 10}, {"NOV", 11}, {"DEC", 12}, {"jan", 1}, {"jul", 7},
      {"dec", 12}, {"JANUARY", 1}, {"D", 12},
      // mixed case, unknown or too short names are no month
      {"Jan", 0}, {"MAr", 0}, {"JuN", 0}, {"xyz", 0}, {"1AN", 0}, {"J", 0}, {"JU", 0}, {"MA", 0},
      {"", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(DATE_decode_month(c.text), c.month) << c.text;
  EXPECT_EQ(DATE_decode_month(nullptr), 0);
}

TEST(DateDecode, LabelForms) {
  struct Case {
    const char *label;
    DateRec date;  // julian and weekday are never read
  };
  const Case cases[] = {
      {"12Z 10 JAN 12", {2012, 1, 10, M, M, 12, M, M}},
      {"1230Z 10 JAN 12", {2012, 1, 10, M, M, 12, 30, M}},
      {" 930Z 10 JAN 12", {2012, 1, 10, M, M, 9, 30, M}},
      {"12:30:45Z 10 JAN 99", {1999, 1, 10, M, M, 12, 30, 45}},
      {"NAM analysis for 00Z 10 JAN 12", {2012, 1, 10, M, M, 0, M, M}},
      {"06Z  5 NOV 55", {1955, 11, 5, M, M, 6, M, M}},
      {"06Z  5 NOV 49", {2049, 11, 5, M, M, 6, M, M}},
      {"12Z 10 Jan 12", {2012, 0, 10, M, M, 12, M, M}},
      {"12 01 10 06", {2012, 1, 10, M, M, 6, M, M}},
      // nothing readable: every field missing, month 0
      {"", {M, 0, M, M, M, M, M, M}},
      {"garbage", {M, 0, M, M, M, M, M, M}},
      {"12Z 10 JAN", {M, 0, M, M, M, M, M, M}},
      {"12 hour NAM valid 12Z TUE 10 JAN 12", {M, 0, M, M, M, M, M, M}},
  };
  for (const Case &c : cases) {
    DateRec d{};
    EXPECT_EQ(DATE_decode_label(c.label, &d), 0);
    EXPECT_EQ(0, std::memcmp(&d, &c.date, sizeof d))
        << "'" << c.label << "': " << d.year << " " << d.month << " " << d.day << " " << d.hour << " "
        << d.minute << " " << d.second;
  }
  DateRec d{};
  EXPECT_EQ(DATE_decode_label(nullptr, &d), 0);
  EXPECT_EQ(d.month, 0);
  EXPECT_EQ(DATE_decode_label("12Z 10 JAN 12", nullptr), -1);
}

TEST(DateDecode, LabelsReadBackWhatTheLabelMakerWrote) {
  DATE_reset();
  const DateRec dates[] = {
      {2012, 1, 10, M, M, 12, M, M},
      {1999, 12, 31, M, M, 23, 59, M},
      {2005, 7, 4, M, M, 0, 5, M},
  };
  for (DateRec in : dates) {
    char label[50];
    DATE_make_label(&in, label);
    DateRec out{};
    DATE_decode_label(label, &out);
    EXPECT_EQ(0, std::memcmp(&in, &out, sizeof in)) << label;
  }
}

}  // namespace
