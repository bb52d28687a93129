// Level texts: the short text ("500mb", "sfc[3]", "2m_ag") and the long text
// ("500 mb", "Surface[3]", "2 m AG") of a level type and level value.  Layer
// types pack two values as first + 1000*second.
#include <cstdint>
#include <string>

#include "config/config.h"
#include "naming/naming.h"
#include "naming/naming_internal.h"

namespace {

// Level types whose texts are fixed words.
struct FixedLevel {
  int ltype;
  const char *short_text;
  const char *long_text;
};

constexpr FixedLevel fixed_levels[] = {
    {0, "", ""},
    {2, "cld_bot", "Cloud base"},
    {3, "cld_top", "Cloud top"},
    {4, "frz", "Frz level"},
    {5, "lcl", "LCL"},
    {6, "mwnd", "Max wind"},
    {7, "trop", "Tropopause"},
    {8, "top", "Top"},
    {9, "", ""},
    {102, "sl", "Sea level"},
    {200, "whole", "Whole atms"},
    {204, "top_frz", "Top frz level"},
    {206, "gscld_bot", "Grid cld bot lvl"},
    {207, "gscld_top", "Grid cld top lvl"},
    {209, "blcld_bot", "Bound lyr cld bot"},
    {210, "blcld_top", "Bound lyr cld top"},
    {211, "blcld_lyr", "Bound lyr cld lyr"},
    {212, "lcld_bot", "Low cld bot lvl"},
    {213, "lcld_top", "Low cld top lvl"},
    {214, "lcld_lyr", "Low cld lyr"},
    {215, "cld_ceil", "Cld ceiling"},
    {222, "mcld_bot", "Mid cld bot lvl"},
    {223, "mcld_top", "Mid cld top lvl"},
    {224, "mcld_lyr", "Mid cld lyr"},
    {232, "hcld_bot", "High cld bot lvl"},
    {233, "hcld_top", "High cld top lvl"},
    {234, "hcld_lyr", "High cld lyr"},
    {242, "conv_bot", "Conv cld bot lvl"},
    {243, "conv_top", "Conv cld top lvl"},
    {244, "conv_lyr", "Conv cld lyr"},
    {245, "wbzero", "Wet bulb zero lvl"},
    {246, "maxepot", "Max eq pot temp lvl"},
    {247, "equilib", "Equilibrium lvl"},
    {248, "sccld_bot", "Shal Conv cld bot lvl"},
    {249, "sccld_top", "Shal Conv cld top lvl"},
    {251, "dccld_bot", "Deep Conv cld bot lvl"},
    {252, "dccld_top", "Deep Conv cld top lvl"},
    {253, "sclw_bot", "Supercool liq wat bot"},
    {254, "sclw_top", "Supercool liq wat top"},
};

const FixedLevel *find_fixed(int ltype) {
  for (const FixedLevel &f : fixed_levels) {
    if (f.ltype == ltype) return &f;
  }
  return nullptr;
}

// The halves of a layer value: lo = v % 1000, hi = v / 1000.
struct Layer {
  int lo;
  int hi;
};
Layer split(int v) { return Layer{v % 1000, v / 1000}; }

// Surface number of a type-1 value: above 2000 surface v-2000, 1 to 2000
// surface v, otherwise the plain surface (0).
int surface_number(int v) {
  if (v > 2000) return v - 2000;
  if (v > 0) return v;
  return 0;
}

std::string surface_text(const char *word, int v) {
  std::string out = word;
  const int n = surface_number(v);
  if (n != 0) append_format(out, "[%d]", n);
  return out;
}

// Layer between two pressure levels, short form: the upper half holds the
// bottom (or its surface marker), printed first.
std::string pressure_layer_short(int v) {
  std::string out;
  if (v <= 1000) return out;
  const Layer l = split(v);
  const int a = l.hi * 10;
  const int b = l.lo * 10;
  if (a == 1900 || a == 2000) {
    append_format(out, "sfc-%dmb", b);
  } else if (a <= 2000) {
    append_format(out, "%d-%dmb", a, b);
  } else {
    append_format(out, "sfc[%d]-%dmb", a - 2000, b);
  }
  return out;
}

// Layer between two pressure levels, long form: the lower half holds the
// bottom (or its marker), printed first; three lone values name thicknesses.
std::string pressure_layer_long(int v) {
  std::string out;
  if (v == 510) return "1000-500 mb";
  if (v == 508) return "850-500 mb";
  if (v == 599) return "SFC-500 mb";
  if (v <= 1000) return out;
  const Layer l = split(v);
  const int a = l.hi * 10;
  const int b = l.lo * 10;
  if (b == 1900 || b == 2000) {
    append_format(out, "sfc-%d mb", a);
  } else if (b == 1950) {
    append_format(out, "trop-%d mb", a);
  } else if (b <= 2000) {
    append_format(out, "%d-%d mb", b, a);
  } else {
    append_format(out, "sfc[%d]-%d mb", b - 2000, a);
  }
  return out;
}

float hundredths(int part) { return static_cast<float>(part) / 100.0f; }
float ten_thousandths(int v) { return static_cast<float>(v) / 10000.0f; }

// Texts of the numeric level types; false for a type that has none.
bool numeric_short(int ltype, int v, std::string &out) {
  const Layer l = split(v);
  switch (ltype) {
    case 1: out = surface_text("sfc", v); return true;
    case 100: append_format(out, "%dmb", v); return true;
    case 101: out = pressure_layer_short(v); return true;
    case 103: append_format(out, "%dm", v); return true;
    case 104: append_format(out, "%d-%dm", l.lo * 100, l.hi * 100); return true;
    case 105: append_format(out, "%dm_ag", v); return true;
    case 106: append_format(out, "%d-%dm_ag", l.lo * 100, l.hi * 100); return true;
    case 107: append_format(out, "%3.2fsig", static_cast<double>(ten_thousandths(v))); return true;
    case 108:
      append_format(out, "%3.2f-%3.2fsig", static_cast<double>(hundredths(l.lo)),
                    static_cast<double>(hundredths(l.hi)));
      return true;
    case 109: append_format(out, "%dlev", v); return true;
    case 111: append_format(out, "%dcm_bg", v); return true;
    case 112: append_format(out, "%d-%dcm_bg", l.lo, l.hi); return true;
    case 113: append_format(out, "%dK", v); return true;
    case 114: append_format(out, "%3.0f-%3.0fK", static_cast<double>(l.lo), static_cast<double>(l.hi)); return true;
    case 115: append_format(out, "%dmb_ag", v); return true;
    case 116: append_format(out, "%d-%dmb_ag", l.lo, l.hi); return true;
    case 117: append_format(out, "%d*10^-6Km2/kgs", v); return true;
    case 119: append_format(out, "%3.2feta", static_cast<double>(ten_thousandths(v))); return true;
    case 120:
      append_format(out, "%3.2f-%3.2feta", static_cast<double>(hundredths(l.lo)),
                    static_cast<double>(hundredths(l.hi)));
      return true;
    default: return false;
  }
}

bool numeric_long(int ltype, int v, std::string &out) {
  const Layer l = split(v);
  switch (ltype) {
    case 1: out = surface_text("Surface", v); return true;
    case 100: append_format(out, "%d mb", v); return true;
    case 101: out = pressure_layer_long(v); return true;
    case 103: append_format(out, "%d m", v); return true;
    case 104:
      if (l.lo * 100 == 99500) {
        append_format(out, "trop+%d m", l.hi * 100);
      } else {
        append_format(out, "%d-%d m", l.lo * 100, l.hi * 100);
      }
      return true;
    case 105: append_format(out, "%d m AG", v); return true;
    case 106: append_format(out, "%d-%d m AG", l.lo * 100, l.hi * 100); return true;
    case 107: append_format(out, "%3.2f sigma", static_cast<double>(ten_thousandths(v))); return true;
    case 108:
      append_format(out, "%3.2f-%3.2f sigma", static_cast<double>(hundredths(l.lo)),
                    static_cast<double>(hundredths(l.hi)));
      return true;
    case 109: append_format(out, "%d lev", v); return true;
    case 111: append_format(out, "%d cm BG", v); return true;
    case 112: append_format(out, "%d-%d cm BG", l.lo, l.hi); return true;
    case 113: append_format(out, "%d K", v); return true;
    case 114: append_format(out, "%3.0f-%3.0f K", static_cast<double>(l.lo), static_cast<double>(l.hi)); return true;
    case 115: append_format(out, "%d mb AG", v); return true;
    case 116: append_format(out, "%d-%d mb AG", l.lo, l.hi); return true;
    case 117: append_format(out, "%d*10^-6 Km2/kgs", v); return true;
    case 119: append_format(out, "%3.2f Eta", static_cast<double>(ten_thousandths(v))); return true;
    case 120:
      append_format(out, "%3.2f-%3.2f Eta", static_cast<double>(hundredths(l.lo)),
                    static_cast<double>(hundredths(l.hi)));
      return true;
    default: return false;
  }
}

// An unknown positive level type is worth a warning; negative types (the
// missing value) are simply empty.
std::string unknown_level(int ltype) {
  if (ltype > 0) MESS_print(0xC0, "VAR_make_datatype: no ltype: %d\n", ltype);
  return std::string();
}

}  // namespace

std::string naming_level_short(int ltype, int level) {
  if (const FixedLevel *f = find_fixed(ltype)) return f->short_text;
  std::string out;
  if (numeric_short(ltype, level, out)) return out;
  return unknown_level(ltype);
}

std::string naming_level_long(int ltype, int level) {
  if (const FixedLevel *f = find_fixed(ltype)) return f->long_text;
  std::string out;
  if (numeric_long(ltype, level, out)) return out;
  return unknown_level(ltype);
}

const char *VAR_level(char *buf, size_t size, int ltype, int level) {
  return naming_finish(naming_level_short(ltype, level), buf, size);
}
