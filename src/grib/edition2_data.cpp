// The data section (section 7) of GRIB edition 2: loads the section into
// memory, hands it to the unpacker of the field's data representation
// template, and lays the unpacked values on the grid: memory row 0 is the
// northern row, rows that the scanning mode runs right to left are turned
// round, points the bit map leaves out are -9999.0, and quasi-regular rows
// are spread over the widest row.  The stream is left at the section's end.
#include <sys/types.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "config/config.h"
#include "files/files.h"
#include "grib/decoder_state.h"
#include "grib/edition2_section.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grib/unpack_internal.h"
#include "grid/grid.h"

namespace {

// Largest grid given values, as the grid definition section allows.
constexpr int64_t kMaxPoints = int64_t{1} << 26;

// How the grid's points are walked.
struct Layout {
  int64_t nx = 0, ny = 0;
  bool north_first = true;       // data rows run north to south
  bool alternate = false;        // every other data row runs right to left
  const int32_t *thin = nullptr; // quasi-regular row lengths, one per data row
  const unsigned char *bitmap = nullptr;
  int64_t bitmap_bits = 0;

  int64_t memory_row(int64_t i) const { return north_first ? i : ny - 1 - i; }
  bool reversed(int64_t i) const { return alternate && (i & 1); }
};

// The bit map read from its first bit.
class BitmapCursor {
 public:
  explicit BitmapCursor(const Layout &l) : map_(l.bitmap) {}
  bool next() {
    const bool bit = !map_ || ((map_[pos_ >> 3] >> (7 - (pos_ & 7))) & 1);
    ++pos_;
    return bit;
  }
  int64_t used() const { return pos_; }

