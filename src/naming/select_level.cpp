// Level texts of a grid selection: keywords ("sfc", "trop",
// "hcld_top"), prefix forms ("p500", "p1000-500", "h10000", "s0.5"), single
// values with units ("500mb", "2m_ag", "0.5sig") and layers, turned into a
// level type and level value.
#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "config/config.h"
#include "naming/naming.h"
#include "naming/number_scan.h"
#include "naming/select_level.h"

namespace {

constexpr int kMissing = -9999;
constexpr int kDefaultTypeFlag = 7;
constexpr int kDefaultLevelFlag = 8;
constexpr int kFromDefaults = 1;
constexpr int kDecoded = 2;
constexpr uint32_t kDebugC = 0x40000000;

struct Keyword {
  const char *word;
  int type;
};
constexpr Keyword kKeywords[] = {
    {"none", 0},        {"snd", 0},         {"sfc", 1},         {"sf", 1},          {"sea", 1},
    {"se", 1},          {"frz", 4},         {"lcl", 5},         {"sl", 102},        {"mwnd", 6},
    {"trop", 7},        {"whole", 200},     {"top_frz", 204},   {"gcld_bot", 206},  {"gcld_top", 207},
    {"blcld_bot", 209}, {"blcld_top", 210}, {"blcld_lyr", 211}, {"lcld_bot", 212},  {"lcld_top", 213},
    {"lcld_lyr", 214},  {"cld_ceil", 215},  {"mcld_bot", 222},  {"mcld_top", 223},  {"mcld_lyr", 224},
    {"hcld_bot", 232},  {"hcld_top", 233},  {"hcld_lyr", 234},  {"conv_bot", 242},  {"conv_top", 243},
    {"conv_lyr", 244},  {"wbzero", 245},    {"maxepot", 246},   {"equilib", 247},   {"sconv_bot", 248},
    {"sconv_top", 249}, {"dconv_bot", 251}, {"dconv_top", 252}, {"sclw_bot", 253},  {"sclw_top", 254},
};

// Units of a single value: the level type and how the number becomes the value.
enum class Scale { plain, feet, ten_thousandths };
struct SingleUnit {
  const char *unit;
  int type;
  Scale scale;
};
constexpr SingleUnit kSingleUnits[] = {
    {"ft", 103, Scale::feet}, {"ft_ag", 105, Scale::feet},         {"m", 103, Scale::plain},
    {"m_ag", 105, Scale::plain}, {"k", 113, Scale::plain},         {"mb", 100, Scale::plain},
    {"mb_ag", 115, Scale::plain}, {"sig", 107, Scale::ten_thousandths}, {"lev", 109, Scale::plain},
    {"pv", 117, Scale::plain}, {"eta", 119, Scale::ten_thousandths},
};

bool keyword_level(const char *text, LevelValue &lv) {
  if (strcasecmp(text, "miss") == 0) {
    lv = {kMissing, kMissing};
    return true;
  }
  for (const Keyword &k : kKeywords) {
    if (strcasecmp(text, k.word) != 0) continue;
    lv = {k.type, 0};
    return true;
  }
  return false;
}

// "%d-%d" after the prefix letter; the numbers stay -9999 when absent.
int read_two_ints(const char *text, int &a, int &b) {
  a = kMissing;
  b = kMissing;
  const int got = std::sscanf(text, "%d-%d", &a, &b);
  return got > 0 ? got : 0;
}

// Two heights in metres packed in hundreds: top x 1000 + bottom.
int pack_hundreds(int a, int b) { return naming_fit((b / 100) * 1000LL + a / 100); }

void pressure_prefix(const char *rest, LevelValue &lv) {
  int a = 0;
  int b = 0;
  if (read_two_ints(rest, a, b) < 2) {
    lv = {100, a};
    return;
  }
  const int smaller = a < b ? a : b;
  const int larger = a < b ? b : a;
  lv = {101, naming_fit((smaller / 10) * 1000LL + larger / 10)};
}

void height_prefix(const char *rest, int single, int layer, LevelValue &lv) {
  int a = 0;
  int b = 0;
  if (read_two_ints(rest, a, b) < 2) {
    lv = {single, a};
    return;
  }
  lv = {layer, pack_hundreds(a, b)};
}

void theta_prefix(const char *rest, LevelValue &lv) {
  int a = 0;
  int b = 0;
  if (read_two_ints(rest, a, b) < 2) {
    lv = {113, a};
    return;
  }
  lv = {114, naming_fit(b * 1000LL + a)};
}

// "s0.5" and "s0.5-0.9": sigma levels.
void sigma_prefix(const char *rest, LevelValue &lv) {
  double a = kMissing;
  double b = kMissing;
  const char *end = rest;
  const bool first = naming_scan_number(rest, &a, &end);
  const bool second = first && *end == '-' && naming_scan_number(end + 1, &b, &end);
  if (second) {
    lv = {108, naming_fit(level_scaled(b, 100) * 1000LL + level_scaled(a, 100))};
    return;
  }
  lv = {107, level_scaled(a, 10000)};
}

bool prefix_level(const char *text, LevelValue &lv) {
  const char *rest = text + 1;
  switch (text[0]) {
    case 'p': pressure_prefix(rest, lv); return true;
    case 'h': height_prefix(rest, 103, 104, lv); return true;
    case 'a': height_prefix(rest, 105, 106, lv); return true;
    case 'k': theta_prefix(rest, lv); return true;
    case 's':
      if (std::isdigit(static_cast<unsigned char>(text[1])) == 0) return false;
      sigma_prefix(rest, lv);
      return true;
    case '-':
      if (text[1] != '\0') return false;
      lv = {9, 0};
      return true;
    default: return false;
  }
}

// "sfc[3]": surface number 3; plain "sfc..." words are surface 0.
void surface_level(const char *text, LevelValue &lv) {
  int n = 0;
  std::sscanf(text + 3, "[%d", &n);
  lv = {1, n};
}

void single_level(const char *text, LevelValue &lv) {
  const LevelNumber n = level_read_number(text);
  if (!n.has_number) {
    if (strncasecmp(text, "sfc", 3) == 0) {
      surface_level(text, lv);
      return;
    }
    lv.value = kMissing;  // an unknown word: the type stays
    return;
  }
  if (n.unit.empty()) {
    lv = {100, naming_trunc(n.number)};
    return;
  }
  lv.value = naming_trunc(n.number);
  for (const SingleUnit &u : kSingleUnits) {
    if (!level_same(n.unit, u.unit)) continue;
    lv.type = u.type;
    if (u.scale == Scale::feet) lv.value = level_feet(lv.value);
    if (u.scale == Scale::ten_thousandths) lv.value = level_scaled(n.number, 10000);
    return;
  }
}

int finish(const char *text, int *ltype, int *level, const LevelValue &lv) {
  *ltype = lv.type;
  *level = lv.value;
  MESS_print(kDebugC, "Level: %s = %d %ld\n", text, *ltype, static_cast<long>(*level));
  return kDecoded;
}

bool take_defaults(int *ltype, int *level) {
  if (FLAG_get(kDefaultTypeFlag) == kMissing) return false;
  *ltype = FLAG_get(kDefaultTypeFlag);
  *level = FLAG_get(kDefaultLevelFlag);
  return true;
}

}  // namespace

