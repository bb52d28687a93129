// The one GRIB decoder state of the process.
#include "grib/decoder_state.h"
#include "grib/grib.h"

GribDecoder &grib_decoder() {
  static GribDecoder state;
  return state;
}

void GRIB_reset() {
  GribDecoder &d = grib_decoder();
  d = GribDecoder{};
  d.data_ptr = d.data;  // the copied pointer referred to the temporary's buffer
}
