// The bit-map section (section 6) of GRIB edition 2: a bit per grid point
// telling whether the data section holds a value for it.  A bit map stays in
// force so that a later field of the message can use it again (indicator 254).
#include <sys/types.h>

#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/edition2_section.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"

namespace {

constexpr int kIndicatorOctet = 6;
constexpr int kReuse = 254;
constexpr int kNone = 255;

// Bits the unpacker reads for the grid in force: one a point, or one a
// point of each quasi-regular row; 0 when the grid is not known.
int64_t grid_points() {
  const GribDecoder &d = grib_decoder();
  if (d.ed2.grid_unsupported) return 0;
  if (d.thin) {
    int64_t sum = 0;
    for (const int32_t n : d.thin_ptr) sum += n;
    return sum;
  }
  return static_cast<int64_t>(d.ed2.dv.nx) * d.ed2.dv.ny;
}

int64_t bitmap_bytes() { return static_cast<int64_t>(grib_decoder().bmb.size()); }

// The field gets no values: its bit map cannot be had.
int unavailable() {
  GribDecoder &d = grib_decoder();
  d.bmb.clear();
  d.ed2.bitmap_unavailable = true;
  return 0;
}

int reuse(const Ed2Section &s) {
  const GribDecoder &d = grib_decoder();
  MESS_print(kGribTrace, "BMS reuse: %d %d %d\n", ed2_trace_int(s.len), ed2_trace_int(d.pack.data_pnts),
             ed2_trace_int(bitmap_bytes()));
  if (!d.bmb.empty()) return 1;
  // Nothing to reuse: placing the values without a map would misplace them.
  grib_damaged("a bit map is reused where none was sent");
  return unavailable();
}

int predefined(FILE *fp, int indicator) {
  if (grib_note_once(fp, kNotePredefinedBitmap))
    MESS_print(kGribWarn, "GRIB predefined bit map %d is not supported; no values\n", indicator);
  return unavailable();
}

int new_bitmap(const Ed2Section &s) {
  GribDecoder &d = grib_decoder();
  const int64_t bytes = s.len - kIndicatorOctet;
  if (bytes * 8 < grid_points()) {
    grib_damaged("the bit map is shorter than the grid");
    return unavailable();
  }
  MESS_print(kGribTrace, "BMS: %d %d %d\n", ed2_trace_int(s.len), ed2_trace_int(d.pack.data_pnts),
             ed2_trace_int(bytes));
  d.bmb.assign(s.octets.begin() + kIndicatorOctet + 1, s.octets.end());
  d.bmoff = 0;
  return 1;
}

}  // namespace

int GRIB_BMS(int handle) {
  FILE *fp = grib_stream(handle);
  if (!fp) return 0;
  GribDecoder &d = grib_decoder();
  d.ed2.bitmap_unavailable = false;
  Ed2Section s;
  if (!ed2_read_section(fp, kIndicatorOctet, "bit map", s)) return unavailable();
  const int indicator = s.u8(kIndicatorOctet);
  if (indicator == kReuse) return reuse(s);
  d.bmb.clear();
  d.bmoff = 0;
  if (indicator == kNone) return 0;
  if (s.len == kIndicatorOctet) return predefined(fp, indicator);
  return new_bitmap(s);
}
