// Layer forms of a level selection: two halves joined by "-" or "+"
// ("1000-500mb", "sfc-500mb", "300-310k", "0.5-0.9sig", "trop+500m"), each a
// number with an optional unit or a marker word, packed into one level value.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "naming/number_scan.h"
#include "naming/select_level.h"

namespace {

constexpr int kMissing = -9999;

struct LayerUnit {
  const char *unit;
  int type;
};
constexpr LayerUnit kLayerUnits[] = {
    {"ft", 104}, {"m", 104}, {"ft_ag", 106}, {"m_ag", 106}, {"mb_ag", 116},
    {"k", 114},  {"mb", 101}, {"sig", 108},  {"eta", 120},
};

struct Halves {
  std::string first;
  std::string second;
  bool above = false;  // joined by "+" on the last reading: a layer above the first half
};

// Splits the text into its two halves; false when it has no two halves.
bool split_halves(const char *text, Halves &h) {
  const size_t size = std::strlen(text) + 1;
  std::vector<char> a(size, '\0');
  std::vector<char> b(size, '\0');
  if (text[1] == '-' || text[1] == '+') {
    const char *format = text[1] == '-' ? "%[^-]-%[^ ]" : "%[^+]+%[^ ]";
    if (std::sscanf(text, format, a.data(), b.data()) != 2) return false;
    h = {a.data(), b.data(), false};
    return true;
  }
  // The first character always belongs to the first half, so "-5-10k" keeps
  // its leading minus sign.
  char c = '\0';
  if (std::sscanf(text, "%c%[^-]-%[^ ]", &c, a.data(), b.data()) == 3) {
    h = {std::string(1, c) + a.data(), b.data(), false};
    return true;
  }
  if (std::sscanf(text, "%c%[^+]+%[^ ]", &c, a.data(), b.data()) == 3) {
    h = {std::string(1, c) + a.data(), b.data(), true};
    return true;
  }
  return false;
}

int unit_type(const std::string &unit) {
  for (const LayerUnit &u : kLayerUnits) {
    if (level_same(unit, u.unit)) return u.type;
  }
  return kMissing;
}

bool in_feet(const std::string &unit) { return level_same(unit, "ft") || level_same(unit, "ft_ag"); }

// The bottom marker of a pressure layer whose first half is a word.
int pressure_marker(const LevelNumber &first, const std::string &word) {
  if (first.has_number) return kMissing;
  if (level_same(word, "sfc")) return 1900;
  if (level_same(word, "maxt")) return 1910;
  if (level_same(word, "trop")) return 1950;
  int n = 0;
  char close = '\0';
  if (word.size() > 4 && level_same(word.substr(0, 4), "sfc[") &&
      std::sscanf(word.c_str() + 4, "%d%c", &n, &close) == 2 && close == ']') {
    return naming_fit(2000LL + n);
  }
  return kMissing;
}

int pack_pressure(int top, int bottom) { return naming_fit((top / 10) * 1000LL + bottom / 10); }

int pressure_layer(const Halves &h, const LevelNumber &first, int a, int b) {
  const int marker = pressure_marker(first, h.first);
  if (marker != kMissing) return pack_pressure(b, marker);
  const int bottom = a > b ? a : b;
  const int top = a > b ? b : a;
  return pack_pressure(top, bottom);
}

int height_layer(const Halves &h, const LevelNumber &first, int a, int b) {
  if (!first.has_number && level_same(h.first, "trop")) a = h.above ? 99500 : 99600;
  return naming_fit((b / 100) * 1000LL + a / 100);
}

}  // namespace

bool level_layer(const char *text, LevelValue &lv) {
  Halves h;
  if (!split_halves(text, h)) return false;
  const LevelNumber first = level_read_number(h.first);
  const LevelNumber second = level_read_number(h.second);
  int a = naming_trunc(first.number);
  int b = naming_trunc(second.number);

  const int first_type = unit_type(first.unit);
  const int second_type = unit_type(second.unit);
  if (first_type != kMissing) lv.type = first_type;
  if (second_type != kMissing) lv.type = second_type;
  const bool plain = first.has_number && second.has_number && first.unit.empty() && second.unit.empty();
  if (plain) lv.type = 101;

  // A unit written once stands for both heights ("1000-2000ft").
  const std::string &first_unit = first.unit.empty() ? second.unit : first.unit;
  const std::string &second_unit = second.unit.empty() ? first.unit : second.unit;
  if (in_feet(first_unit)) a = level_feet(a);
  if (in_feet(second_unit)) b = level_feet(b);

  switch (lv.type) {
    case 104: lv.value = height_layer(h, first, a, b); break;
    case 106: lv.value = naming_fit((b / 100) * 1000LL + a / 100); break;
    case 108:
    case 120:
      lv.value = naming_fit(level_scaled(second.number, 100) * 1000LL + level_scaled(first.number, 100));
      break;
    case 101: lv.value = pressure_layer(h, first, a, b); break;
    default: lv.value = naming_fit(b * 1000LL + a); break;
  }
  return true;
}
