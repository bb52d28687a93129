// Completing a file name as the user typed it: the name is matched against the
// current template, which supplies directories, keys and the literal text the
// user left out, and the date fields are read out of it.  A name that names an
// existing file is always used as typed.
#include <cctype>

#include "config/config.h"
#include "files/files.h"
#include "files/names_internal.h"

namespace {

using kvz_names::kMissing;

constexpr uint32_t kDebugD = 0x80000000;
constexpr uint32_t kDebug = 0xF0000000;

// States of the match: what the last template item was.
enum MatchState { kNothing = 0, kAfterDirectory = 1, kAfterDate = 2, kNameUsedUp = 3 };

class Matcher {
 public:
  Matcher(const std::string &tmpl, const std::string &name)
      : tmpl_(tmpl), name_(name), date_(kvz_names::template_state().file_date),
        has_slash_(name.find('/') != std::string::npos) {}

  std::string run() {
    kvz_names::template_state().late_off = kMissing;
    while (t_ < tmpl_.size() && !stopped_) {
      MESS_print(kDebugD, "FILES:%s:%s:%s:%s:%s:%d\n", tmpl_.c_str() + t_, name_.c_str() + p_,
                 out_.c_str(), name_.c_str(), out_.c_str(), state_);
      step();
    }
    MESS_print(kDebugD, "FILES:%s:%s:%d\n", name_.c_str(), out_.c_str(), state_);
    DATE_print(kDebug, &date_);
    return out_;
  }

  // The whole name was used and nothing had to be passed through.
  bool clean() const { return !gave_up_ && p_ >= name_.size(); }

 private:
  void step() {
    const char c = tmpl_[t_];
    if (in_brace_ && c != '%') {
      brace_text(c);
    } else if (c == '%') {
      item();
    } else if (c == '*') {
      out_ += name_.substr(p_);
      p_ = name_.size();
      stopped_ = true;
    } else if (c == '{') {
      in_brace_ = true;
      ++t_;
    } else if (c == '}') {
      ++t_;
    } else {
      literal(c == ' ' ? '_' : c);
    }
  }

  void give_up() {
    out_ += name_.substr(p_);
    p_ = name_.size();
    gave_up_ = true;
    stopped_ = true;
  }

  // Text in braces is written as it stands; the name does not move.
  void brace_text(char c) {
    ++t_;
    if (c == '}') {
      in_brace_ = false;
      state_ = kAfterDirectory;
    } else {
      out_ += c == ' ' ? '_' : c;
    }
  }

  void literal(char c) {
    const bool more = p_ < name_.size();
    if (more && name_[p_] == c) {
      out_ += c;
      ++t_;
      ++p_;
      if (state_ >= kAfterDirectory && p_ >= name_.size()) state_ = kNameUsedUp;
      return;
    }
    if (more && state_ != kAfterDirectory) {
      give_up();
      return;
    }
    // After a directory the template's own text replaces what the user typed
    // in its place; once the name is used up the template completes it.
    out_ += c;
    ++t_;
    if (more && !has_slash_) ++p_;
  }

  void item() {
    const kvz_names::TemplateItem item = kvz_names::read_item(tmpl_, t_);
    t_ = item.end;
    const int n = item.number > 0 ? item.number : 1;
    if (kvz_names::is_date_item(item.letter)) {
      date_item(item.letter, n);
    } else if (const char *dir = kvz_names::directory_resource(item.letter)) {
      directory(kvz_names::directory_value(dir));
    } else if (item.letter == '{') {
      directory(kvz_names::resource_text(item.name));
    } else if (item.letter == '%') {
      out_ += '%';
    } else if (item.letter == 'e') {
      extension();
    } else if (item.letter != 0) {
      key(item);
    }
  }

  // The literal template text that follows the current item, up to the next item.
  std::string anchor() const {
    std::string text;
    for (size_t at = t_; at < tmpl_.size() && tmpl_[at] != '%' && tmpl_[at] != '*'; ++at)
      if (tmpl_[at] != '{' && tmpl_[at] != '}') text += tmpl_[at] == ' ' ? '_' : tmpl_[at];
    return text;
  }

  // Where the text after the extension starts in the name, if it can be found.
  size_t anchor_position() const {
    const std::string text = anchor();
    if (text.empty()) return t_ >= tmpl_.size() ? name_.size() : std::string::npos;
    return name_.find(text, p_);
  }

