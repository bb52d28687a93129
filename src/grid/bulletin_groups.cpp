// Decoding the text of one GRID code bulletin: white-space separated tokens,
// groups recognised by their leading digit in a fixed order, then rows of
// fixed-width digit groups.  The text is held in memory and every read stops
// at its end, so a damaged bulletin can only end with a named problem.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "files/files.h"
#include "grid/bulletin.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A token of the text; characters past its end read as '\0'.
struct Token {
  const char *p = "";
  size_t n = 0;
  char at(size_t i) const { return i < n ? p[i] : '\0'; }
};

// A token as messages show it: at most 16 characters, unprintable ones as '?'.
std::string shown(const Token &t) {
  std::string s;
  for (size_t i = 0; i < t.n && i < 16; ++i) s += (t.p[i] >= 0x20 && t.p[i] < 0x7F) ? t.p[i] : '?';
  if (t.n > 16) s += "...";
  return s;
}

// A character as messages show it.
std::string shown(char c) {
  std::string s;
  if (c >= 0x20 && c < 0x7F) append_format(s, "'%c'", c);
  else append_format(s, "byte 0x%02X", static_cast<unsigned char>(c));
  return s;
}

enum class ValueRead { ok, end, not_digit };

class Cursor {
 public:
  Cursor(const char *text, size_t size) : p_(text), end_(text + size) {}

  // The next token; false at the end of the text.
  bool next(Token *t) {
    skip_blanks();
    if (p_ == end_) return false;
    t->p = p_;
    while (p_ != end_ && !is_blank(*p_)) ++p_;
    t->n = static_cast<size_t>(p_ - t->p);
    return true;
  }

  // One value of at most `width` digits after any blanks: a shorter value ends
  // at the next blank or non-digit, as a fixed-width field does.
  ValueRead value(int width, int *v, char *found) {
    skip_blanks();
    if (p_ == end_) return ValueRead::end;
    if (!is_digit(*p_)) {
      *found = *p_;
      return ValueRead::not_digit;
    }
    *v = 0;
    for (int i = 0; i < width && p_ != end_ && is_digit(*p_); ++i, ++p_) *v = *v * 10 + (*p_ - '0');
    return ValueRead::ok;
  }

 private:
  void skip_blanks() {
    while (p_ != end_ && is_blank(*p_)) ++p_;
  }
  const char *p_;
  const char *end_;
};

// The number of `count` digits of a token from position `from`; false, with
// the number left as it was, when any of them is missing or not a digit.
bool digits_at(const Token &t, size_t from, size_t count, int *v) {
  int n = 0;
  for (size_t i = from; i < from + count; ++i) {
    if (!is_digit(t.at(i))) return false;
    n = n * 10 + (t.at(i) - '0');
  }
  *v = n;
  return true;
}

// The scale of a "3" data group's digit: 1 to 4 give 10^-k, 5 to 9 give 10^(k-4).
double scale_of(char k) {
  if (k >= '1' && k <= '4') return std::pow(10.0, -(k - '0'));
  if (k >= '5' && k <= '9') return std::pow(10.0, k - '0' - 4);
  return 1.0;
}

class Decoder {
 public:
  Decoder(const char *text, size_t size, Bulletin *b, std::string *problem)
      : cur_(text, size), b_(b), problem_(problem) {}

  bool identification();
  bool header_groups();  // up to the "7" group
  bool forecast_groups();
  bool data_groups();
  bool rows();

 private:
  bool fail(const std::string &text) {
    *problem_ = text;
    return false;
  }
  bool step();  // the next token into tok_
  bool group(char lead, size_t from, size_t count, int *v, const char *what);
  bool reference();
  bool value(int row, int col, int *v);

  Cursor cur_;
  Bulletin *b_;
  std::string *problem_;
  Token tok_;
};

bool Decoder::step() {
  if (cur_.next(&tok_)) return true;
  return fail("the bulletin ends before its rows");
}

// A group's number of `count` digits from position `from` of the current token.
bool Decoder::group(char lead, size_t from, size_t count, int *v, const char *what) {
  if (digits_at(tok_, from, count, v)) return true;
  std::string text;
  append_format(text, "the \"%c\" group %s holds no %s", lead, shown(tok_).c_str(), what);
  return fail(text);
}

// The "GRID" mark, the identification (joined to the mark or the next token)
// and the two tokens after it.
bool Decoder::identification() {
  Token mark;
  if (!cur_.next(&mark) || mark.n < 4 || memcmp(mark.p, "GRID", 4) != 0)
    return fail("it does not start with GRID");
  Token id{mark.p + 4, mark.n - 4};
  if (id.n == 0 && !cur_.next(&id)) return fail("the bulletin ends after its GRID mark");
  int centre = 0, quadrant = 0;
  if (!digits_at(id, 0, 2, &centre) || !digits_at(id, 2, 3, &quadrant)) {
    std::string text;
    append_format(text, "the identification %s is not a centre and quadrant number", shown(id).c_str());
    return fail(text);
  }
  b_->centre = centre;
  b_->quadrant = quadrant;
  if (quadrant < 1 || quadrant > kBulletinQuadrants) {
    std::string text;
    append_format(text, "quadrant %d is not one of 1 to %d", quadrant, kBulletinQuadrants);
    return fail(text);
  }
  Token passed;
  if (!cur_.next(&passed) || !cur_.next(&passed)) return fail("the bulletin ends before its groups");
  return step();
}

