// File information of a GRIB file: its reference date and date label, taken
// from the first product, and the file's edition.
#include <cstring>

#include "date/date.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

int GRIB_get_info(int handle, GridFileInfo *info) {
  GridFile *f = GRD_get_gfile(handle);
  if (!f || !f->fp || !info) return -1;
  const GribDecoder &d = grib_decoder();
  grib_notes_reset(f->fp);
  unsigned char block[40];
  if (fread(block, 1, sizeof block, f->fp) < sizeof block) return -1;

  int edition = d.data[7] == 2 ? 2 : d.data[7] == 1 ? 1 : 0;
  DateRec date;
  DATE_init(&date);
  if (edition == 2) {
    // Identification section octets 13 to 18.
    date.year = static_cast<int32_t>(grib_uint(block + 12, 2));
    date.month = block[14];
    date.day = block[15];
    date.hour = block[16];
    date.minute = block[17];
  } else {
    // PDS octets 13 to 16; in edition 0 the PDS began right after the tag,
    // so its first four octets went with the indicator.
    const int skip = edition == 1 ? 1 : 5;  // PDS octet k is block[k - skip]
    auto pds = [&](int k) { return static_cast<int32_t>(block[k - skip]); };
    date.year = grib_full_year(pds(13), edition == 1 ? pds(25) : 0);
    date.month = pds(14) > 12 ? 1 : pds(14);
    date.day = pds(15);
    date.hour = pds(16);
    date.minute = 0;
    if (edition == 0 && pds(5) == 98) edition = 10;
  }
  f->edition = edition;
  info->date = date;
  DATE_make_label(&info->date, info->label);
  return 0;
}