  void extension() {
    const size_t at = anchor_position();
    if (!kvz_names::extension().empty()) {
      out_ += kvz_names::extension();
      if (at != std::string::npos) p_ = at;
      return;
    }
    if (at == std::string::npos) {
      give_up();
      return;
    }
    kvz_names::set_extension(name_.substr(p_, at - p_));
    out_ += kvz_names::extension();
    p_ = at;
  }

  void key(const kvz_names::TemplateItem &item) {
    const std::string &value = kvz_names::key_value(item.letter);
    if (value.empty()) {
      give_up();
      return;
    }
    const std::string text = item.number > 0 ? value.substr(0, static_cast<size_t>(item.number)) : value;
    out_ += text;
    p_ = std::min(name_.size(), p_ + text.size());
  }

  void directory(const std::string &value) {
    state_ = kAfterDirectory;
    if (!FILE_fullpath(name_.c_str())) {
      out_ += value;
      if (t_ < tmpl_.size() && tmpl_[t_] == '/') {
        out_ += '/';
        ++t_;
      }
      return;
    }
    // A full path keeps its own directories: as many trailing components as
    // the rest of the template has separators stay to be matched.
    int wanted = 0;
    for (size_t at = t_; at < tmpl_.size(); ++at)
      if (tmpl_[at] == '/' || tmpl_[at] == '\\' || tmpl_[at] == ':') ++wanted;
    size_t end = p_;
    int counted = 0;
    for (size_t i = name_.size(); i-- > p_ && counted < wanted;) {
      if (name_[i] == '/' || (name_[i] == ':' && i == p_ + 1)) {
        ++counted;
        end = i;
      }
    }
    out_ += name_.substr(p_, end - p_);
    p_ = end;
  }

  // Reads a date field of fixed width; the field must be complete.
  void date_item(char letter, int n) {
    const size_t width = static_cast<size_t>(kvz_names::date_item_width(letter));
    if (p_ + width > name_.size()) {
      give_up();
      return;
    }
    const std::string field = name_.substr(p_, width);
    if (!read_date_field(letter, field)) {
      give_up();
      return;
    }
    out_ += field;
    p_ += width;
    state_ = kAfterDate;
    note_period(letter, n);
  }

  bool read_date_field(char letter, const std::string &field) {
    if (letter == 'b') {
      const int month = DATE_decode_month(field.c_str());
      if (month == 0) return false;
      date_.month = month;
      return true;
    }
    int value = 0;
    for (const char c : field) {
      if (!isdigit(static_cast<unsigned char>(c))) return false;
      value = value * 10 + (c - '0');
    }
    switch (letter) {
      case 'Y': date_.year = value; break;
      case 'y': date_.year = value < 50 ? 2000 + value : 1900 + value; break;
      case 'm': date_.month = value; break;
      case 'd': date_.day = value; break;
      case 'j': {
        date_.julian = value;
        DATE_julian_monday(date_.year, value, &date_.month, &date_.day);
        break;
      }
      case 'h': date_.hour = value; break;
      case 'n': date_.minute = value; break;
      default: break;
    }
    return true;
  }

  // A fixed field of -v gives a period of v units, else the item's step does.
  static void period(int fixed, int n, int unit) {
    const bool every = fixed < 0 && fixed != kMissing;
    kvz_names::note_period(int64_t{every ? kvz_names::every_step(fixed) : n} * unit, every);
  }

  static void note_period(char letter, int n) {
    const DateRec &fixed = kvz_names::template_state().fixed;
    switch (letter) {
      case 'd': case 'j': period(fixed.day, n, 86400); break;
      case 'h': period(fixed.hour, n, 3600); break;
      case 'n': period(fixed.minute, n, 60); break;
      default: break;
    }
  }

