// The limit on bad values in a GRIB product, set from the "max_bad" parameter.
#include "grib/decoder_state.h"
#include "grib/grib.h"

int GRIB_set_max_bad(int n) {
  grib_decoder().bad_max = n;
  return 0;
}

int GRIB_get_max_bad() { return grib_decoder().bad_max; }
