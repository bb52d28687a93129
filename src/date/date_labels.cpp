// Date labels: the forecast period text, the label of a date, and the
// valid-time labels of a grid made from its time code, model and reference
// date or reference time.
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "date/date.h"
#include "date/date_internal.h"
#include "files/files.h"
#include "naming/naming.h"

namespace {

// Model names longer than this are cut in labels made from a reference date.
constexpr size_t label_model_chars = 17;

// The model name of a key from the model name table; "" when it has none.
std::string model_name(int model_key) {
  char name[40];
  return VAR_model(name, model_key);
}

// A time code is range*1000000 + start*1000 + end; start and end of exactly 800
// or 900 (zero days or months) count as 0.
struct TimeCode {
  int range;
  int start;
  int end;
};

TimeCode split_code(int code) {
  if (code == DATE_MISSING) return TimeCode{0, 0, DATE_MISSING};
  TimeCode t{code / 1000000, (code % 1000000) / 1000, code % 1000};
  if (t.start == 800 || t.start == 900) t.start = 0;
  if (t.end == 800 || t.end == 900) t.end = 0;
  return t;
}

bool shows_period(int p) { return p != 0 && p != DATE_MISSING; }

std::string fhour_text(int hours, bool day_style) {
  std::string out;
  if (hours > 900) {
    append_format(out, "%d month", hours - 900);
  } else if (hours > 800) {
    append_format(out, "%d day", hours - 800);
  } else if (day_style && hours > 0 && hours <= 60 && hours % 12 == 0) {
    static constexpr const char *half_days[5] = {"0.5 day", "1 day", "1.5 day", "2 day", "2.5 day"};
    out = half_days[hours / 12 - 1];
  } else if (hours > 60 && hours % 24 == 0) {
    append_format(out, "%d day", hours / 24);
  } else if (hours > 60 && hours % 24 == 12) {
    append_format(out, "%d.5 day", hours / 24);
  } else if (shows_period(hours)) {
    append_format(out, "%d hour", hours);
  }
  return out;
}

// Writes a finished label, cut at the buffer's bound.
int finish(const std::string &text, char *buffer, size_t size, int result = 0) {
  copy_text(buffer, size, text.c_str());
  return result;
}

// Out-of-range fields of a label's date shown as a default instead.
void clamp_for_print(DateRec &d) {
  if (d.year < 0) d.year = 1980;
  if (d.month < 1 || d.month > 12) d.month = 1;
  if (d.day > 31) d.day = 1;
  if (d.hour > 23) d.hour = 0;
  if (d.minute > 59) d.minute = 0;
}

// The label of a date whose trailing missing fields are left out.  `utc` gives
// the bracketed UTC time of a date shifted into the display zone; without it the
// date's own hour and minute are the UTC ones.
std::string date_text(DateRec d, const DateRec *utc) {
  const bool no_month = d.month == DATE_MISSING;
  const bool no_day = d.day == DATE_MISSING;
  const bool no_hour = d.hour == DATE_MISSING;
  const bool no_minute = d.minute == DATE_MISSING;
  clamp_for_print(d);
  const int utc_hour = utc != nullptr ? utc->hour : d.hour;
  const int utc_minute = utc != nullptr ? utc->minute : d.minute;
  const int year = d.year % 100;
  const char *month = date_month_name(d.month);
  std::string out;
  if (no_month) {
    append_format(out, "%2.2d", year);
  } else if (no_day) {
    append_format(out, "%3s %2.2d", month, year);
  } else if (no_hour) {
    append_format(out, "%2d %3s %2.2d", d.day, month, year);
  } else {
    const HourStyle style = no_minute ? HourStyle::padded : HourStyle::padded_minutes;
    const std::string hour = date_hour_part(d.hour, d.minute, utc_hour, utc_minute, style);
    append_format(out, "%s %2d %3s %2.2d", hour.c_str(), d.day, month, year);
  }
  return out;
}

// The shown (zone-shifted) and UTC fields of a time.
struct ValidTime {
  DateRec shown;
  DateRec utc;
};

ValidTime valid_time(int64_t seconds) {
  return ValidTime{date_from_seconds(seconds + date_zone().offset), date_from_seconds(seconds)};
}

std::string hour_of(const ValidTime &v, HourStyle style) {
  return date_hour_part(v.shown.hour, v.shown.minute, v.utc.hour, v.utc.minute, style);
}

}  // namespace


int DATE_fhour_label(char *buffer, size_t size, int hours, int day_style) {
  if (buffer == nullptr || size == 0) return -1;
  return finish(fhour_text(hours, day_style != 0), buffer, size);
}

