// Any file the program is pointed at: its kind detected from its first bytes
// (text grid files, GRIB, netCDF, GRID bulletins), then every grid read.
#include "fuzz_support.h"
#include "grid/grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  kvzfuzz::init();
  kvzfuzz::walk_grid_file(kvzfuzz::scratch_file(".grd", data, size), GRD_DETECT);
  return 0;
}
