// The identification section (section 1) of GRIB edition 2: originating
// centre and reference time, kept for every field of the message.
#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/edition2_section.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr int kLastUsedOctet = 18;  // reference minute

}  // namespace

int GRIB_IDS(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return 0;
  Ed2Section s;
  if (!ed2_read_section(fp, kLastUsedOctet, "identification", s)) return 0;
  Edition2Sections &e = grib_decoder().ed2;
  e.source = static_cast<int32_t>(s.u(6, 2));
  e.date.year = static_cast<int32_t>(s.u(13, 2));
  e.date.month = s.u8(15);
  e.date.day = s.u8(16);
  e.date.hour = s.u8(17);
  e.date.minute = s.u8(18);
  rec->source = e.source;
  rec->base_date = e.date;
  rec->version = 2;
  rec->type = 0;
  return 1;
}