// With a display offset the record is normalised in place (its seconds are
// needed) and the label shows the shifted time, always with hour and minute.
int DATE_make_label(DateRec *date, char *buffer, size_t size) {
  if (buffer == nullptr || size == 0) return -1;
  if (date == nullptr) return finish("", buffer, size, -1);
  const int offset = date_zone().offset;
  if (offset == 0) return finish(date_text(*date, nullptr), buffer, size);
  const ValidTime v = valid_time(date_seconds(*date));
  return finish(date_text(v.shown, &v.utc), buffer, size);
}

int DATE_make_label_for_time(int time_code, int model_key, const DateRec *date, char *buffer,
                             size_t size) {
  char model[label_model_chars + 1];
  copy_text(model, model_name(model_key).c_str());
  return DATE_make_label_for_time_mod(time_code, model, date, buffer, size);
}

int DATE_make_label_for_time_mod(int time_code, const char *model, const DateRec *date,
                                 char *buffer, size_t size) {
  if (buffer == nullptr || size == 0) return -1;
  if (model == nullptr) model = "";
  DateRec d{};
  DATE_init(&d);
  if (date != nullptr) d = *date;

  const TimeCode tc = split_code(time_code);
  const int p = tc.range > 5 ? tc.start : tc.end;
  const bool no_hour = d.hour == DATE_MISSING;
  const bool no_model = model[0] == '\0';
  std::string out = fhour_text(p, no_hour);
  if (shows_period(p)) out += ' ';
  out += model;

  if (d.hour > 23) d.hour = 0;
  if (d.day < 1 || d.day > 31) d.day = 1;
  if (d.month < 1 || d.month > 12) d.month = 1;
  if (d.year < 0) d.year = 1980;

  if (tc.range == 0 && !shows_period(p)) {
    out += no_model ? "Analysis for " : " analysis for ";
    char label[64];
    DATE_make_label(&d, label);
    out += label;
    return finish(out, buffer, size);
  }
  const bool plain_valid = tc.start < 1 || tc.end != 0;
  out += plain_valid ? " valid" : (no_model ? "Analysis valid" : " analysis valid");

  if (d.minute == DATE_MISSING) d.minute = 0;
  if (d.hour == DATE_MISSING) d.hour = 0;
  const ValidTime v = valid_time(date_seconds(d) + int64_t{tc.end} * 3600);
  const DateRec &s = v.shown;
  const char *month = date_month_name(s.month);
  const int year = s.year % 100;
  if (plain_valid && no_hour) {
    append_format(out, " %3s %2d %3s %2d", date_weekday_name(s.weekday), s.day, month, year);
  } else if (plain_valid) {
    append_format(out, " %s %3s %2d %3s %2.2d", hour_of(v, HourStyle::plain).c_str(),
                date_weekday_name(s.weekday), s.day, month, year);
  } else if (no_hour) {
    append_format(out, " %2d %3s %2d", s.day, month, year);
  } else {
    append_format(out, " %s %2d %3s %2.2d", hour_of(v, HourStyle::plain).c_str(), s.day, month, year);
  }
  return finish(out, buffer, size);
}

// A missing time code has no forecast hour: the label shows the reference time
// itself rather than one 9999 hours before it.
int DATE_make_label_for(int time_code, int model_key, int32_t seconds, char *buffer, size_t size) {
  if (buffer == nullptr || size == 0) return -1;
  const TimeCode tc = split_code(time_code);
  const int p = time_code >= 6000000 ? tc.start : tc.end;
  std::string out = fhour_text(p, false);
  if (shows_period(p)) out += ' ';
  out += model_name(model_key);

  if (seconds == 0) {
    if (p == 0) out += " analysis";
    return finish(out, buffer, size, -1);
  }
  bool plain_valid = false;
  if (tc.start > 5 && tc.end == 0) {
    out += " analysis valid";
  } else if (p == 0) {
    out += " analysis for";
  } else {
    out += " valid";
    plain_valid = true;
  }
  const int end = tc.end == DATE_MISSING ? 0 : tc.end;
  const ValidTime v = valid_time(int64_t{seconds} + int64_t{end} * 3600);
  const DateRec &s = v.shown;
  const std::string hour = hour_of(v, HourStyle::padded);
  if (plain_valid) {
    append_format(out, " %s %3s %2d %3s %2.2d", hour.c_str(), date_weekday_name(s.weekday), s.day,
                date_month_name(s.month), s.year % 100);
  } else {
    append_format(out, " %s %2d %3s %2.2d", hour.c_str(), s.day, date_month_name(s.month),
                s.year % 100);
  }
  return finish(out, buffer, size);
}
