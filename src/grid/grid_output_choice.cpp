// Choosing the output grid file: its kind and naming convention from the
// "out_file" items, and creating it (with the overwrite question) along the
// grid path.
#include <cstring>
#include <strings.h>

#include "config/config.h"
#include "files/files.h"
#include "grid/grid.h"

namespace {

// The convention an item names after its prefix and one separator, or the
// default convention when the item is the bare prefix.
std::string convention(const std::string &item, size_t prefix, const char *fallback) {
  if (item.size() == prefix) return fallback;
  return item.size() > prefix + 1 ? item.substr(prefix + 1) : std::string();
}

}  // namespace

int GRD_out_file(int code) {
  FILE_set_name("grd_grd");
  int count = 0;
  std::vector<std::string> items;
  RES_getvals("out_file", &count, &items);
  bool kind_chosen = false;
  bool convention_named = false;
  for (const std::string &item : items) {
    const char *s = item.c_str();
    if (!strcasecmp(s, "none") || !strncasecmp(s, "gif", 3)) continue;
    // Kinds in this order, so "kvzb" is recognised before "kvz".
    static const struct { const char *prefix; int code; const char *convention; } kinds[] = {
        {"kvzb", 3, "grd_kvz"}, {"kvz", 2, "grd_kvz"}, {"cdf", 11, "grd_cdf"}, {"grib", 21, "grd_grib"}};
    std::string name = item;
    bool is_kind = false;
    for (const auto &k : kinds) {
      const size_t n = strlen(k.prefix);
      if (strncasecmp(s, k.prefix, n) != 0) continue;
      code = k.code;
      name = convention(item, n, k.convention);
      is_kind = true;
      break;
    }
    kind_chosen = kind_chosen || is_kind;
    convention_named = convention_named || !is_kind;
    FILE_set_name(name);
  }
  if (!kind_chosen && convention_named) code = 2;
  if (code != 0) FLAG_set(17, code);
  return code;
}

std::string GRD_out_path(const char *name) {
  std::string full;
  const char *dir = RES_get("grid_path");
  std::string prefix = dir != nullptr ? dir : "";
  FILE_add_path_delim(prefix);
  if (!prefix.empty() && prefix != "/" && strncmp(name, prefix.c_str(), prefix.size()) == 0) return name;
  FILE_add_path(dir, name, full);
  return full;
}

int GRD_open_out_file(const char *name, int code) {
  if (code == 0) return -1;
  const std::string full = GRD_out_path(name);
  switch (FILE_overwrite(full.c_str(), 1)) {
    case 0: case 1: {
      int type = code;
      const int handle = GRD_open(full.c_str(), 1, &type);
      if (handle == -1) {
        MESS_print(0x40, "GRD_open_out_file: Unable to create grid file: %s\n", full.c_str());
        return -1;
      }
      MESS_print(0xF00, "Creating grid file: %s\n", full.c_str());
      return handle;
    }
    case 2:
      MESS_print(0x40, "GRD_open_out_file: Unable to create grid file: %s\n", full.c_str());
      return -1;
    default:
      MESS_print(0x40, "GRD_open_out_file: Unable to overwrite grid file: %s\n", full.c_str());
      return -1;
  }
}
