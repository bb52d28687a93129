// Date-based file names: expanding the current file name template for a date
// (data file and header file names), and the template state they share with
// the matching of typed names and the current-file selection: the date of the
// current name, the fixed time fields of the "hour" option and the period of
// the template.
#include <algorithm>
#include <limits>
#include <optional>

#include "config/config.h"
#include "files/files.h"
#include "files/names_internal.h"

namespace kvz_names {

namespace {

constexpr uint32_t kDebugC = 0x40000000;

TemplateState make_initial_state() {
  TemplateState ts;
  DATE_init(&ts.file_date);
  DATE_init(&ts.fixed);
  ts.fixed.second = 0;
  return ts;
}

TemplateState state = make_initial_state();

int round_down(int value, int step) { return step > 1 ? value / step * step : value; }

void clear_date_fields(DateRec &date) {
  date.year = date.month = date.day = date.hour = date.minute = kMissing;
}

// Writes one expanded template; every date item also stores the value it
// wrote into the file date.
class Expander {
 public:
  Expander(const DateRec &date, const std::optional<std::string> &extracted)
      : date_(date), fixed_(state.fixed), out_(state.file_date), extracted_(extracted) {}

  std::string run(const std::string &tmpl) {
    for (size_t at = 0; at < tmpl.size();) {
      const char c = tmpl[at];
      if (c != '%') {
        if (c == ' ') result_ += '_';
        else if (c != '{' && c != '}') result_ += c;
        ++at;
        continue;
      }
      const TemplateItem item = read_item(tmpl, at);
      write_item(item);
      at = item.end;
    }
    return result_;
  }

 private:
  void number(int value, int width) {
    if (value == kMissing) {
      result_.append(static_cast<size_t>(width), '0');
      return;
    }
    char text[16];
    format_text(text, sizeof text, "%*.*d", width, width, value);
    result_ += text;
  }

  void write_item(const TemplateItem &item) {
    const int n = item.number > 0 ? item.number : 1;
    if (is_date_item(item.letter)) {
      date_item(item.letter, n);
      return;
    }
    const char *dir = directory_resource(item.letter);
    if (dir != nullptr) {
      result_ += extracted_ ? *extracted_ : directory_value(dir);
    } else if (item.letter == '{') {
      result_ += extracted_ ? *extracted_ : resource_text(item.name);
    } else if (item.letter == '%') {
      result_ += '%';
    } else if (item.letter == 'e') {
      result_ += extension();
    } else if (item.letter != 0) {
      key_item(item);
    }
  }

  void key_item(const TemplateItem &item) {
    const std::string &value = key_value(item.letter);
    if (value.empty()) result_ += '0';
    else result_ += item.number > 0 ? value.substr(0, static_cast<size_t>(item.number)) : value;
  }

  void date_item(char letter, int n) {
    switch (letter) {
      case 'Y': out_.year = year(n); number(out_.year, 4); break;
      case 'y': out_.year = year(n); number(out_.year == kMissing ? kMissing : out_.year % 100, 2); break;
      case 'm': out_.month = month(n); number(out_.month, 2); break;
      case 'b': month_name(n); break;
      case 'd': out_.day = day(n); number(out_.day, 2); break;
      case 'j': julian(n); break;
      case 'h': out_.hour = clock_field(date_.hour, fixed_.hour, n, 3600); number(out_.hour, 2); break;
      case 'n': out_.minute = clock_field(date_.minute, fixed_.minute, n, 60); number(out_.minute, 2); break;
      default: break;
    }
  }

  int year(int n) const {
    if (fixed_.year >= 0) return fixed_.year;
    return date_.year < 0 ? kMissing : round_down(date_.year, n);
  }

  int month(int n) const {
    if (fixed_.month >= 0) return fixed_.month;
    return date_.month < 0 ? kMissing : round_down(date_.month, n);
  }

  void month_name(int n) {
    const int value = month(n);
    if (value < 1 || value > 12) {
      result_ += "xxx";
      return;
    }
    out_.month = value;
    result_ += DATE_month_lower(value);
  }

  // The day of the month written by %d and used by %j; notes the period.
  int day(int n) const {
    const bool every = fixed_.day < 0 && fixed_.day != kMissing;
    const int step = every ? every_step(fixed_.day) : n;
    note_period(int64_t{step} * 86400, every);
    if (fixed_.day >= 0) return fixed_.day;
    if (date_.day < 0) return kMissing;
    return round_down(date_.day, step);
  }

  void julian(int n) {
    const int d = day(n);
    if (date_.year < 0 || date_.month < 1 || date_.month > 12 || d == kMissing) {
      number(kMissing, 3);
      return;
    }
    int value = 0;
    DATE_monday_julian(date_.year, date_.month, d, &value);
    out_.julian = value;
    out_.month = date_.month;
    out_.day = d;
    number(value, 3);
  }

