// Declarations shared by the files of the date subsystem only: the name tables,
// the 64-bit seconds arithmetic the label makers work in, the display time zone
// and the small text builder the labels are assembled with.
#ifndef KVZ_DATE_INTERNAL_H
#define KVZ_DATE_INTERNAL_H

#include <cstdint>
#include <string>

#include "date/date.h"
#include "files/files.h"

// Upper-case month name for 1 to 12 and weekday name for 0 to 6; "" otherwise.
const char *date_month_name(int month);
const char *date_weekday_name(int weekday);

// Normalises the record in place (two-digit years, out-of-range fields) and
// returns its seconds since 1970.  Kept in 64 bits so that dates past 2038 and
// out-of-range years never overflow; DATE_num_sec narrows the result.
int64_t date_seconds(DateRec &date);

// All eight UTC fields of a time.  A time the C library cannot convert gives
// 1970-01-01 00:00:00, so every field is always in its range.
DateRec date_from_seconds(int64_t seconds);

// The display time zone as set by DATE_set_TZ.
struct DateZone {
  char text[8];  // appended to hours: "Z", or a blank and up to four letters
  int pm;        // 0 = 24-hour clock, >0 = 12-hour clock, <0 = 12-hour clock plus UTC in brackets
  int offset;    // seconds added to UTC before a time is shown
};
const DateZone &date_zone();

// The hour part of a label: shown hour and minute, UTC hour and minute for the
// bracketed form.  Padded gives two-digit 24-hour hours.
enum class HourStyle { plain, padded, padded_minutes };
std::string date_hour_part(int hour, int minute, int utc_hour, int utc_minute, HourStyle style);

#endif
