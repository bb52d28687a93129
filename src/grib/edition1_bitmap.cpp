// The bit-map section (BMS) of GRIB edition 1: which grid points carry a
// value.  Bit k of the map, counted from the most significant bit of its
// first byte, belongs to the k-th point read.
#include <sys/types.h>

#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr int kBmsHeader = 6;

// Points the data section will read for this grid, when the layout reads
// one bit per grid point; 0 when it cannot be told in advance.
int64_t points_read(const GridRecord &rec) {
  const GribDecoder &d = grib_decoder();
  if (d.thin) {
    int64_t sum = 0;
    for (const int32_t n : d.thin_ptr) sum += n;
    return sum;
  }
  if (d.pole || d.grid_id == 50) return 0;
  return static_cast<int64_t>(rec.domain.nx) * rec.domain.ny;
}

}  // namespace

int GRIB_BMB(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return -1;
  GribDecoder &d = grib_decoder();
  d.bmb.clear();
  d.bmoff = 0;
  if (!(d.pds[8] & 0x40)) return 1;
  MESS_print(kGribTrace, "Bit Map section\n");
  unsigned char head[kBmsHeader];
  if (fread(head, 1, kBmsHeader, fp) < kBmsHeader) {
    d.no_values = true;
    return -1;
  }
  const int64_t len = static_cast<int64_t>(grib_uint(head, 3));
  if (len < kBmsHeader || len - kBmsHeader > grib_room(fp)) {
    grib_damaged("the bit map section does not fit");
    d.no_values = true;
    return 0;
  }
  const int table = static_cast<int>(grib_uint(head + 4, 2));
  if (table != 0) {
    // A predefined bit map is known by number only; its values cannot be placed.
    if (grib_note_once(fp, kNotePredefinedBitmap))
      MESS_print(kGribWarn, "GRIB predefined bit map %d is not supported; no values\n", table);
    d.no_values = true;
    fseeko(fp, len - kBmsHeader, SEEK_CUR);
    return 1;
  }
  const int64_t bytes = len - kBmsHeader;
  const int64_t need = points_read(*rec);
  if (bytes * 8 < need) {
    grib_damaged("the bit map is shorter than the grid");
    d.no_values = true;
    return 0;
  }
  d.bmb.resize(static_cast<size_t>(bytes));
  if (bytes > 0 && fread(d.bmb.data(), 1, d.bmb.size(), fp) < d.bmb.size()) {
    d.bmb.clear();
    d.no_values = true;
    return -1;
  }
  return 1;
}

int GRIB_BMB_read() {
  GribDecoder &d = grib_decoder();
  if (d.bmb.empty()) return 1;
  const int64_t bit = d.bmoff++;
  if (bit < 0 || bit / 8 >= static_cast<int64_t>(d.bmb.size())) return 0;
  return (d.bmb[static_cast<size_t>(bit / 8)] >> (7 - bit % 8)) & 1;
}
