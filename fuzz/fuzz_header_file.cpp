// Header (index) files read beside a GRIB file.  The input is the header file
// text, a zero byte, then the GRIB file; without a zero byte the GRIB file is
// empty.
#include <cstring>

#include "fuzz_support.h"
#include "grid/grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  kvzfuzz::init();
  const uint8_t *split = static_cast<const uint8_t *>(memchr(data, 0, size));
  const size_t text = split ? static_cast<size_t>(split - data) : size;
  const std::string header = kvzfuzz::scratch_file(".grb.hdr", data, text);
  const size_t rest = split ? size - text - 1 : 0;
  const std::string grib = kvzfuzz::scratch_file(".grb", split ? split + 1 : data, rest);
  kvzfuzz::walk_grid_file(grib, GRD_GRIB, header.c_str());
  return 0;
}
