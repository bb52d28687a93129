// GRIB streams of every edition and header kind, walked grid by grid with values.
#include "fuzz_support.h"
#include "grid/grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  kvzfuzz::init();
  kvzfuzz::walk_grid_file(kvzfuzz::scratch_file(".grb", data, size), GRD_GRIB);
  return 0;
}
