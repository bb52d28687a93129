// netCDF grid files, in the package's own layout and in foreign layouts.
#include "fuzz_support.h"
#include "grid/grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  kvzfuzz::init();
  kvzfuzz::walk_grid_file(kvzfuzz::scratch_file(".nc", data, size), GRD_NETCDF);
  return 0;
}
