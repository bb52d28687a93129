// Dates and times: the broken-down date record, conversions between it and
// seconds since 1970-01-01 00:00 UTC, month and day-of-year arithmetic, the
// display time zone, and the short upper-case date labels the program prints
// for grids and files (e.g. "12Z 10 JAN 12", "12 hour NAM valid 12Z TUE 10 JAN 12")
// together with the reader that turns such a label back into a record.
#ifndef KVZ_DATE_DATE_H
#define KVZ_DATE_DATE_H

#include <cstddef>
#include <cstdint>
#include <ctime>

// One date; -9999 marks a missing field.  A record may leave trailing fields
// missing: only year and month set describes a month, day without hour a day.
struct DateRec {
  int32_t year;     // full year, e.g. 2012 (two-digit years are accepted as input)
  int32_t month;    // 1 to 12
  int32_t day;      // day of the month, 1 to 31
  int32_t julian;   // day of the year, 1 to 366
  int32_t weekday;  // 0 = Sunday to 6 = Saturday
  int32_t hour;     // 0 to 23
  int32_t minute;   // 0 to 59
  int32_t second;   // 0 to 59
};

constexpr int32_t DATE_MISSING = -9999;

// ---- the record --------------------------------------------------------------
int DATE_init(DateRec *date);                       // every field -9999; -1 without a record
int DATE_print(uint32_t level, const DateRec *date); // "y/m/d hh:mm:ss" through the message layer

// ---- arithmetic --------------------------------------------------------------
// Time values are seconds since 1970-01-01 00:00 UTC in 32 bits.
int DATE_is_leap(int year);
int32_t DATE_num_sec(DateRec *date);  // normalises the record in place first; 0 without a record
int32_t DATE_num_sec_tm(const std::tm &t);
int32_t DATE_get_time(int32_t *seconds);  // the current time, also stored when seconds is given
int DATE_get_gmdate(const int32_t *seconds, DateRec *date);  // no seconds: the current time
int DATE_get_current_str(char *buffer, size_t size);  // "12 JAN 10  12:30:45Z"
const char *DATE_month_lower(int month);  // "jan" to "dec", "" outside 1 to 12
int DATE_monday_julian(int year, int month, int day, int *julian);
int DATE_julian_monday(int year, int julian, int *month, int *day);

// ---- display time zone -------------------------------------------------------
// "[+|-]NAME[:HOURS]": '+' selects a 12-hour clock, '-' a 12-hour clock followed
// by the UTC hour in brackets; HOURS is the offset added to UTC for display.
int DATE_set_TZ(const char *zone);
void DATE_reset();  // back to the start-up state: UTC ("Z"), 24-hour clock

// ---- labels --------------------------------------------------------------------
// Every label maker writes at most size-1 characters and always terminates the
// buffer; longer labels are cut.  They return -1 when no buffer is given.
int DATE_fhour_label(char *buffer, size_t size, int hours, int day_style);
int DATE_make_label(DateRec *date, char *buffer, size_t size);
int DATE_make_label_for_time(int time_code, int model_key, const DateRec *date, char *buffer,
                             size_t size);
int DATE_make_label_for_time_mod(int time_code, const char *model, const DateRec *date,
                                 char *buffer, size_t size);
int DATE_make_label_for(int time_code, int model_key, int32_t seconds, char *buffer, size_t size);

// Fixed-size text fields pass their bound along by themselves.
template <size_t N> inline int DATE_fhour_label(char (&buffer)[N], int hours, int day_style) {
  return DATE_fhour_label(buffer, N, hours, day_style);
}
template <size_t N> inline int DATE_make_label(DateRec *date, char (&buffer)[N]) {
  return DATE_make_label(date, buffer, N);
}
template <size_t N>
inline int DATE_make_label_for_time(int time_code, int model_key, const DateRec *date,
                                    char (&buffer)[N]) {
  return DATE_make_label_for_time(time_code, model_key, date, buffer, N);
}
template <size_t N>
inline int DATE_make_label_for_time_mod(int time_code, const char *model, const DateRec *date,
                                        char (&buffer)[N]) {
  return DATE_make_label_for_time_mod(time_code, model, date, buffer, N);
}
template <size_t N>
inline int DATE_make_label_for(int time_code, int model_key, int32_t seconds, char (&buffer)[N]) {
  return DATE_make_label_for(time_code, model_key, seconds, buffer, N);
}

// ---- reading labels ------------------------------------------------------------
int DATE_decode_month(const char *text);  // 1 to 12 for "JAN".."DEC" or "jan".."dec", else 0
int DATE_decode_label(const char *label, DateRec *date);

#endif
