// Converting a grid's values to other units, and the units named in its label.
#include "config/config.h"
#include "files/files.h"
#include "grid/grid.h"
#include "naming/naming.h"

int GRD_units(GridRecord *grid, const char *units) {
  if (grid->values.empty()) return -1;
  MESS_print(0xF0000000, "GRD_units: %s -> %s\n", grid->units, units);
  for (float &v : grid->values) v = UNIT_cvt(v, grid->units, units);
  if (units[0]) copy_text(grid->units, units);
  UNIT_change(grid->info, grid->units);
  return 0;
}
