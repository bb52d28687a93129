// The conversion table "units.lup": blank-separated tokens, three to an entry
// (source unit, target unit, conversion text); a token starting with "#" where
// an entry would start makes the rest of its line a comment.
#include <cstdio>
#include <string>

#include "config/config.h"
#include "naming/naming_internal.h"
#include "naming/units_internal.h"

namespace {

constexpr uint32_t kDebugC = 0x40000000;

// Walks the blank-separated tokens of the table text.
class Tokens {
 public:
  explicit Tokens(const std::string &text) : text_(text) {}

  bool next(std::string &token) {
    const size_t start = text_.find_first_not_of(" \t\r\n\f\v", pos_);
    if (start == std::string::npos) return false;
    const size_t stop = text_.find_first_of(" \t\r\n\f\v", start);
    pos_ = stop == std::string::npos ? text_.size() : stop;
    token = text_.substr(start, pos_ - start);
    return true;
  }
  void skip_line() {
    const size_t stop = text_.find('\n', pos_);
    pos_ = stop == std::string::npos ? text_.size() : stop + 1;
  }

 private:
  const std::string &text_;
  size_t pos_ = 0;
};

std::string read_all(FILE *fp) {
  std::string text;
  char buffer[4096];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, fp)) > 0) text.append(buffer, got);
  return text;
}

}  // namespace

bool units_read_table(std::vector<UnitConversion> &table, std::string &path) {
  table.clear();
  const TableFile fp = naming_open_table("units.lup", path);
  if (!fp) return false;
  const std::string text = read_all(fp.get());
  Tokens tokens(text);
  UnitConversion entry;
  while (tokens.next(entry.from)) {
    if (entry.from[0] == '#') {
      tokens.skip_line();
      continue;
    }
    if (!tokens.next(entry.to) || !tokens.next(entry.cvt)) break;
    table.push_back(entry);
  }
  return true;
}

void units_parse_conversion(const std::string &cvt, float &scale, float &offset) {
  scale = 1.0f;
  offset = 0.0f;
  const char *p = cvt.c_str();
  float number = 0.0f;
  int used = 0;
  if (std::sscanf(p, "*%f%n", &number, &used) == 1) {
    scale = number;
    p += used;
    MESS_print(kDebugC, "SC: %f %s\n", scale, p);
  }
  used = 0;
  if (std::sscanf(p, "+%f%n", &number, &used) == 1) {
    offset = number;
    p += used;
    MESS_print(kDebugC, "OF: %f %s\n", offset, p);
  }
  used = 0;
  if (std::sscanf(p, "-%f%n", &number, &used) == 1) {
    offset = -number;
    p += used;
    MESS_print(kDebugC, "OF-: %f %s\n", offset, p);
  }
}
