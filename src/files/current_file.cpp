// Selecting a data file by time: "cu" (now), "la" (the latest file there is),
// a '#' date, offsets such as "-6" or "+1d3:30", and combinations like
// "la-1d".  The time is stepped by the period of the current template and the
// name is made with FILE_set_date.
#include <cctype>
#include <cstdlib>
#include <limits>

#include "config/config.h"
#include "files/files.h"
#include "files/names_internal.h"

namespace {

constexpr uint32_t kDebug = 0xF0000000;
constexpr int kDefaultTries = 500;
constexpr int kMaxDigits = 9;  // numbers in a selection are cut here: no overflow

int32_t to_time(int64_t seconds) {
  if (seconds < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (seconds > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(seconds);
}

DateRec date_of(int64_t seconds) {
  const int32_t t = to_time(seconds);
  DateRec d{};
  DATE_get_gmdate(&t, &d);
  return d;
}

int64_t seconds_of(DateRec d) { return DATE_num_sec(&d); }

// Reads up to `width` digits; false when the text does not start with one.
bool read_digits(const char *&p, size_t width, int &value) {
  if (!isdigit(static_cast<unsigned char>(*p))) return false;
  value = 0;
  for (size_t k = 0; k < width && isdigit(static_cast<unsigned char>(*p)); ++k, ++p)
    value = value * 10 + (*p - '0');
  return true;
}

int read_number(const char *&p) {
  int value = 0;
  read_digits(p, kMaxDigits, value);
  while (isdigit(static_cast<unsigned char>(*p))) ++p;
  return value;
}

// A time written as YYYYMMDDHHNN or a prefix of it; a month or day that is
// not given is the first, an hour or minute 0.
bool read_time_digits(const char *&p, int64_t &seconds) {
  DateRec d{};
  DATE_init(&d);
  d.month = d.day = 1;
  d.hour = d.minute = d.second = 0;
  if (!read_digits(p, 4, d.year)) return false;
  int *const fields[] = {&d.month, &d.day, &d.hour, &d.minute};
  for (int *field : fields)
    if (!read_digits(p, 2, *field)) break;
  seconds = seconds_of(d);
  return true;
}

// The time the selection starts from: its own '#' time, "kvzcurtime", or now.
int64_t base_time(const char *&p) {
  int64_t seconds = 0;
  if (*p == '#') {
    const char *digits = p + 1;
    if (read_time_digits(digits, seconds)) {
      p = digits;
      return seconds;
    }
    ++p;
  }
  const char *env = std::getenv("kvzcurtime");
  if (env != nullptr) {
    if (*env == '#') ++env;
    if (read_time_digits(env, seconds)) return seconds;
  }
  return DATE_get_time(nullptr);
}

// Pulls the time back to the latest one that fits the fixed time fields.
int64_t fit_fixed_fields(int64_t seconds) {
  const DateRec &fixed = kvz_names::template_state().fixed;
  DateRec b = date_of(seconds);
  if (fixed.month >= 0 && fixed.month > b.month) {
    b.year -= 1;
    b.month = fixed.month;
    seconds = seconds_of(b);
    b = date_of(seconds);
  }
  if (fixed.day >= 0 && fixed.day > b.day) {
    b.month -= 1;
    if (b.month == 0) {
      b.month = 12;
      b.year -= 1;
    }
    b.day = fixed.day;
    seconds = seconds_of(b);
    b = date_of(seconds);
  }
  if (fixed.hour >= 0) {
    const bool later = fixed.hour > b.hour;
    b.hour = fixed.hour;
    seconds = seconds_of(b) - (later ? 86400 : 0);
    b = date_of(seconds);
  }
  if (fixed.minute >= 0) {
    const bool later = fixed.minute > b.minute;
    b.minute = fixed.minute;
    seconds = seconds_of(b) - (later ? 3600 : 0);
  }
  return seconds;
}

// '+' forwards, '-' backwards; without one the fallback holds.
int read_sign(const char *&p, int fallback) {
  if (*p == '+') {
    ++p;
    return 1;
  }
  if (*p == '-') {
    ++p;
    return -1;
  }
  return fallback;
}

// An offset H, H:M, Dd, DdH or DdH:M moved by; false when none is written.
bool apply_offset(const char *&p, int sign, int64_t &seconds, bool first) {
  if (!isdigit(static_cast<unsigned char>(*p))) return false;
  int days = 0, hours = 0, minutes = 0;
  const char *after = p;
  while (isdigit(static_cast<unsigned char>(*after))) ++after;
  if (*after == 'd') {
    days = read_number(p);
    ++p;
    if (isdigit(static_cast<unsigned char>(*p))) hours = read_number(p);
  } else {
    hours = read_number(p);
  }
  if (*p == ':' && isdigit(static_cast<unsigned char>(p[1]))) {
    ++p;
    minutes = read_number(p);
  }
  const int64_t offset = sign * (int64_t{hours} * 3600 + int64_t{days} * 86400 + int64_t{minutes} * 60);
  seconds += offset;
  MESS_print(kDebug, "%s:%d %d %d %d\n", first ? "CUR1" : "CUR2", to_time(offset), days, hours, minutes);
  if (first) MESS_print(kDebug, "CUR1:%s %d\n", p, to_time(seconds));
  else MESS_print(kDebug, "CUR2:%d\n", to_time(seconds));
  return true;
}

// Steps from the time reached, by the template's period, until a file of more
// than the minimum size exists.  Without a period only the one name is tried.
void search_latest(const char *&p, int sign, int64_t &seconds) {
  ++p;
  if (*p == 'a' || *p == 'A') ++p;
  int tries = kDefaultTries;
  if (*p == '#') {
    ++p;
    const int direction = read_sign(p, 1);
    tries = direction * read_number(p);
  }
  std::string name;
  for (int k = 0; k < tries; ++k) {
    const DateRec d = date_of(seconds);
    const bool from_template = FILE_set_date(&d, &name) == 0;
    MESS_print(kDebug, "LATE:%d %d %d %d %d\n", d.year, d.month, d.day, d.hour, d.minute);
    MESS_print(kDebug, "LATE: %s\n", name.c_str());
    if (FILE_size(name.c_str()) > kvz_names::minimum_size()) break;
    const int period = kvz_names::template_state().late_off;
    if (!from_template || period <= 0) break;
    seconds += sign * int64_t{period};
  }
  MESS_print(kDebug, "LATEST: %s %s %d\n", p, name.c_str(), to_time(seconds));
}

}  // namespace

namespace kvz_names {

int set_current(const char *text, std::string &result) {
  template_state().filename_type = 0;
  const char *p = text ? text : "la";
  int64_t seconds = fit_fixed_fields(base_time(p));

  int sign = read_sign(p, -1);
  if (apply_offset(p, sign, seconds, true)) sign = read_sign(p, -1);
  if (*p == 'l' || *p == 'L') {
    search_latest(p, sign, seconds);
    sign = read_sign(p, -1);
  }
  sign = read_sign(p, sign);
  apply_offset(p, sign, seconds, false);

  const DateRec d = date_of(seconds);
  MESS_print(kDebug, "%d %d %d %d\n", d.year, d.day, d.hour, d.minute);
  FILE_set_date(&d, &result);
  const int64_t period = template_state().late_off;
  const int64_t t = to_time(seconds);
  if (period <= 0) return to_time(t);
  const int64_t rounded = t / period * period;
  return to_time(rounded > t ? rounded - period : rounded);
}

}  // namespace kvz_names

int32_t FILE_set_current(const char *text, std::string *result) {
  std::string name;
  const int32_t t = kvz_names::set_current(text, name);
  if (result) *result = name;
  return t;
}
