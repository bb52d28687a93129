// Test fixture builder for GRIB products: writes indicators, edition 1
// sections (PDS, GDS types 0/1/3/5 and quasi-regular rows, BMS, BDS with
// simple packing), edition 2 sections, and the product headers the framing
// recognises (package header, LDM header, old package header), field by
// field into byte arrays.
#ifndef KVZ_TESTS_GRIB_GRIB_BUILDER_H
#define KVZ_TESTS_GRIB_GRIB_BUILDER_H

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace gribtest {

using Bytes = std::vector<unsigned char>;

// ---- octet groups ------------------------------------------------------------
inline void put_uint(Bytes &b, uint64_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}

// Sign and magnitude: top bit of the group is the sign.
inline void put_sm(Bytes &b, int64_t v, int n) {
  const uint64_t mag = static_cast<uint64_t>(v < 0 ? -v : v);
  put_uint(b, mag | (v < 0 ? uint64_t{1} << (8 * n - 1) : 0), n);
}

// Byte by byte: gcc 12 warns wrongly about range inserts into a growing vector.
inline void put_text(Bytes &b, const std::string &s) {
  for (const char c : s) b.push_back(static_cast<unsigned char>(c));
}

inline void append(Bytes &b, const Bytes &more) {
  b.reserve(b.size() + more.size());
  for (const unsigned char c : more) b.push_back(c);
}

inline void set_uint(Bytes &b, size_t at, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) b[at + i] = static_cast<unsigned char>(v >> (8 * (n - 1 - i)));
}

// IBM System/360 single precision.
inline Bytes ibm_float(double v) {
  Bytes out(4, 0);
  if (v == 0.0) return out;
  const bool neg = v < 0;
  double m = std::fabs(v);
  int e = 64;
  while (m >= 1.0) { m /= 16.0; ++e; }
  while (m < 1.0 / 16.0) { m *= 16.0; --e; }
  const uint32_t mant = static_cast<uint32_t>(std::lround(m * 16777216.0));
  out[0] = static_cast<unsigned char>((neg ? 0x80 : 0) | (e & 0x7F));
  out[1] = static_cast<unsigned char>(mant >> 16);
  out[2] = static_cast<unsigned char>(mant >> 8);
  out[3] = static_cast<unsigned char>(mant);
  return out;
}

// Packs the numbers at the given width, most significant bit first, padded to whole bytes.
inline Bytes pack_bits(const std::vector<uint32_t> &values, int bits) {
  Bytes out;
  uint64_t acc = 0;
  int have = 0;
  for (const uint32_t v : values) {
    acc = (acc << bits) | (bits == 32 ? v : (v & ((1u << bits) - 1u)));
    have += bits;
    while (have >= 8) {
      out.push_back(static_cast<unsigned char>(acc >> (have - 8)));
      have -= 8;
    }
  }
  if (have > 0) out.push_back(static_cast<unsigned char>(acc << (8 - have)));
  return out;
}

// ---- edition 1 ----------------------------------------------------------------
struct Pds1 {
  int table = 2;
  int centre = 7;
  int model = 96;
  int grid = 255;
  int flags = 0x80;  // 0x80 GDS present, 0x40 BMS present
  int param = 7;
  int ltype = 100;
  int level_a = 1;  // octet 11
  int level_b = 244;  // octet 12 (500 = 1*256+244)
  int year = 10, month = 5, day = 24, hour = 12, minute = 0;
  int unit = 1;
  int p1 = 0, p2 = 0;
  int range = 0;
  int n_avg = 0;
  int century = 21;
  int subcentre = 0;
  int dscale = 0;  // D
  Bytes extra;     // octets 29 onwards
  int length = -1; // -1: 28 plus the extra octets
};

inline Bytes pds1(const Pds1 &p) {
  Bytes b;
  const int len = p.length >= 0 ? p.length : 28 + static_cast<int>(p.extra.size());
  put_uint(b, static_cast<uint64_t>(len), 3);
  put_uint(b, p.table, 1);
  put_uint(b, p.centre, 1);
  put_uint(b, p.model, 1);
  put_uint(b, p.grid, 1);
  put_uint(b, p.flags, 1);
  put_uint(b, p.param, 1);
  put_uint(b, p.ltype, 1);
  put_uint(b, p.level_a, 1);
  put_uint(b, p.level_b, 1);
  put_uint(b, p.year, 1);
  put_uint(b, p.month, 1);
  put_uint(b, p.day, 1);
  put_uint(b, p.hour, 1);
  put_uint(b, p.minute, 1);
  put_uint(b, p.unit, 1);
  put_uint(b, p.p1, 1);
  put_uint(b, p.p2, 1);
  put_uint(b, p.range, 1);
  put_uint(b, p.n_avg, 2);
  put_uint(b, 0, 1);  // missing from averages
  put_uint(b, p.century, 1);
  put_uint(b, p.subcentre, 1);
  put_sm(b, p.dscale, 2);
  append(b, p.extra);
  return b;
}

