// Date arithmetic: leap years, seconds since 1970 from a record and back, the
// current time, month names and the month/day <-> day-of-year conversions.
#include <algorithm>
#include <ctime>
#include <limits>

#include "date/date.h"
#include "date/date_internal.h"
#include "files/files.h"

namespace {

constexpr const char *months[12] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr const char *months_lc[12] = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};
constexpr const char *day_of_week[7] = {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"};

// Days before the end of each month (index 1 to 12; index 0 is the start of the year).
constexpr int num_day[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
constexpr int num_day_leap[13] = {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366};

constexpr int64_t seconds_per_day = 86400;
constexpr int64_t seconds_per_common_year = 31536000;

const int *days_table(int year) { return DATE_is_leap(year) ? num_day_leap : num_day; }

// Two-digit and out-of-range years: negative means 1980, 0-49 the 2000s, 50-199 from 1950.
int normal_year(int year) {
  if (year < 0) year = 1980;
  if (year < 50) year += 2000;
  if (year < 200) year += 1900;
  return year;
}

void normalise(DateRec &d) {
  d.year = normal_year(d.year);
  if (d.month < 1 || d.month > 12) d.month = 1;
  if (d.day > 31 || d.day < 0) d.day = 1;
  if (d.hour > 23 || d.hour < 0) d.hour = 0;
  if (d.minute > 59 || d.minute < 0) d.minute = 0;
  if (d.second > 59 || d.second < 0) d.second = 0;
}

DateRec from_tm(const std::tm &t) {
  return DateRec{t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_yday + 1,
                 t.tm_wday,        t.tm_hour,    t.tm_min,  t.tm_sec};
}

}  // namespace

const char *date_month_name(int month) { return (month >= 1 && month <= 12) ? months[month - 1] : ""; }

const char *date_weekday_name(int weekday) {
  return (weekday >= 0 && weekday <= 6) ? day_of_week[weekday] : "";
}

int DATE_is_leap(int year) {
  if (year % 4 != 0) return 0;
  if (year % 100 != 0) return 1;
  return year % 400 == 0 ? 1 : 0;
}

// Every fourth year counts as a leap year here, which holds from 1901 to 2099:
// the normalised years start at 1950.
int64_t date_seconds(DateRec &d) {
  normalise(d);
  const int64_t years = int64_t{d.year} - 1900;
  int64_t leap_days = years / 4 - 17;
  if (d.month <= 2 && years % 4 == 0) --leap_days;
  return (int64_t{d.day} - 1) * seconds_per_day + int64_t{d.hour} * 3600 + int64_t{d.minute} * 60 +
         d.second + int64_t{num_day[d.month - 1]} * seconds_per_day +
         (int64_t{d.year} - 1970) * seconds_per_common_year + leap_days * seconds_per_day;
}

DateRec date_from_seconds(int64_t seconds) {
  std::tm t{};
  const bool fits = seconds >= std::numeric_limits<std::time_t>::min() &&
                    seconds <= std::numeric_limits<std::time_t>::max();
  const std::time_t when = fits ? static_cast<std::time_t>(seconds) : 0;
  if (gmtime_r(&when, &t) == nullptr) {
    const std::time_t epoch = 0;
    gmtime_r(&epoch, &t);
  }
  return from_tm(t);
}

// Times past 2038 do not fit the 32-bit seconds; they wrap as the C library's
// 32-bit times do (the conversion keeps the low 32 bits).
int32_t DATE_num_sec(DateRec *date) {
  if (date == nullptr) return 0;
  return static_cast<int32_t>(static_cast<uint32_t>(date_seconds(*date)));
}

int32_t DATE_num_sec_tm(const std::tm &t) {
  DateRec d{};
  DATE_init(&d);
  d.year = t.tm_year;  // counted from 1900: normalised like a two-digit year
  d.month = t.tm_mon + 1;
  d.day = t.tm_mday;
  d.hour = t.tm_hour;
  d.minute = t.tm_min;
  d.second = t.tm_sec;
  return DATE_num_sec(&d);
}

int32_t DATE_get_time(int32_t *seconds) {
  const int32_t now = static_cast<int32_t>(static_cast<uint32_t>(std::time(nullptr)));
  if (seconds != nullptr) *seconds = now;
  return now;
}

int DATE_get_gmdate(const int32_t *seconds, DateRec *date) {
  if (date == nullptr) return -1;
  *date = date_from_seconds(seconds != nullptr ? int64_t{*seconds} : int64_t{std::time(nullptr)});
  return 0;
}

int DATE_get_current_str(char *buffer, size_t size) {
  if (buffer == nullptr || size == 0) return -1;
  const DateRec d = date_from_seconds(std::time(nullptr));
  format_text(buffer, size, "%2.2d %s %2.2d  %2.2d:%2.2d:%2.2dZ", d.year % 100,
              date_month_name(d.month), d.day, d.hour, d.minute, d.second);
  return 0;
}

const char *DATE_month_lower(int month) {
  return (month >= 1 && month <= 12) ? months_lc[month - 1] : "";
}

int DATE_monday_julian(int year, int month, int day, int *julian) {
  if (month < 1) month = 1;
  if (month > 12) month = 12;
  // Added in 64 bits: a wild day must not overflow.
  const int64_t value = int64_t{days_table(year)[month - 1]} + day;
  if (julian != nullptr) *julian = static_cast<int>(std::min<int64_t>(value, std::numeric_limits<int>::max()));
  return 0;
}

int DATE_julian_monday(int year, int julian, int *month, int *day) {
  const int *table = days_table(year);
  if (julian < 1) julian = 1;
  if (julian > table[12]) julian = table[12];
  int m = 1;
  while (m < 12 && table[m] < julian) ++m;
  if (month != nullptr) *month = m;
  if (day != nullptr) *day = julian - table[m - 1];
  return 0;
}
