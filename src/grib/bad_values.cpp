// The bad-value check of packed GRIB values: a corrupted edition 1 product
// shows as packed numbers that jump wildly between neighbouring points.  When
// more than max_bad of the last 20 steps were jumps larger than the product's
// limit, `bad` is set and the edition 1 reader blanks the rest of the grid.
// The limit itself comes from the "max_bad" parameter; -1 leaves the check off.
#include <cstdlib>

#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"

int GRIB_set_max_bad(int n) {
  grib_decoder().bad_max = n;
  return 0;
}

int GRIB_get_max_bad() { return grib_decoder().bad_max; }

void grib_bad_window_clear() {
  GribDecoder &d = grib_decoder();
  d.bad_test = 0;
  for (int32_t &flag : d.valid_data) flag = 0;
}

void grib_bad_check(int64_t value) {
  GribDecoder &d = grib_decoder();
  if (d.bad_max > 0) {
    const int i = d.bad_test % 20;
    d.valid_data[i] = 0;
    if (d.bad_test > 0 && d.prev_val >= 0 && std::llabs(d.prev_val - value) > d.bad_limit) {
      d.valid_data[i] = 1;
      int sum = 0;
      for (const int32_t flag : d.valid_data) sum += flag;
      if (sum > d.bad_max) d.bad = 1;
      MESS_print(kGribDump, "BAD: %6lld %6lld %6lld %2d %2d\n", static_cast<long long>(d.bad_limit),
                 static_cast<long long>(d.prev_val), static_cast<long long>(value), sum, d.bad);
    }
    ++d.bad_test;
  }
  d.prev_val = value;
}