// Grid description; angles in millidegrees, distances in metres.
struct Gds1 {
  int type = 0;  // 0 lat/lon, 1 Mercator, 3 Lambert conformal, 5 polar stereographic
  int nx = 3, ny = 2;
  int la1 = 0, lo1 = 0;
  int res_flag = 0x80;
  int la2 = 0, lo2 = 0;   // types 0 and 1
  int di = 0, dj = 0;     // type 0, millidegrees
  int lov = 0;            // types 3 and 5
  int dx_m = 0, dy_m = 0; // types 3 and 5
  int centre_flag = 0;    // 0x80 south pole
  int scan = 0;
  int latin1 = 0, latin2 = 0;  // type 3
  int latin = 0;               // type 1
  std::vector<int> rows;       // quasi-regular row lengths (nx is then sent as all ones)
  int nv = 0;                  // vertical coordinates before the row lengths
  int length = -1;             // -1: as built
};

inline Bytes gds1(const Gds1 &g) {
  Bytes b;
  const bool thin = !g.rows.empty();
  put_uint(b, 0, 3);  // length, set below
  put_uint(b, g.nv, 1);
  const bool long_form = g.type == 1 || g.type == 3;
  const int list_at = long_form ? 43 : 33;
  put_uint(b, (thin || g.nv > 0) ? list_at : 255, 1);
  put_uint(b, g.type, 1);
  put_uint(b, thin ? 0xFFFF : g.nx, 2);
  put_uint(b, g.ny, 2);
  put_sm(b, g.la1, 3);
  put_sm(b, g.lo1, 3);
  put_uint(b, g.res_flag, 1);
  if (g.type == 0 || g.type == 1) {
    put_sm(b, g.la2, 3);
    put_sm(b, g.lo2, 3);
    if (g.type == 0) {
      put_uint(b, thin ? 0xFFFF : g.di, 2);
      put_uint(b, g.dj, 2);
      put_uint(b, g.scan, 1);
      put_uint(b, 0, 4);
    } else {
      put_sm(b, g.latin, 3);
      put_uint(b, 0, 1);
      put_uint(b, g.scan, 1);
      put_uint(b, 0, 3);  // Di (not used)
      put_uint(b, 0, 3);  // Dj
      put_uint(b, 0, 8);  // reserved up to octet 42
    }
  } else {
    put_sm(b, g.lov, 3);
    put_uint(b, g.dx_m, 3);
    put_uint(b, g.dy_m, 3);
    put_uint(b, g.centre_flag, 1);
    put_uint(b, g.scan, 1);
    if (g.type == 3) {
      put_sm(b, g.latin1, 3);
      put_sm(b, g.latin2, 3);
      put_uint(b, 0, 6);  // southern pole
      put_uint(b, 0, 2);  // reserved
    } else {
      put_uint(b, 0, 4);
    }
  }
  for (int i = 0; i < g.nv; ++i) put_uint(b, 0, 4);
  for (const int n : g.rows) put_uint(b, n, 2);
  set_uint(b, 0, g.length >= 0 ? g.length : b.size(), 3);
  return b;
}

// Bit map of the given bits; a non-zero table asks for a predefined map instead.
inline Bytes bms1(const std::vector<int> &bits, int table = 0) {
  Bytes map;
  std::vector<uint32_t> v(bits.begin(), bits.end());
  if (table == 0) map = pack_bits(v, 1);
  Bytes b;
  const int unused = static_cast<int>(map.size() * 8 - bits.size());
  put_uint(b, 6 + map.size(), 3);
  put_uint(b, table == 0 ? unused : 0, 1);
  put_uint(b, table, 2);
  append(b, map);
  return b;
}

struct Bds1 {
  int e = 0;             // binary scale factor E
  double ref = 0.0;      // reference value R
  int bits = 8;          // bits per value
  std::vector<uint32_t> packed;
  int flag = 0;          // high nibble of octet 4
  int length = -1;       // -1: as built
};

