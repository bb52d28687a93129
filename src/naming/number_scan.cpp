// Number reading shared by the selection decoders and the units conversion.
#include "naming/number_scan.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int kMissing = -9999;

bool may_start_number(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '.' || c == '+' || c == '-';
}

}  // namespace

bool naming_scan_number(const char *text, double *value, const char **end) {
  if (text == nullptr || value == nullptr || end == nullptr) return false;
  const char *p = text;
  while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p)) != 0) ++p;
  // Only plain decimal spellings: no "inf" or "nan" read out of unit names.
  if (!may_start_number(p[0])) return false;
  if ((p[0] == '+' || p[0] == '-') && !std::isdigit(static_cast<unsigned char>(p[1])) && p[1] != '.') return false;
  char *stop = nullptr;
  const double x = std::strtod(p, &stop);
  if (stop == p || !std::isfinite(x)) return false;
  *value = x;
  *end = stop;
  return true;
}

int naming_trunc(double x) {
  if (!std::isfinite(x)) return kMissing;
  const double t = std::trunc(x);
  if (t < static_cast<double>(INT_MIN) || t > static_cast<double>(INT_MAX)) return kMissing;
  return static_cast<int>(t);
}

int naming_fit(long long value) {
  if (value < INT_MIN || value > INT_MAX) return kMissing;
  return static_cast<int>(value);
}