  const std::string &tmpl_;
  const std::string &name_;
  DateRec &date_;
  const bool has_slash_;
  size_t t_ = 0;
  size_t p_ = 0;
  int state_ = kNothing;
  bool in_brace_ = false;
  bool stopped_ = false;
  bool gave_up_ = false;
  std::string out_;
};

// Whether a completed name is the typed name with only a directory put in front.
bool only_directory_added(const std::string &completed, const std::string &typed) {
  if (completed == typed) return true;
  if (completed.size() <= typed.size()) return false;
  const size_t prefix = completed.size() - typed.size();
  return completed.compare(prefix, std::string::npos, typed) == 0 && completed[prefix - 1] == '/';
}

// The name the template makes of a typed name.  A name that names an existing
// file is used as typed; its date is read when the template reproduces it.  A
// name that does not fit the template is used as typed, or with the template's
// directory when the file is found there; its date is then not known.
std::string complete(const std::string &name, bool exists) {
  kvz_names::TemplateState &ts = kvz_names::template_state();
  Matcher matcher(kvz_names::convention(), name);
  const std::string completed = matcher.run();
  if (exists) {
    ts.filename_type = 1;
    if (!matcher.clean() || !only_directory_added(completed, name)) ts.file_date = ts.fixed;
    return name;
  }
  if (matcher.clean()) return completed;
  ts.filename_type = 1;
  ts.file_date = ts.fixed;
  if (only_directory_added(completed, name) && FILE_exist(completed.c_str())) return completed;
  return name;
}

// Selects by time, as "#...", "cu..." and "la..." ask.
std::string select_current(const char *text) {
  std::string result;
  FILE_set_current(text, &result);
  MESS_print(0xF00, "Current filename: %s\n", result.c_str());
  return result;
}

// Reads the digits after a '#' suffix as fixed time fields: year, then month,
// day, hour and minute, up to the first field that does not start with a digit.
void read_fixed_time(const std::string &digits) {
  DateRec fixed = FILE_get_set_time();
  const struct {
    int DateRec::*field;
    size_t width;
  } fields[] = {{&DateRec::year, 4}, {&DateRec::month, 2}, {&DateRec::day, 2},
                {&DateRec::hour, 2}, {&DateRec::minute, 2}};
  const auto digit_at = [&digits](size_t at) {
    return at < digits.size() && isdigit(static_cast<unsigned char>(digits[at]));
  };
  size_t at = 0;
  for (const auto &f : fields) {
    if (!digit_at(at)) break;
    int value = 0;
    for (size_t k = 0; k < f.width && digit_at(at); ++k) value = value * 10 + (digits[at++] - '0');
    fixed.*f.field = value;
  }
  FILE_set_time(fixed);
}

// Cuts what follows the name proper: fixed time fields after '#', or the extra
// selection text when names carry one.  The first three characters never start
// the extra text; a marker inside a directory or file name (as in run-1/eta.grb#3)
// is passed over when the text before a later marker names an existing file.
void cut_suffix(std::string &name) {
  if (kvz_names::file_type() != 1) {
    const size_t hash = name.find('#', 1);
    if (hash == std::string::npos) return;
    read_fixed_time(name.substr(hash + 1));
    name.resize(hash);
    return;
  }
  static const char kMarkers[] = "#-+:";
  const size_t first = name.find_first_of(kMarkers, 3);
  if (first == std::string::npos) return;
  size_t cut = first;
  for (size_t at = first; at != std::string::npos; at = name.find_first_of(kMarkers, at + 1)) {
    if (kvz_names::names_existing_object(name.substr(0, at))) {
      cut = at;
      break;
    }
  }
  kvz_names::set_ext_info(name.substr(cut));
  name.resize(cut);
}

std::string choose(const std::string &name) {
  kvz_names::TemplateState &ts = kvz_names::template_state();
  const std::string &conv = kvz_names::convention();
  if (FILE_is_stdio(name.c_str())) return "-";
  const bool exists = kvz_names::names_existing_object(name);
  if (!exists && kvz_names::equals_nocase(name, "exit")) KVZ_exit(0);
  if (!exists && name[0] == '@') {
    ts.filename_type = 1;
    return name.substr(1);
  }
  const bool usable = !conv.empty() && !FILE_is_stdio(conv.c_str()) &&
                      !(FILE_fullpath(conv.c_str()) && FILE_fullpath(name.c_str()));
  if (exists && usable) return complete(name, true);
  if (exists) {
    ts.filename_type = 1;
    return name;
  }
  if (conv.empty()) {
    ts.filename_type = 1;
    return name;
  }
  if (FILE_is_stdio(conv.c_str())) return "-";
  if (name[0] == '#') return select_current(name.c_str());
  if (kvz_names::starts_with_nocase(name, "cu")) return select_current(name.c_str() + 2);
  if (kvz_names::starts_with_nocase(name, "la")) return select_current(name.c_str());
  if (kvz_names::equals_nocase(name, "none")) return name;
  if (!usable) return name;
  return complete(name, false);
}

}  // namespace

int FILE_set_file(const char *typed, std::string *result) {
  kvz_names::TemplateState &ts = kvz_names::template_state();
  std::string name = typed ? typed : "";
  // A name that names an existing file keeps every character, markers included.
  if (!kvz_names::names_existing_object(name)) cut_suffix(name);
  ts.file_date = ts.fixed;
  const std::string chosen = choose(name);
  ts.filename = chosen;
  if (result) *result = chosen;
  return 0;
}