inline Bytes bds1(const Bds1 &d) {
  Bytes data = pack_bits(d.packed, d.bits);
  if (data.size() % 2) data.push_back(0);
  Bytes b;
  put_uint(b, 0, 3);
  const int unused = static_cast<int>(data.size() * 8 - d.packed.size() * static_cast<size_t>(d.bits));
  put_uint(b, (d.flag & 0xF0) | (unused & 0x0F), 1);
  put_sm(b, d.e, 2);
  append(b, ibm_float(d.ref));
  put_uint(b, d.bits, 1);
  append(b, data);
  set_uint(b, 0, d.length >= 0 ? d.length : b.size(), 3);
  return b;
}

// An edition 1 product from its sections; total_length -1 states the real length.
inline Bytes grib1(const Bytes &pds, const Bytes &gds, const Bytes &bms, const Bytes &bds,
                   int64_t total_length = -1) {
  Bytes b;
  put_text(b, "GRIB");
  put_uint(b, 0, 3);
  put_uint(b, 1, 1);
  append(b, pds);
  append(b, gds);
  append(b, bms);
  append(b, bds);
  put_text(b, "7777");
  set_uint(b, 4, total_length >= 0 ? static_cast<uint64_t>(total_length) : b.size(), 3);
  return b;
}

// ---- edition 2 ----------------------------------------------------------------
inline Bytes section2(int number, const Bytes &body) {
  Bytes b;
  put_uint(b, 5 + body.size(), 4);
  put_uint(b, number, 1);
  append(b, body);
  return b;
}

// Identification section body (octets 6 onwards).
inline Bytes ids2_body(int centre, int year, int month, int day, int hour, int minute) {
  Bytes b;
  put_uint(b, centre, 2);
  put_uint(b, 0, 2);  // sub-centre
  put_uint(b, 2, 1);  // master tables
  put_uint(b, 1, 1);  // local tables
  put_uint(b, 1, 1);  // significance of reference time
  put_uint(b, year, 2);
  put_uint(b, month, 1);
  put_uint(b, day, 1);
  put_uint(b, hour, 1);
  put_uint(b, minute, 1);
  put_uint(b, 0, 1);  // second
  put_uint(b, 0, 1);  // production status
  put_uint(b, 1, 1);  // type of data
  return b;
}

inline Bytes grib2(const std::vector<Bytes> &sections, int discipline = 0, int64_t total_length = -1) {
  Bytes b;
  put_text(b, "GRIB");
  put_uint(b, 0, 2);
  put_uint(b, discipline, 1);
  put_uint(b, 2, 1);
  put_uint(b, 0, 8);
  for (const Bytes &s : sections) append(b, s);
  put_text(b, "7777");
  set_uint(b, 8, total_length >= 0 ? static_cast<uint64_t>(total_length) : b.size(), 8);
  return b;
}

// ---- product headers --------------------------------------------------------------
// Package header: "** heading **" on its own line before the product, one
// trailer byte after an edition 1 product (four after edition 2).
inline Bytes kvz_wrap(const Bytes &product, const std::string &heading, const std::string &lead = "",
                      const std::string &trailer = "\n") {
  Bytes b;
  put_text(b, lead + "** " + heading + " **\n");
  append(b, product);
  put_text(b, trailer);
  return b;
}

// LDM feed header: SOH, line ends, sequence number, the heading, the product, line ends and ETX.
inline Bytes ldm_wrap(const Bytes &product, int sequence, const std::string &heading) {
  Bytes b;
  put_text(b, "\001\r\r\n" + std::to_string(sequence) + "\r\r\n" + heading + "\r\r\n");
  append(b, product);
  put_text(b, "\r\r\n\003");
  return b;
}

// Old package header: "GRIB: n" stating the bytes that follow up to the last
// before the next header, then SOH, a line, the heading and the product.
inline Bytes old_kvz_wrap(const Bytes &product, const std::string &heading) {
  Bytes rest;
  put_text(rest, "\001\r\r\n123\n" + heading + "\r\r\n");
  append(rest, product);
  put_text(rest, "\r\r\n\003");
  Bytes b;
  put_text(b, "GRIB: " + std::to_string(rest.size() - 1) + "\n");
  append(b, rest);
  return b;
}

}  // namespace gribtest

#endif
