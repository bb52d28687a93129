// The data representation section (section 5) of GRIB edition 2: which
// packing the field's data section uses and its parameters, kept in the
// decoder state for the data section that follows.  Templates 5.0 (simple),
// 5.2 and 5.3 (complex, with spatial differencing), 5.40 and 40000
// (JPEG 2000), 5.42 (CCSDS) and 5.200 (run-length with level values).
#include <sys/types.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "config/config.h"
#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"
#include "grid/grid.h"

namespace {

// IEEE 754 single precision, big-endian; a first octet of 0 reads as 0.
float ieee_float(const unsigned char *four) {
  if (four[0] == 0) return 0.0f;
  const uint32_t bits = static_cast<uint32_t>(grib_uint(four, 4));
  float v;
  std::memcpy(&v, &bits, sizeof v);
  return v;
}

// The section's octets, numbered from 1 as in the template tables.
class Octets {
 public:
  explicit Octets(const std::vector<unsigned char> &bytes) : bytes_(bytes) {}
  bool has(int64_t last) const { return last <= static_cast<int64_t>(bytes_.size()); }
  const unsigned char *at(int64_t k) const { return bytes_.data() + (k - 1); }
  uint32_t u(int64_t k, int n) const { return static_cast<uint32_t>(grib_uint(at(k), n)); }
  int32_t sm(int64_t k, int n) const { return grib_sm(at(k), n); }
  float ieee(int64_t k) const { return ieee_float(at(k)); }

