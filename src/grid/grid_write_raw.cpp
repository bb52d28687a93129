// Raw GRIB copies: each product's bytes, as the GRIB reader handed them out,
// appended to the output file unchanged, with nothing in between.
#include "grid/grid_write_internal.h"

GridWriteResult grid_write_raw(FILE *fp, const GridRecord *grid) {
  if (!fp || grid->raw.empty()) return GRID_REFUSED;
  const size_t size = grid->raw.size();
  if (fwrite(grid->raw.data(), 1, size, fp) != size) return GRID_FAILED;
  return grid_flush(fp);
}
