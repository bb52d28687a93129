// Test fixture for the GRIB edition 2 data unpackers: builds messages of data
// representation, bit-map and data sections, and decodes them with the grid
// state (size, scanning, quasi-regular rows) set by the test, so that each
// unpacker and the row layout are checked on their own.  The bit-map
// section is read here too (indicator 0, 254 or 255).
#ifndef KVZ_TESTS_GRIB_UNPACK_FIXTURE_H
#define KVZ_TESTS_GRIB_UNPACK_FIXTURE_H

#include <gtest/gtest.h>

#include <sys/types.h>

#include <cstring>
#include <string>
#include <vector>

#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grid/grid.h"
#include "grib_builder.h"
#include "grib_test_file.h"

namespace unpacktest {

using gribtest::Bytes;
using gribtest::put_sm;
using gribtest::put_uint;

constexpr float kMiss = -9999.0f;

inline void put_ieee(Bytes &b, float v) {
  uint32_t u;
  std::memcpy(&u, &v, sizeof u);
  put_uint(b, u, 4);
}

// Octets 12-19 of the scaled templates: R, E and D.
inline Bytes scaling(float ref, int e, int d) {
  Bytes b;
  put_ieee(b, ref);
  put_sm(b, e, 2);
  put_sm(b, d, 2);
  return b;
}

// Section 5: the number of packed values, the template and its octets from 12 on.
inline Bytes drs(int64_t points, int templ, const Bytes &rest) {
  Bytes body;
  put_uint(body, static_cast<uint64_t>(points), 4);
  put_uint(body, templ, 2);
  gribtest::append(body, rest);
  return gribtest::section2(5, body);
}

inline Bytes simple_drs(int64_t points, float ref, int e, int d, int nbits) {
  Bytes rest = scaling(ref, e, d);
  put_uint(rest, nbits, 1);
  put_uint(rest, 0, 1);  // floating point original values
  return drs(points, 0, rest);
}

// Section 6: a bit map of the given bits, or an indicator alone (254 reuse, 255 none).
inline Bytes bitmap(const std::vector<int> &bits) {
  Bytes body;
  put_uint(body, 0, 1);
  const std::vector<uint32_t> v(bits.begin(), bits.end());
  gribtest::append(body, gribtest::pack_bits(v, 1));
  return gribtest::section2(6, body);
}
inline Bytes bitmap_indicator(int indicator) { return gribtest::section2(6, Bytes(1, static_cast<unsigned char>(indicator))); }

inline Bytes data_section(const Bytes &bytes) { return gribtest::section2(7, bytes); }

// Sections in order, framed as one product.
inline Bytes message(const std::vector<Bytes> &sections) { return gribtest::grib2(sections); }

// The grid the fields lie on, set into the decoder state before each data section.
struct Grid {
  int nx = 1, ny = 1;
  int ydir = -1;  // -1 rows north to south, +1 south to north
  int xalt = 0;
  std::vector<int32_t> thin;  // quasi-regular row lengths, data order
  bool unplaceable = false;
};

inline void set_grid(const Grid &g) {
  GribDecoder &d = grib_decoder();
  d.ed2.dv.nx = g.nx;
  d.ed2.dv.ny = g.ny;
  d.ydir = g.ydir;
  d.xalt = g.xalt;
  d.thin = g.thin.empty() ? 0 : 1;
  d.thin_ptr = g.thin;
  d.ed2.grid_unsupported = g.unplaceable;
}

// Section 6 read by the fixture: the bit map in force afterwards.
inline void read_bitmap(FILE *fp) {
  GribDecoder &d = grib_decoder();
  Bytes body(static_cast<size_t>(d.slen - 5));
  ASSERT_EQ(fread(body.data(), 1, body.size(), fp), body.size());
  if (body.empty() || body[0] == 254) return;
  d.bmb.assign(body.begin() + 1, body.end());
  if (body[0] == 255) d.bmb.clear();
}

struct Decoded {
  std::vector<std::vector<float>> fields;  // the values of each data section
  std::vector<int> results;                // GRIB_DS result of each
  std::string err;                         // standard error of the whole decoding
  bool all_sections_read = false;          // the walker reached "7777"
};

// Walks every product of the file: sections 5 and 7 through the decoder, 6
// through the fixture, the grid of field k from grids[min(k, last)].
inline Decoded decode_file(gribtest::GribFile &f, const std::vector<Grid> &grids) {
  Decoded out;
  testing::internal::CaptureStderr();
  GridRecord rec{};
  GRD_init(&rec);
  while (GRIB_header(f.handle()) == 1) {
    const int64_t next = GRIB_next(f.handle(), 0);
    out.all_sections_read = false;
    while (GRIB_read_section(f.handle())) {
      switch (GRIB_get_sect()) {
        case 5: GRIB_DRS(f.handle(), &rec); break;
        case 6: read_bitmap(f.fp()); break;
        case 7: {
          set_grid(grids[std::min(out.fields.size(), grids.size() - 1)]);
          out.results.push_back(GRIB_DS(f.handle(), &rec));
          out.fields.push_back(rec.values);
          break;
        }
        default: GRIB_skip_section(f.handle()); break;
      }
    }
    out.all_sections_read = GRIB_get_sect() == -1;
    if (next <= 0) break;
    fseeko(f.fp(), next, SEEK_SET);
  }
  out.err = testing::internal::GetCapturedStderr();
  return out;
}

inline Decoded decode(const Bytes &product, const Grid &grid) {
  gribtest::GribFile f(product);
  return decode_file(f, {grid});
}

// Decodes the field once for every octet of its sections 5 and 7 (after the
// section header) set to 0, 0xFF and its top bit flipped: whatever the octets
// say, the field gets either no values or a whole grid of them.
inline void mutate_each_octet(const std::vector<Bytes> &sections, const Grid &grid) {
  for (size_t k = 0; k < sections.size(); ++k) {
    if (sections[k].size() < 6 || (sections[k][4] != 5 && sections[k][4] != 7)) continue;
    for (size_t i = 5; i < sections[k].size(); ++i) {
      for (const int how : {0, 1, 2}) {
        std::vector<Bytes> s = sections;
        unsigned char &b = s[k][i];
        b = how == 0 ? 0 : how == 1 ? 0xFF : static_cast<unsigned char>(b ^ 0x80);
        const Decoded out = decode(message(s), grid);
        ASSERT_EQ(out.fields.size(), 1u) << "section " << k << " octet " << i + 1;
        const size_t n = out.fields[0].size();
        EXPECT_TRUE(n == 0 || n == static_cast<size_t>(grid.nx) * grid.ny) << "section " << k << " octet " << i + 1;
      }
    }
  }
}

}  // namespace unpacktest

#endif
