// The units part of a description label: "500 mb Temperature (K)" splits into
// its name and the units in parentheses, and takes new units in their place.
#include <string>

#include "config/config.h"
#include "files/files.h"
#include "naming/naming.h"
#include "naming/naming_internal.h"

namespace {

constexpr uint32_t kDebugC = 0x40000000;

struct LabelParts {
  std::string name;
  std::string units;
};

// The name before the first "(" (trimmed) and the units up to the next ")".
LabelParts split_label(const std::string &label) {
  const size_t open = label.find('(');
  if (open == std::string::npos) return {naming_trim(label), ""};
  const size_t close = label.find(')', open + 1);
  const size_t length = close == std::string::npos ? std::string::npos : close - open - 1;
  return {naming_trim(label.substr(0, open)), label.substr(open + 1, length)};
}

}  // namespace

int UNIT_parse(const char *label, char *name, size_t name_size, char *units, size_t units_size) {
  const char *text = label != nullptr ? label : "";
  const LabelParts parts = split_label(text);
  if (name != nullptr) copy_text(name, name_size, parts.name.c_str());
  if (units != nullptr) copy_text(units, units_size, parts.units.c_str());
  MESS_print(kDebugC, "%s = %s %s\n", text, parts.name.c_str(), parts.units.c_str());
  return 0;
}

int UNIT_change(char *label, size_t size, const char *units) {
  if (label == nullptr || size == 0) return 0;
  const LabelParts parts = split_label(label);
  MESS_print(kDebugC, "%s = %s %s\n", label, parts.name.c_str(), parts.units.c_str());
  // The whole name is kept: only the label's own bound cuts it.
  if (units == nullptr || units[0] == '\0') {
    copy_text(label, size, parts.name.c_str());
    return 0;
  }
  format_text(label, size, "%s (%s)", parts.name.c_str(), units);
  return 0;
}
