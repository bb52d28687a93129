// The limit on bad values in a GRIB product, set from the "max_bad" parameter.
#include "grib/grib.h"

namespace {

struct BadValueState {
  int bad_max = -1;  // -1: the check is off
};

BadValueState bad;

}  // namespace

int GRIB_set_max_bad(int n) {
  bad.bad_max = n;
  return 0;
}

int GRIB_get_max_bad() { return bad.bad_max; }
