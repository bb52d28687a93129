// CCSDS packing of GRIB edition 2 grid-point data (template 5.42 / 7.42): the
// packed integers are compressed with the CCSDS adaptive entropy coder and
// decoded here with libaec into big-endian samples of 1, 2 or 4 bytes.
#include <libaec.h>

#include <vector>

#include "grib/unpack_internal.h"

namespace {

int sample_bytes(int nbits) {
  if (nbits <= 8) return 1;
  if (nbits <= 16) return 2;
  return 4;  // 17 to 24 bits too: the 3-byte form is turned off below
}

// The coder options libaec decodes safely: it does not check them itself
// when decoding, and a block size or interval of 0 overruns its buffers.
bool options_valid(const Edition2Packing &p) {
  const int b = p.block_size;
  return (b == 8 || b == 16 || b == 32 || b == 64) && p.rsi >= 1 && p.rsi <= 4096;
}

uint32_t sample_at(const unsigned char *p, int nbytes) {
  uint32_t v = 0;
  for (int i = 0; i < nbytes; ++i) v = (v << 8) | p[i];
  return v;
}

}  // namespace

const char *unpack_ccsds(const DataSection &s, Edition2Packing &pack, const GridShape &shape) {
  const int64_t n = pack.data_pnts;
  if (n > shape.points) return "more packed values than grid points";
  if (pack.num_bits == 0) {
    unpack_constant(pack, n);
    return nullptr;
  }
  if (!options_valid(pack)) return "the CCSDS block size or reference sample interval is not valid";
  const int nbytes = sample_bytes(pack.num_bits);
  std::vector<unsigned char> samples(static_cast<size_t>(n * nbytes));
  aec_stream strm{};
  strm.next_in = s.bytes;
  strm.avail_in = static_cast<size_t>(s.size);
  strm.next_out = samples.data();
  strm.avail_out = samples.size();
  strm.bits_per_sample = static_cast<unsigned>(pack.num_bits);
  strm.block_size = static_cast<unsigned>(pack.block_size);
  strm.rsi = static_cast<unsigned>(pack.rsi);
  // Only the layout of the decoded samples is changed: whole bytes, big-endian.
  strm.flags = (static_cast<unsigned>(pack.ccsds_flags) & ~static_cast<unsigned>(AEC_DATA_3BYTE)) | AEC_DATA_MSB;
  if (aec_buffer_decode(&strm) != AEC_OK) return "the CCSDS data could not be decoded";
  if (strm.total_out < samples.size()) return "the CCSDS data hold fewer values than declared";
  pack.packed.resize(static_cast<size_t>(n));
  float *out = pack.packed.data();
  const double ref = pack.ref * pack.dscale;
  const double scale = pack.sfac * pack.dscale;
  const unsigned char *in = samples.data();
  for (int64_t i = 0; i < n; ++i, in += nbytes) out[i] = static_cast<float>(ref + sample_at(in, nbytes) * scale);
  return nullptr;
}