LevelNumber level_read_number(const std::string &text) {
  LevelNumber n;
  const char *end = nullptr;
  if (!naming_scan_number(text.c_str(), &n.number, &end)) return n;
  n.has_number = true;
  while (*end != '\0' && std::isspace(static_cast<unsigned char>(*end)) != 0) ++end;
  const char *stop = end;
  while (*stop != '\0' && std::isspace(static_cast<unsigned char>(*stop)) == 0) ++stop;
  n.unit.assign(end, stop);
  return n;
}

bool level_same(const std::string &text, const char *word) { return strcasecmp(text.c_str(), word) == 0; }

int level_feet(int value) {
  if (value == kMissing) return kMissing;
  return naming_trunc(value * 0.3048);
}

int level_scaled(double x, double scale) {
  const double scaled = x * scale;
  // The products of short decimals fall a hair below the whole number they
  // stand for (0.29 x 100 = 28.999...); a nudge far below the text's own
  // precision puts them back before the fraction is dropped.
  return naming_trunc(scaled + (scaled < 0 ? -1e-6 : 1e-6));
}

int VAR_dec_level(const char *text, int *ltype, int *level) {
  if (ltype == nullptr || level == nullptr) return kDecoded;
  const char *t = text != nullptr ? text : "";
  if (t[0] == '\0') {
    if (take_defaults(ltype, level)) return kFromDefaults;
    return finish(t, ltype, level, {*ltype, *level});
  }
  if (strcasecmp(t, "level") == 0) {
    *ltype = FLAG_get(kDefaultTypeFlag);
    *level = FLAG_get(kDefaultLevelFlag);
    return kFromDefaults;
  }
  LevelValue lv = {*ltype, *level};
  if (!keyword_level(t, lv) && !prefix_level(t, lv) && !level_layer(t, lv)) single_level(t, lv);
  return finish(t, ltype, level, lv);
}
