// The binary data section (BDS) of GRIB edition 1: simple packing of
// grid-point values, unpacked into the record with row 0 the northern row,
// for regular grids, the NCEP hemispheric grids with one-value pole rows,
// grid 50 with its shortened rows, and quasi-regular grids whose rows are
// spread over the widest row by linear blending.
#include <sys/types.h>

#include <cmath>

#include "config/config.h"
#include "grib/bit_reader.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

constexpr int kBdsHeader = 11;
constexpr float kMissing = -9999.0f;
constexpr int64_t kMaxPoints = 2000LL * 2000LL;

// The next point: missing where the bit map says so, where the data section
// has run out, or once the bad-value check has tripped.
float next_point() {
  const GribDecoder &d = grib_decoder();
  if (!GRIB_BMB_read()) return kMissing;
  const int64_t x = grib_read_value();
  if (x < 0 || d.bad == 1) return kMissing;
  return static_cast<float>((d.ref + static_cast<double>(x) * d.sfac) * d.dscale);
}

// Data row i lands on memory row i when the data run north to south, else counted from the bottom.
int memory_row(int i, int ny) { return grib_decoder().ydir < 1 ? i : ny - 1 - i; }

bool at_pole(float lat) { return std::fabs(std::fabs(lat) - 90.0f) < 0.001f; }

void read_pole_row(float *row, int nx) {
  grib_bad_window_clear();
  const float v = next_point();
  for (int x = 0; x < nx; ++x) row[x] = v;
}

void read_row(float *row, int nx, bool last_repeats_first) {
  grib_bad_window_clear();
  const int count = last_repeats_first && nx > 1 ? nx - 1 : nx;
  for (int x = 0; x < count; ++x) row[x] = next_point();
  if (count < nx) row[nx - 1] = row[0];
}

void unpack_regular(float *values, const Domain &dom) {
  GribDecoder &d = grib_decoder();
  const int nx = dom.nx, ny = dom.ny;
  const bool repeat = d.grid_id == 25 || d.grid_id == 26;
  const float step = d.ydir * dom.dy;
  int i = 0;
  if (d.pole && at_pole(d.lat)) {
    read_pole_row(values + static_cast<int64_t>(memory_row(0, ny)) * nx, nx);
    d.lat += step;
    i = 1;
  }
  for (; i < ny; ++i) {
    read_row(values + static_cast<int64_t>(memory_row(i, ny)) * nx, nx, repeat);
    d.lat += step;
    if (d.pole && i + 1 < ny && at_pole(d.lat)) {
      read_pole_row(values + static_cast<int64_t>(memory_row(i + 1, ny)) * nx, nx);
      break;
    }
  }
}

// Grid 50: 33 rows of 36 points sent from the top row down; row r lacks
// (r - 1) div 4 points at each end.
void unpack_grid50(float *values) {
  for (int r = 32; r >= 0; --r) {
    grib_bad_window_clear();
    const int gap = r > 0 ? (r - 1) / 4 : 0;
    float *row = values + r * 36;
    for (int x = gap; x < 36 - gap; ++x) row[x] = next_point();
  }
}

// One quasi-regular row of n points spread over nx columns.
void spread_row(float *row, int n, int nx) {
  grib_bad_window_clear();
  if (n <= 0) return;  // the row stays missing
  if (n == 1 || nx == 1) {
    const float v = next_point();
    for (int x = 0; x < nx; ++x) row[x] = v;
    for (int k = 1; k < n; ++k) next_point();
    return;
  }
  const float s = static_cast<float>(n - 1) / static_cast<float>(nx - 1);
  float f = 0.0f;
  float u = next_point();
  float w = next_point();
  int k = 2;
  for (int x = 0; x < nx; ++x) {
    if (f >= 1.0f && k < n) {
      const float z = next_point();
      f -= 1.0f;
      ++k;
      u = w;
      w = z;
    }
    row[x] = (u == kMissing || w == kMissing) ? kMissing : f * w + (1.0f - f) * u;
    f += s;
  }
  for (; k < n; ++k) next_point();  // values the row has left
}

