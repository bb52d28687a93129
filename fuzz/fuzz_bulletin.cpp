// Files of GRID code bulletins, every bulletin decoded.
#include "fuzz_support.h"
#include "grid/grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  kvzfuzz::init();
  kvzfuzz::walk_grid_file(kvzfuzz::scratch_file(".grid", data, size), GRD_BULLETIN);
  return 0;
}