 private:
  const std::vector<unsigned char> &bytes_;
};

void reset(Edition2Packing &p) {
  p.fault = nullptr;
  p.ref = 0.0f;
  p.sfac = 1.0;
  p.dscale = 1.0;
  p.num_bits = 0;
  p.data_type = 0;
  p.miss_type = 0;
  p.num_group = 0;
  p.order = -1;
  p.spat_bytes = -1;
  p.max_val = 0;
  p.map.clear();
}

// Octets 12-19, common to the templates of the form value = (R + X * 2^E) * 10^-D.
void scaling(const Octets &o, Edition2Packing &p) {
  p.ref = o.ieee(12);
  p.sfac = std::ldexp(1.0, o.sm(16, 2));
  p.dscale = std::pow(10.0, -o.sm(18, 2));
}

// The part every grid-point template shares: scaling, bits per value and the
// type of the original values.  False when the section is too short for it.
bool common_part(const Octets &o, Edition2Packing &p) {
  if (!o.has(21)) {
    p.fault = "the data representation section is too short for its template";
    return false;
  }
  scaling(o, p);
  p.num_bits = o.u(20, 1);
  p.data_type = o.u(21, 1);
  return true;
}

void simple(const Octets &o, Edition2Packing &p) {
  MESS_print(kGribTrace, "Grid point - simple packing\n");
  if (common_part(o, p) && p.num_bits > 32) p.fault = "more than 32 bits per value";
}

void complex(const Octets &o, Edition2Packing &p, bool spatial) {
  MESS_print(kGribTrace, spatial ? "Grid point - complex packing and spatial differencing\n"
                                 : "Grid point - complex packing\n");
  if (!o.has(spatial ? 49 : 47)) {
    p.fault = "the data representation section is too short for its template";
    return;
  }
  common_part(o, p);
  MESS_print(kGribTrace, "DRS-PTS: %lld REF: %f SFAC: %f DSCL: %f NGREF: %d DTYPE: %d\n",
             static_cast<long long>(p.data_pnts), p.ref, p.sfac, p.dscale, p.num_bits, p.data_type);
  p.split_method = o.u(22, 1);
  p.miss_type = o.u(23, 1);
  p.miss1 = p.miss_type != 0 ? o.ieee(24) : 0.0f;
  p.miss2 = p.miss_type > 1 ? o.ieee(28) : 0.0f;
  p.num_group = o.u(32, 4);
  p.ref_gwidth = o.u(36, 1);
  p.num_bits_gwidth = o.u(37, 1);
  p.ref_glen = o.u(38, 4);
  p.inc_glen = o.u(42, 1);
  p.last_glen = o.u(43, 4);
  p.num_bits_glen = o.u(47, 1);
  if (spatial) {  // order 0 (as some encoders write) means no differencing
    p.order = o.u(48, 1);
    p.spat_bytes = o.u(49, 1);
  }
  MESS_print(kGribTrace, "SPLIT: %d NGRP: %lld - MTYPE: %d MISS: %f\n", p.split_method,
             static_cast<long long>(p.num_group), p.miss_type, p.miss1);
  MESS_print(kGribTrace, "NWDTH: %d NLEN: %d - ORD: %d SPAT: %d\n", p.num_bits_gwidth, p.num_bits_glen, p.order,
             p.spat_bytes);
  if (p.num_bits > 32 || p.num_bits_gwidth > 32 || p.num_bits_glen > 32)
    p.fault = "a complex packing descriptor is wider than 32 bits";
  else if (p.miss_type > 2)
    p.fault = "unknown missing value management";
  else if (spatial && p.order > 2)
    p.fault = "spatial differencing of an order above 2";
  else if (spatial && p.order > 0 && (p.spat_bytes < 1 || p.spat_bytes > 4))
    p.fault = "spatial differencing descriptors of other than 1 to 4 octets";
}

void jpeg2000(const Octets &o, Edition2Packing &p) {
  MESS_print(kGribTrace, "JPEG2000 data compression\n");
  if (common_part(o, p) && p.num_bits > 32) p.fault = "more than 32 bits per value";
}

void ccsds(const Octets &o, Edition2Packing &p) {
  MESS_print(kGribTrace, "CCSDS data compression\n");
  if (!o.has(25)) {
    p.fault = "the data representation section is too short for its template";
    return;
  }
  common_part(o, p);
  p.ccsds_flags = o.u(22, 1);
  p.block_size = o.u(23, 1);
  p.rsi = o.u(24, 2);
  if (p.num_bits > 32) p.fault = "more than 32 bits per value";
}

void run_length(const Octets &o, Edition2Packing &p) {
  if (!o.has(17)) {
    p.fault = "the data representation section is too short for its template";
    return;
  }
  p.num_bits = o.u(12, 1);
  MESS_print(kGribTrace, "Bits: %d\n", p.num_bits);
  const int s = o.u(17, 1);
  p.dscale = std::pow(10.0, -s);
  MESS_print(kGribTrace, "Scale: %d %f\n", s, p.dscale);
  p.max_val = o.u(13, 2);
  const int num_map = o.u(15, 2);
  if (p.num_bits < 1 || p.num_bits > 32) {
    p.fault = "run-length numbers of other than 1 to 32 bits";
    return;
  }
  if (!o.has(17 + 2 * static_cast<int64_t>(num_map))) {
    p.fault = "the data representation section is too short for its level values";
    return;
  }
  p.map.resize(static_cast<size_t>(num_map));
  for (int i = 0; i < num_map; ++i) {
    p.map[static_cast<size_t>(i)] = static_cast<float>(o.u(18 + 2 * i, 2) * p.dscale);
    MESS_print(kGribTrace, "  Level: %f\n", p.map[static_cast<size_t>(i)]);
  }
}

void decode(const Octets &o, Edition2Packing &p) {
  switch (p.drs_temp) {
    case 0: simple(o, p); break;
    case 2: complex(o, p, false); break;
    case 3: complex(o, p, true); break;
    case 40:
    case 40000: jpeg2000(o, p); break;
    case 42: ccsds(o, p); break;
    case 200: run_length(o, p); break;
    default: break;  // the data section reports the template
  }
}

}  // namespace

int GRIB_DRS(int handle, GridRecord * /*rec*/) {
  FILE *fp = grib_stream(handle);
  if (!fp) return 0;
  GribDecoder &d = grib_decoder();
  Edition2Packing &p = d.pack;
  reset(p);
  p.drs_temp = -1;
  if (d.slen < 11 || d.slen - 5 > grib_room(fp) - 4) {  // the end marker follows the section
    grib_damaged("the data representation section does not fit in the product");
    p.fault = "the data representation section could not be read";
    const int64_t here = ftello(fp);
    if (d.prod_end >= 4 && here >= 0 && d.prod_end - 4 >= here) fseeko(fp, d.prod_end - 4, SEEK_SET);
    return 0;
  }
  std::vector<unsigned char> bytes(static_cast<size_t>(d.slen));
  for (int k = 0; k < 5; ++k) bytes[static_cast<size_t>(k)] = d.data[k];
  if (fread(bytes.data() + 5, 1, bytes.size() - 5, fp) < bytes.size() - 5) {
    p.fault = "the data representation section could not be read";
    return 0;
  }
  const Octets o(bytes);
  p.data_pnts = o.u(6, 4);
  p.drs_temp = static_cast<int32_t>(o.u(10, 2));
  decode(o, p);
  return 1;
}
