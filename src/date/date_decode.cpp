// Reading dates back: three-letter month names and the date labels the label
// makers write ("12Z 10 JAN 12", "1230Z 10 JAN 12", ...), plus a plain
// "year month day hour" form of four two-digit numbers.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "date/date.h"
#include "date/date_internal.h"

namespace {

bool is_upper(char c) { return std::isupper(static_cast<unsigned char>(c)) != 0; }
bool is_lower(char c) { return std::islower(static_cast<unsigned char>(c)) != 0; }
bool is_alpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

// The month of a name in one case, from its first three letters ('\0' past the end).
int month_of(char first, char second, char third) {
  const bool any_second = is_alpha(second);
  switch (first) {
    case 'd': return 12;
    case 'f': return 2;
    case 'n': return 11;
    case 'o': return 10;
    case 's': return 9;
    case 'j':
      if (second == 'a') return 1;
      if (any_second && third == 'n') return 6;
      if (any_second && third == 'l') return 7;
      return 0;
    case 'm':
      if (any_second && third == 'r') return 3;
      if (any_second && third == 'y') return 5;
      return 0;
    case 'a':
      if (any_second && third == 'r') return 4;
      if (any_second && third == 'g') return 8;
      return 0;
    default: return 0;
  }
}

// The fields a label form can fill; only a form that converts all of its
// fields is taken.
struct LabelFields {
  int year = DATE_MISSING;
  int month = DATE_MISSING;  // numeric month of the four-number form
  int day = DATE_MISSING;
  int hour = DATE_MISSING;
  int minute = DATE_MISSING;
  int second = DATE_MISSING;
  char month_name[4] = "";
};

// The last `count` characters of the label, or nullptr when it is shorter.
const char *tail(const char *label, size_t length, size_t count) {
  return length >= count ? label + (length - count) : nullptr;
}

bool read_hour_first(const char *text, LabelFields &f) {
  LabelFields t;
  if (text == nullptr || std::sscanf(text, "%2dZ %2d %3s %2d", &t.hour, &t.day, t.month_name, &t.year) != 4)
    return false;
  f = t;
  return true;
}

// "hhmmZ dd MON yy"; a blank first character means a one-digit hour.
bool read_hour_minute(const char *text, LabelFields &f) {
  LabelFields t;
  if (text == nullptr ||
      std::sscanf(text, "%2d%2dZ %2d %3s %2d", &t.hour, &t.minute, &t.day, t.month_name, &t.year) != 5)
    return false;
  if (text[0] == ' ') std::sscanf(text, "%1d%2d", &t.hour, &t.minute);
  f = t;
  return true;
}

bool read_hour_minute_second(const char *text, LabelFields &f) {
  LabelFields t;
  if (text == nullptr || std::sscanf(text, "%2d:%2d:%2dZ %2d %3s %2d", &t.hour, &t.minute, &t.second,
                                     &t.day, t.month_name, &t.year) != 6)
    return false;
  f = t;
  return true;
}

bool read_numbers(const char *text, LabelFields &f) {
  LabelFields t;
  if (std::sscanf(text, "%2d %2d %2d %2d", &t.year, &t.month, &t.day, &t.hour) != 4) return false;
  f = t;
  return true;
}

bool read_label(const char *label, LabelFields &f) {
  const size_t n = std::strlen(label);
  return read_hour_first(label, f) || read_hour_minute(tail(label, n, 15), f) ||
         read_hour_minute_second(tail(label, n, 19), f) || read_hour_first(tail(label, n, 13), f) ||
         read_numbers(label, f);
}

}  // namespace

// Decided on the first letter, and for J, M and A on the second or third; the
// letters looked at must share one case, so "Jan" is no month.
int DATE_decode_month(const char *text) {
  if (text == nullptr) return 0;
  const char first = text[0];
  const char second = first != '\0' ? text[1] : '\0';
  const char third = second != '\0' ? text[2] : '\0';
  const bool upper = is_upper(first);
  if (!upper && !is_lower(first)) return 0;
  for (const char c : {second, third}) {
    if (is_alpha(c) && is_upper(c) != upper) return 0;
  }
  return month_of(lower(first), lower(second), lower(third));
}

// A label no form reads leaves every field missing and the month 0.  Only a
// year that was read is widened from two digits.
int DATE_decode_label(const char *label, DateRec *date) {
  if (date == nullptr) return -1;
  DATE_init(date);
  LabelFields f;
  if (label == nullptr || !read_label(label, f)) {
    date->month = 0;
    return 0;
  }
  if (f.year < 50) f.year += 2000;
  if (f.year < 200) f.year += 1900;
  date->year = f.year;
  date->month = f.month != DATE_MISSING ? f.month : DATE_decode_month(f.month_name);
  date->day = f.day;
  date->hour = f.hour;
  date->minute = f.minute;
  date->second = f.second;
  return 0;
}
