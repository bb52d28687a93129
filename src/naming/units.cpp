// Units conversion of grid values: the factors a units text carries ("100 Pa",
// "10^3 m", "-"), the linear conversions of the table "units.lup", and the
// last conversion kept so that a whole grid converts with plain arithmetic.
#include <strings.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "config/config.h"
#include "files/files.h"
#include "naming/naming.h"
#include "naming/number_scan.h"
#include "naming/units_internal.h"

namespace {

constexpr float kMissing = -9999.0f;
constexpr size_t kUnitsSize = 15;  // units texts hold 14 characters
constexpr uint32_t kDebugC = 0x40000000;
constexpr uint32_t kDebugD = 0x80000000;

struct UnitsState {
  // The last pair of texts that needed the table, and how it converts.
  char in[kUnitsSize] = "";
  char out[kUnitsSize] = "";
  float ifac = 1.0f;
  float ofac = 1.0f;
  float scale = 1.0f;
  float offset = 0.0f;
  std::string cvt;
  // The table, read on first need and kept.
  bool table_read = false;
  std::vector<UnitConversion> table;
};
UnitsState state;

// A units text as compared: cut to 14 characters, underscores as blanks.
void comparable(const char *text, char (&result)[kUnitsSize]) {
  copy_text(result, text != nullptr ? text : "");
  for (char *c = result; *c != '\0'; ++c) {
    if (*c == '_') *c = ' ';
  }
}

// The factor a units text starts with and the unit name after it.
struct Factor {
  float factor = 1.0f;
  std::string name;
};

const char *skip_blanks(const char *p) {
  while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p)) != 0) ++p;
  return p;
}

// A factor of 0 (or one too large for a float) cannot be divided by; such a
// text converts as if it carried none.
float usable(double factor) {
  const float f = static_cast<float>(factor);
  return (f == 0.0f || !std::isfinite(f)) ? 1.0f : f;
}

Factor read_factor(const char *text, bool source) {
  Factor f;
  double base = 0.0;
  double exponent = 0.0;
  const char *end = text;
  if (naming_scan_number(text, &base, &end) && *end == '^' && naming_scan_number(end + 1, &exponent, &end)) {
    f.factor = usable(std::pow(static_cast<float>(base), static_cast<float>(exponent)));
    f.name = skip_blanks(end);
    if (source) {
      MESS_print(kDebugC, "ISC^: %f^%f %f %s\n", base, exponent, f.factor, f.name.c_str());
    } else {
      MESS_print(kDebugC, "OSC^: %f^%f %f %s %d %d %s\n", base, exponent, f.factor, f.name.c_str(),
                 static_cast<int>(skip_blanks(end) - text), static_cast<int>(std::strlen(text)), text);
    }
    return f;
  }
  if (naming_scan_number(text, &base, &end)) {
    f.factor = usable(base);
    f.name = skip_blanks(end);
    MESS_print(kDebugC, source ? "ISC: %f %s\n" : "OSC: %f %s\n", f.factor, f.name.c_str());
    return f;
  }
  if (text[0] == '-') {
    f.factor = -1.0f;
    f.name = text + 1;
    MESS_print(kDebugC, source ? "ISC-: %f %s\n" : "OSC-: %f %s\n", f.factor, f.name.c_str());
    return f;
  }
  f.name = text;
  return f;
}

// Unit names are looked up with blanks as underscores.
std::string table_name(std::string name) {
  for (char &c : name) {
    if (c == ' ') c = '_';
  }
  return name;
}

float apply(float x) { return (x * state.ifac * state.scale + state.offset) / state.ofac; }

bool load_table() {
  if (state.table_read) return true;
  std::string path;
  if (!units_read_table(state.table, path)) {
    MESS_print(kDebugD, "Unable to open units file: %s\n", path.c_str());
    return false;
  }
  state.table_read = true;
  return true;
}

// The table's conversion between the two unit names; false when it lists none.
bool find_conversion(const std::string &from, const std::string &to, float &scale, float &offset,
                     std::string &cvt) {
  scale = 1.0f;
  offset = 0.0f;
  cvt.clear();
  if (!load_table()) return false;
  for (const UnitConversion &entry : state.table) {
    if (strcasecmp(entry.from.c_str(), from.c_str()) != 0 || strcasecmp(entry.to.c_str(), to.c_str()) != 0) continue;
    units_parse_conversion(entry.cvt, scale, offset);
    cvt = entry.cvt;
    MESS_print(kDebugC, "%s %s %s %f %f\n", from.c_str(), to.c_str(), cvt.c_str(), scale, offset);
    return true;
  }
  return false;
}

}  // namespace

float UNIT_cvt(float x, const char *from, const char *to) {
  if (x == kMissing) return x;
  char source[kUnitsSize];
  char target[kUnitsSize];
  comparable(from, source);
  comparable(to, target);
  if (strcasecmp(source, target) == 0 || (source[0] != '\0' && target[0] == '\0')) return x;
  if (strcasecmp(source, state.in) == 0 && strcasecmp(target, state.out) == 0) return apply(x);

  const Factor in = read_factor(source, true);
  const Factor out = read_factor(target, false);
  const std::string from_name = table_name(in.name);
  const std::string to_name = table_name(out.name);
  // Texts that differ only in their factors need no table and leave the last
  // conversion as it was.
  if (strcasecmp(from_name.c_str(), to_name.c_str()) == 0) return x * in.factor / out.factor;

  // A pair the table does not list (or a missing table) converts by the
  // factors alone.
  find_conversion(from_name, to_name, state.scale, state.offset, state.cvt);
  copy_text(state.in, source);
  copy_text(state.out, target);
  state.ifac = in.factor;
  state.ofac = out.factor;
  return apply(x);
}

void UNIT_reset() { state = UnitsState{}; }