  // An hour or minute: a fixed value, the date's value in steps of n, or with
  // a fixed -v every (v % 100) units from an offset of (v / 100) units.
  static int clock_field(int value, int fixed, int n, int unit) {
    if (fixed < 0 && fixed != kMissing) {
      const int v = every_step(fixed);
      const int step = v % 100 > 0 ? v % 100 : 1;
      note_period(int64_t{step} * unit, true);
      return value < 0 ? kMissing : value / step * step + v / 100;
    }
    note_period(int64_t{n} * unit, false);
    if (fixed >= 0) return round_down(fixed, n);
    return value < 0 ? kMissing : round_down(value, n);
  }

  const DateRec date_;
  const DateRec fixed_;
  DateRec &out_;
  const std::optional<std::string> &extracted_;
  std::string result_;
};

// The directory part of a name taken as given, which replaces the template's
// directories so that related files (the header file) stay beside it.  The
// template's '/' and ':' count how many trailing components the name keeps.
std::optional<std::string> extracted_path(const std::string &tmpl) {
  if (state.filename_type != 1 || state.filename.empty() || FILE_is_stdio(state.filename.c_str()))
    return std::nullopt;
  const std::string path = FILE_fullpath(state.filename.c_str()) ? state.filename : "./" + state.filename;
  int wanted = 0;
  for (const char c : tmpl)
    if (c == '/' || c == ':') ++wanted;
  if (wanted == 0) return std::nullopt;
  std::optional<size_t> end;
  int counted = 0;
  for (size_t i = path.size(); i-- > 0 && counted < wanted;) {
    if (path[i] == '/' || (path[i] == ':' && i == 1)) {
      ++counted;
      end = i;
    }
  }
  if (!end) return std::nullopt;
  const std::string extracted = path.substr(0, *end);
  MESS_print(kDebugC, "Extracted path: %s\n", extracted.c_str());
  return extracted;
}

// The index file beside a grid file, under the grid file's own name.
std::string header_beside(const std::string &name) {
  if (name.empty() || FILE_is_stdio(name.c_str())) return std::string();
  return name + ".hdr";
}

}  // namespace

TemplateState &template_state() { return state; }

void note_period(int64_t seconds, bool force) {
  const int period = static_cast<int>(std::min<int64_t>(seconds, std::numeric_limits<int>::max()));
  if (force || state.late_off == kMissing || period < state.late_off) state.late_off = period;
}

int every_step(int fixed) {
  constexpr int kLargest = 20000;  // 20000 days still fit a period in seconds
  return fixed < -kLargest ? kLargest : -fixed;
}

}  // namespace kvz_names

using kvz_names::kMissing;

int FILE_set_date(const DateRec *date, std::string *result) {
  kvz_names::TemplateState &ts = kvz_names::state;
  const std::string &conv = kvz_names::convention();
  std::string made;
  if (conv.empty()) {
    made = ts.filename.empty() ? "filename" : ts.filename;
    ts.filename_type = 1;
  } else if (FILE_is_stdio(conv.c_str())) {
    made = "-";
    ts.filename_type = 0;
  }
  if (!made.empty()) {
    if (result) *result = made;
    return 1;
  }

  const std::optional<std::string> extracted = kvz_names::extracted_path(conv);
  const std::string &tmpl = ts.header ? kvz_names::header_convention() : conv;
  ts.late_off = kMissing;
  const DateRec source = date ? *date : ts.file_date;
  if (date) kvz_names::clear_date_fields(ts.file_date);
  if (source.year == kMissing && !ts.filename.empty()) {
    ts.filename_type = 1;
    if (result) *result = ts.filename;
    return 1;
  }
  ts.filename = kvz_names::Expander(source, extracted).run(tmpl);
  if (result) *result = ts.filename;
  return 0;
}

// Header files of grid files whose date is unknown, or whose convention has no
// header template, sit beside the grid file under its name with ".hdr" added;
// so does one whose template would name the grid file itself.
int FILE_hdr_set_date(const DateRec *date, std::string *result) {
  kvz_names::TemplateState &ts = kvz_names::state;
  const DateRec when = date ? *date : ts.file_date;
  const std::string beside = kvz_names::header_beside(ts.filename);
  const std::string &conv = kvz_names::convention();
  std::string made;
  if (when.year != kMissing && !conv.empty() && !FILE_is_stdio(conv.c_str()) &&
      !kvz_names::header_convention().empty()) {
    const std::string filename = ts.filename;
    const int filename_type = ts.filename_type;
    ts.header = true;
    FILE_set_date(&when, &made);
    ts.header = false;
    ts.filename = filename;
    ts.filename_type = filename_type;
    if (made == filename) made.clear();
  }
  if (made.empty()) made = beside;
  if (made.empty()) return 0;
  if (result) *result = made;
  return 1;
}

int FILE_set_time(const DateRec &fixed) {
  kvz_names::state.fixed = fixed;
  return 0;
}

const DateRec &FILE_get_set_time() { return kvz_names::state.fixed; }

int FILE_get_date(DateRec *date) {
  if (date) *date = kvz_names::state.file_date;
  return 0;
}

void FILE_names_reset() {
  kvz_names::state = kvz_names::make_initial_state();
  kvz_names::reset_convention();
}