 private:
  const unsigned char *map_;
  int64_t pos_ = 0;
};

// The unpacked values, taken in order.
struct ValueCursor {
  const float *v;
  int64_t count;
  int64_t next = 0;
  bool left() const { return next < count; }
};

// Rows y0 to y0 + h - 1, columns x0 to x0 + w - 1 of the grid in scanning
// order; each point the bit map keeps takes the next value while any are left.
void place_rows(const Layout &l, const Placement &r, ValueCursor &vals, BitmapCursor &bits, float *out) {
  for (int64_t i = r.y0; i < r.y0 + r.h && vals.left(); ++i) {
    float *row = out + l.memory_row(i) * l.nx;
    const bool back = l.reversed(i);
    if (!l.bitmap && !back) {
      const int64_t n = std::min(r.w, vals.count - vals.next);
      std::memcpy(row + r.x0, vals.v + vals.next, static_cast<size_t>(n) * sizeof(float));
      vals.next += n;
      continue;
    }
    for (int64_t j = r.x0; j < r.x0 + r.w && vals.left(); ++j) {
      if (!bits.next()) continue;
      row[back ? l.nx - 1 - j : j] = vals.v[vals.next++];
    }
  }
}

// Spreads the n points of a quasi-regular row over the nx columns of the row
// by linear blending; the row's first and last points land on its ends.
void spread_row(const float *pts, int64_t n, float *row, int64_t nx, bool back) {
  if (n <= 0) return;
  for (int64_t x = 0; x < nx; ++x) {
    float v = pts[0];
    if (n > 1 && nx > 1) {
      const int64_t num = x * (n - 1);
      const int64_t k = num / (nx - 1), rem = num % (nx - 1);
      v = pts[k];
      if (rem != 0) {
        const float u = pts[k], w = pts[k + 1];
        const float f = static_cast<float>(rem) / static_cast<float>(nx - 1);
        v = (u == kMissingValue || w == kMissingValue) ? kMissingValue : f * w + (1.0f - f) * u;
      }
    }
    row[back ? nx - 1 - x : x] = v;
  }
}

void place_thin(const Layout &l, ValueCursor &vals, BitmapCursor &bits, float *out) {
  const int64_t widest = *std::max_element(l.thin, l.thin + l.ny);
  std::vector<float> pts(static_cast<size_t>(std::max<int64_t>(widest, 1)));
  for (int64_t i = 0; i < l.ny; ++i) {
    const int64_t n = l.thin[i];
    for (int64_t k = 0; k < n; ++k)
      pts[static_cast<size_t>(k)] = bits.next() && vals.left() ? vals.v[vals.next++] : kMissingValue;
    spread_row(pts.data(), n, out + l.memory_row(i) * l.nx, l.nx, l.reversed(i));
  }
}

// ---- the grid and its checks -----------------------------------------------------------
const char *make_layout(const GribDecoder &d, const Domain &dom, Layout *l, GridShape *shape) {
  if (dom.nx < 1 || dom.ny < 1) return "the grid has no usable size";
  l->nx = dom.nx;
  l->ny = dom.ny;
  if (l->nx * l->ny > kMaxPoints) return "the grid is too large";
  l->north_first = d.ydir < 1;
  l->alternate = d.xalt != 0;
  shape->nx = l->nx;
  shape->ny = l->ny;
  shape->points = l->nx * l->ny;
  if (d.thin) {
    if (d.thin_ptr.size() != static_cast<size_t>(l->ny)) return "the quasi-regular row lengths do not match the grid";
    int64_t sum = 0;
    for (const int32_t n : d.thin_ptr) {
      if (n < 0) return "a quasi-regular row has a negative length";
      sum += n;
    }
    if (sum > kMaxPoints) return "the grid is too large";
    l->thin = d.thin_ptr.data();
    shape->thin = true;
    shape->points = sum;
  }
  if (!d.bmb.empty()) {
    l->bitmap = d.bmb.data();
    l->bitmap_bits = static_cast<int64_t>(d.bmb.size()) * 8;
    if (l->bitmap_bits < shape->points) return "the bit map is shorter than the grid";
    shape->bitmap = true;
  }
  return nullptr;
}

bool supported(int drs_temp) {
  switch (drs_temp) {
    case 0: case 2: case 3: case 40: case 40000: case 42: case 200: return true;
    default: return false;
  }
}

void give_up(const char *reason) {
  MESS_print(kGribWarn, "GRIB edition 2 data section: %s; no values\n", reason);
}

// Reads the section body into the packing's buffer, padded with zero bytes.
bool load(FILE *fp, int64_t body, Edition2Packing &p, DataSection *s) {
  p.section.resize(static_cast<size_t>(body + kSectionPad));
  if (fread(p.section.data(), 1, static_cast<size_t>(body), fp) < static_cast<size_t>(body)) return false;
  std::memset(p.section.data() + body, 0, kSectionPad);
  s->bytes = p.section.data();
  s->size = body;
  return true;
}

const char *unpack(const DataSection &s, Edition2Packing &p, const GridShape &shape, Placement *placement) {
  switch (p.drs_temp) {
    case 0: return unpack_simple(s, p, shape);
    case 2:
    case 3: return unpack_complex(s, p, shape);
    case 40:
    case 40000: return unpack_jpeg2000(s, p, shape, placement);
    case 42: return unpack_ccsds(s, p, shape);
    default: return unpack_runlength(s, p, shape);
  }
}

// Lays the unpacked values on the grid into values (already sized and missing).
void place(const Layout &l, const Placement &placement, const Edition2Packing &p, int64_t *bmoff,
           std::vector<float> *values) {
  ValueCursor vals{p.packed.data(), static_cast<int64_t>(p.packed.size())};
  BitmapCursor bits(l);
  if (l.thin) {
    place_thin(l, vals, bits, values->data());
  } else {
    Placement r = placement;
    if (!r.rectangle) {
      r.w = l.nx - r.x0;
      r.h = l.ny - r.y0;
    }
    place_rows(l, r, vals, bits, values->data());
  }
  *bmoff = bits.used();
}

// Whether the unpacked values are the grid in memory order already: rows run
// north to south the same way, no bit map or quasi-regular rows, and the
// values (a list, or an image as large as the grid) start at its first point.
bool in_memory_order(const Layout &l, const Placement &r, const GridShape &shape, size_t count) {
  const bool from_first = r.x0 == 0 && r.y0 == 0 && (!r.rectangle || (r.w == l.nx && r.h == l.ny));
  return l.north_first && !l.alternate && !l.thin && !l.bitmap && from_first &&
         static_cast<int64_t>(count) == shape.points;
}

// Unpacks the loaded section into the record; 0 when a JPEG 2000 code stream cannot be decoded.
int unpack_field(GribDecoder &d, const DataSection &s, const Layout &l, const GridShape &shape, GridRecord *rec) {
  Edition2Packing &p = d.pack;
  Placement placement;
  p.packed.clear();
  if (const char *fault = unpack(s, p, shape, &placement)) {
    if (fault == kJpegDecodeError) {
      MESS_print(kGribWarn, "jpc_decode error\n");
      return 0;
    }
    give_up(fault);
    return 1;
  }
  if (in_memory_order(l, placement, shape, p.packed.size())) {
    rec->values.swap(p.packed);  // the values are already in memory order
    return 1;
  }
  rec->values.assign(static_cast<size_t>(l.nx * l.ny), kMissingValue);
  place(l, placement, p, &d.bmoff, &rec->values);
  return 1;
}

int decode(FILE *fp, GribDecoder &d, int64_t body, GridRecord *rec) {
  Edition2Packing &p = d.pack;
  if (d.ed2.values_unplaceable()) return 1;  // the grid or bit-map section has said why
  if (p.fault) {
    give_up(p.fault);
    return 1;
  }
  if (p.drs_temp < 0) {
    give_up("no data representation section comes before it");
    return 1;
  }
  if (!supported(p.drs_temp)) {
    if (ed2_first_unsupported(fp, 5, p.drs_temp))
      MESS_print(kGribWarn, "GRIB edition 2 data representation template 5.%d is not supported; no values\n",
                 p.drs_temp);
    return 1;
  }
  Layout layout;
  GridShape shape;
  if (const char *fault = make_layout(d, d.ed2.dv, &layout, &shape)) {
    give_up(fault);
    return 1;
  }
  DataSection s;
  if (!load(fp, body, p, &s)) {
    give_up("the data section is cut short");
    return 1;
  }
  return unpack_field(d, s, layout, shape, rec);
}

}  // namespace

int GRIB_DS(int handle, GridRecord *rec) {
  FILE *fp = grib_stream(handle);
  if (!fp || !rec) return 0;
  GribDecoder &d = grib_decoder();
  d.bmoff = 0;
  rec->domain = d.ed2.dv;
  rec->values.clear();
  const int64_t start = ftello(fp);
  const int64_t body = d.slen - 5;
  if (start < 0 || body < 0 || body > grib_room(fp) - 4) {  // the end marker follows the section
    grib_damaged("the data section runs past the end of the product");
    if (d.prod_end >= 4 && d.prod_end - 4 >= start) fseeko(fp, d.prod_end - 4, SEEK_SET);
    return 1;
  }
  int result = 1;
  try {
    result = decode(fp, d, body, rec);
  } catch (const std::bad_alloc &) {
    rec->values.clear();
    result = 0;
  }
  FILE_seek(fp, start + body);
  return result;
}