// Variable, level and reference date; each group is optional, in this order.
bool Decoder::header_groups() {
  int d = 0;
  if (tok_.at(0) == '1') {
    if (!group('1', 1, 2, &b_->var, "variable number") || !step()) return false;
  }
  if (tok_.at(0) == '2') {
    if (!group('2', 1, 2, &d, "level") || !step()) return false;
    b_->ltype = 10;
    b_->level = d * 10;
  }
  if (tok_.at(0) == '3') {
    if (!group('3', 1, 2, &d, "level") || !step()) return false;
    b_->level = d * 10;
    b_->ltype = b_->level == 0 ? 12 : 13;
  }
  if (tok_.at(0) == '6') {
    if (!group('6', 1, 2, &b_->year, "year") || !group('6', 3, 2, &b_->month, "month") || !step()) return false;
  }
  if (tok_.at(0) == '7') {
    if (!group('7', 1, 2, &b_->day, "day") || !group('7', 3, 2, &b_->hour, "hour")) return false;
    return step();
  }
  return true;
}

// The forecast hour, the "0" group and the section token.
bool Decoder::forecast_groups() {
  if (tok_.at(0) == '8') {
    if (!group('8', 2, 3, &b_->fhour, "forecast hour") || !step()) return false;
  }
  if (tok_.at(0) == '0' && !step()) return false;
  return step();  // the section token
}

// The value after the "3" data group: "%f" of the token, finite.
bool Decoder::reference() {
  char number[32];
  std::string text;
  if (tok_.n >= sizeof number) {
    append_format(text, "the reference value %s is too long", shown(tok_).c_str());
    return fail(text);
  }
  memcpy(number, tok_.p, tok_.n);
  number[tok_.n] = '\0';
  char *end = nullptr;
  const double r = strtod(number, &end);
  if (end == number || !std::isfinite(r)) {
    append_format(text, "the reference value %s is not a number", shown(tok_).c_str());
    return fail(text);
  }
  b_->reference = (b_->var == 4 ? -r : r) * b_->scale;
  return true;
}

// Sign convention, digits per value, scale and reference.
bool Decoder::data_groups() {
  if (tok_.at(0) == '1') {
    b_->sign = tok_.at(4);
    if (!step()) return false;
  }
  const bool counted = tok_.at(0) == '2';
  if (counted) {
    b_->digits = is_digit(tok_.at(1)) ? tok_.at(1) - '0' : -1;
    if (!step()) return false;
  }
  if (tok_.at(0) == '3') {
    b_->scale = scale_of(tok_.at(1));
    if (!step() || !reference() || !step()) return false;
  }
  if (!counted) return fail("it has no group giving the digits per value");
  if (b_->digits < 3 || b_->digits > 5) {
    std::string text;
    if (b_->digits < 0) append_format(text, "the digits per value are not a number");
    else append_format(text, "%d digits per value; only 3, 4 or 5 can be read", b_->digits);
    return fail(text);
  }
  return true;
}

// One coded value with its sign applied.
bool Decoder::value(int row, int col, int *v) {
  char found = '\0';
  std::string text;
  switch (cur_.value(b_->digits, v, &found)) {
    case ValueRead::ok: break;
    case ValueRead::end:
      append_format(text, "the bulletin ends in row %d of %d after %d values", row + 1, kBulletinNy, col);
      return fail(text);
    case ValueRead::not_digit:
      append_format(text, "row %d of %d holds %s where value %d should be", row + 1, kBulletinNy,
                    shown(found).c_str(), col + 1);
      return fail(text);
  }
  if (b_->sign == '1') {
    int unit = 1;
    for (int i = 1; i < b_->digits; ++i) unit *= 10;
    const int magnitude = *v % unit;
    *v = *v / unit == 1 ? -magnitude : magnitude;
  } else if (b_->sign == '3') {
    *v = -*v;
  }
  return true;
}

// Rows of values, each after a row token and one passed-over token.  Rows of
// quadrants 1 to 4 arrive north first and are stored from the last row up.
bool Decoder::rows() {
  b_->coded.assign(static_cast<size_t>(kBulletinNx) * kBulletinNy, 0);
  for (int r = 0; r < kBulletinNy; ++r) {
    Token row = tok_, passed;
    if ((r > 0 && !cur_.next(&row)) || !cur_.next(&passed)) {
      std::string text;
      append_format(text, "the bulletin ends before row %d of %d", r + 1, kBulletinNy);
      return fail(text);
    }
    const int stored = b_->quadrant <= 4 ? kBulletinNy - 1 - r : r;
    int *out = b_->coded.data() + static_cast<size_t>(stored) * kBulletinNx;
    if (row.at(0) == '9') {  // one value for the whole row
      int v = 0;
      if (!value(r, 0, &v)) return false;
      for (int c = 0; c < kBulletinNx; ++c) out[c] = v;
      continue;
    }
    for (int c = 0; c < kBulletinNx; ++c)
      if (!value(r, c, &out[c])) return false;
  }
  return true;
}

}  // namespace

bool bulletin_decode(const char *text, size_t size, Bulletin *b, std::string *problem, bool header_only) {
  Decoder d(text, size, b, problem);
  if (!d.identification() || !d.header_groups()) return false;
  if (header_only) return true;
  return d.forecast_groups() && d.data_groups() && d.rows();
}
