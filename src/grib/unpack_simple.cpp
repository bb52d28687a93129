// Simple packing of GRIB edition 2 grid-point data (template 5.0 / 7.0): the
// packed values follow one another at a fixed number of bits; each is
// scaled as (R + X * 2^E) * 10^-D.
#include "grib/unpack_internal.h"

namespace {

// Values of a whole number of octets: each starts on an octet, so the loop
// reads them directly and the compiler can run it on several values at once.
template <int Octets>
void unpack_octets(const unsigned char *bytes, int64_t n, double ref, double scale, float *out) {
  for (int64_t i = 0; i < n; ++i) {
    const unsigned char *p = bytes + i * Octets;
    uint32_t x = 0;
    for (int k = 0; k < Octets; ++k) x = (x << 8) | p[k];
    out[i] = static_cast<float>(ref + x * scale);
  }
}

void unpack_bits(const DataSection &s, int64_t n, int nbits, double ref, double scale, float *out) {
  uint64_t pos = 0;
  for (int64_t i = 0; i < n; ++i, pos += static_cast<uint64_t>(nbits))
    out[i] = static_cast<float>(ref + grib_bits_at(s, pos, nbits) * scale);
}

}  // namespace

void unpack_constant(Edition2Packing &pack, int64_t count) {
  pack.packed.assign(static_cast<size_t>(count), static_cast<float>(pack.ref * pack.dscale));
}

const char *unpack_simple(const DataSection &s, Edition2Packing &pack, const GridShape &shape) {
  const int64_t n = pack.data_pnts;
  if (n > shape.points) return "more packed values than grid points";
  const int nbits = pack.num_bits;
  if (nbits == 0) {
    unpack_constant(pack, n);
    return nullptr;
  }
  if (n * nbits > s.bits()) return "the data section holds fewer values than it declares";
  pack.packed.resize(static_cast<size_t>(n));
  float *out = pack.packed.data();
  const double ref = pack.ref * pack.dscale;
  const double scale = pack.sfac * pack.dscale;
  switch (nbits) {
    case 8: unpack_octets<1>(s.bytes, n, ref, scale, out); break;
    case 16: unpack_octets<2>(s.bytes, n, ref, scale, out); break;
    case 24: unpack_octets<3>(s.bytes, n, ref, scale, out); break;
    default: unpack_bits(s, n, nbits, ref, scale, out); break;
  }
  return nullptr;
}