void unpack_thin(float *values, const Domain &dom) {
  const GribDecoder &d = grib_decoder();
  for (int i = 0; i < dom.ny; ++i) {
    const int n = d.thin_ptr[static_cast<size_t>(i)];
    spread_row(values + static_cast<int64_t>(memory_row(i, dom.ny)) * dom.nx, n, dom.nx);
  }
}

// Sets the packing parameters from the section header; false when the data cannot be unpacked.
bool packing(FILE *fp, const unsigned char *head, const GridRecord &rec) {
  GribDecoder &d = grib_decoder();
  const int flag = head[3];
  if (flag & 0x80) {
    if (grib_note_once(fp, kNoteSpectral))
      MESS_print(kGribWarn, "GRIB spherical harmonic data are not supported; no values\n");
    return false;
  }
  if (flag & 0x40) {
    if (grib_note_once(fp, kNoteSecondOrder))
      MESS_print(kGribWarn, "GRIB second-order packed data are not supported; no values\n");
    return false;
  }
  if (head[10] > 32) {
    grib_damaged("more than 32 bits per value");
    return false;
  }
  d.sfac = GRIB_scl_conv(head + 4);
  d.ref = GRIB_flt_conv(head + 6);
  d.bpval = head[10];
  d.bit_mask = d.bpval >= 32 ? 0xFFFFFFFFu : (1u << d.bpval) - 1u;
  d.bad_limit = d.bpval > 0 ? (int64_t{1} << (d.bpval - 1)) : 0;
  if (d.bad == -9 && (rec.ltype == 6 || rec.ltype == 7 || rec.ltype > 89)) d.bad_limit = int64_t{1} << d.bpval;
  d.bad = 0;
  grib_bad_window_clear();
  MESS_print(kGribDump, "Decimal Scale factor: %f\n", d.dscale);
  MESS_print(kGribDump, "Scale factor: %f\n", d.sfac);
  MESS_print(kGribDump, "Reference value: %f\n", d.ref);
  MESS_print(kGribDump, "Bits per value: %d\n", d.bpval);
  MESS_print(kGribDump, "Bad limit value: %lld\n", static_cast<long long>(d.bad_limit));
  return true;
}

bool grid_fits(const Domain &dom) {
  const GribDecoder &d = grib_decoder();
  if (dom.nx < 1 || dom.ny < 1) return false;
  if (static_cast<int64_t>(dom.nx) * dom.ny > kMaxPoints) return false;
  return !d.thin || d.thin_ptr.size() == static_cast<size_t>(dom.ny);
}

int give_up(GridRecord *rec, int result) {
  GribDecoder &d = grib_decoder();
  rec->values.clear();
  d.bmb.clear();
  d.thin_ptr.clear();
  return result;
}

}  // namespace

int GRIB_BDB(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return -1;
  GribDecoder &d = grib_decoder();
  d.bmoff = 0;
  if (d.no_values) return give_up(rec, 0);
  unsigned char head[kBdsHeader];
  if (fread(head, 1, kBdsHeader, fp) < kBdsHeader) return give_up(rec, -1);
  const int64_t len = static_cast<int64_t>(grib_uint(head, 3));
  if (len < kBdsHeader || len - kBdsHeader > grib_room(fp)) {
    grib_damaged("the binary data section does not fit");
    return give_up(rec, 0);
  }
  if (!packing(fp, head, *rec)) return give_up(rec, 0);
  const Domain &dom = rec->domain;
  if (!grid_fits(dom)) {
    MESS_print(kGribTrace, "GRIB grid %d has no usable size; no values\n", d.grid_id);
    return give_up(rec, 0);
  }
  grib_bits_load(fp, len - kBdsHeader);
  rec->values.assign(static_cast<size_t>(dom.nx) * static_cast<size_t>(dom.ny), kMissing);
  if (d.thin)
    unpack_thin(rec->values.data(), dom);
  else if (d.grid_id == 50 && dom.nx == 36 && dom.ny == 33)
    unpack_grid50(rec->values.data());
  else
    unpack_regular(rec->values.data(), dom);
  d.data_bytes = grib_bits_used();
  if (d.bits_short) grib_damaged("the binary data section holds fewer values than the grid");
  d.bmb.clear();
  d.thin_ptr.clear();
  return 1;
}
