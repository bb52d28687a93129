// GRIB edition 2 sections.  Until their decoders are in place every section
// is passed over, so edition 2 messages are framed and counted but carry no
// description; the user is told once.
#include "config/config.h"
#include "grib/grib.h"

namespace {

struct Edition2State {
  bool warned = false;
};

Edition2State ed2;

int pass_over(int handle) {
  if (!ed2.warned) {
    MESS_print(0xC0, "GRIB edition 2 sections are not decoded by this version\n");
    ed2.warned = true;
  }
  return GRIB_skip_section(handle);
}

}  // namespace

int GRIB_IDS(int handle, GridRecord *) { return pass_over(handle); }
int GRIB_GDS(int handle, GridRecord *) { return pass_over(handle); }
int GRIB_PDS(int handle, GridRecord *) { return pass_over(handle); }
int GRIB_DRS(int handle, GridRecord *) { return pass_over(handle); }
int GRIB_BMS(int handle) { return pass_over(handle); }
int GRIB_DS(int handle, GridRecord *) { return pass_over(handle); }
