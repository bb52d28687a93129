// Simple packing of GRIB edition 2 grid-point data (template 5.0 / 7.0): the
// packed values follow one another at a fixed number of bits; each is
// scaled as (R + X * 2^E) * 10^-D.
#include "grib/unpack_internal.h"

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
  uint64_t pos = 0;
  for (int64_t i = 0; i < n; ++i, pos += static_cast<uint64_t>(nbits))
    out[i] = static_cast<float>(ref + grib_bits_at(s, pos, nbits) * scale);
  return nullptr;
}
