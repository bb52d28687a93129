// Input set-up: turns the "in_file" and "input" settings into the input file
// type that the driver asks the grid layer for (program flag 17).
#include <strings.h>

#include "config/config.h"
#include "files/files.h"
#include "grid/grid.h"

namespace {

// Applies the items of one resource to flag 17.
void apply_input_items(const char *resource, bool prefix_match) {
  int count = 0;
  std::vector<std::string> items;
  RES_getvals(resource, &count, &items);
  for (const std::string &item : items) {
    const char *s = item.c_str();
    if (prefix_match ? !strncasecmp(s, "kvz", 3) : !strcasecmp(s, "kvz")) FLAG_set(17, 3);
    else if (prefix_match ? !strncasecmp(s, "cdf", 3) : !strcasecmp(s, "cdf")) FLAG_set(17, 12);
    else if (!strcasecmp(s, "grib")) FLAG_set(17, 23);
  }
}

}  // namespace

int GRD_in_file() {
  apply_input_items("in_file", true);
  apply_input_items("input", false);
  return 0;
}
