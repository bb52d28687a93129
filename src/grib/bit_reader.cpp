// The GRIB bit reader: packed values taken from a section held in memory, a
// 64-bit word at a time, most significant bit first.  The buffer `temp_data`
// keeps its `data_bits` valid bits left-aligned; the bits below them are either
// zero or already the true next bits of the section, so a refill may OR whole
// words over them.
#include "grib/bit_reader.h"

#include <sys/types.h>

#include <algorithm>

#include "grib/decoder_state.h"
#include "grib/grib.h"
#include "grib/grib_internal.h"

namespace {

uint64_t load_be64(const unsigned char *p) {
  uint64_t v = 0;
  for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
  return v;
}

// Tops up the buffer to at least 57 bits where the section allows.
void refill(GribDecoder &d) {
  const size_t size = d.bits.size();
  if (d.bits_pos + 8 <= size) {
    const int take = (64 - d.data_bits) >> 3;
    d.temp_data |= load_be64(d.bits.data() + d.bits_pos) >> d.data_bits;
    d.bits_pos += static_cast<size_t>(take);
    d.data_bits += take * 8;
    return;
  }
  while (d.data_bits <= 56 && d.bits_pos < size) {
    d.temp_data |= static_cast<uint64_t>(d.bits[d.bits_pos++]) << (56 - d.data_bits);
    d.data_bits += 8;
  }
}

}  // namespace

int64_t grib_bits_load(FILE *fp, int64_t count) {
  GribDecoder &d = grib_decoder();
  d.bits.clear();
  d.bits_pos = 0;
  d.temp_data = 0;
  d.data_bits = 0;
  d.data_bytes = 0;
  d.bits_short = false;
  if (!fp || count <= 0) return 0;
  // The section length was checked against the product; the file may still
  // be shorter, so grow the buffer by what is actually there.
  constexpr int64_t kChunk = 1 << 20;
  int64_t total = 0;
  while (total < count) {
    const int64_t want = std::min(kChunk, count - total);
    d.bits.resize(static_cast<size_t>(total + want));
    const size_t got = fread(d.bits.data() + total, 1, static_cast<size_t>(want), fp);
    total += static_cast<int64_t>(got);
    if (got < static_cast<size_t>(want)) break;
  }
  d.bits.resize(static_cast<size_t>(total));
  return total;
}

void grib_bits_clear() {
  GribDecoder &d = grib_decoder();
  d.bits_pos -= static_cast<size_t>(d.data_bits / 8);  // whole bytes fetched ahead go back
  d.temp_data = 0;
  d.data_bits = 0;
}

int64_t grib_bits_get(int nbits) {
  GribDecoder &d = grib_decoder();
  if (nbits <= 0) return 0;
  if (nbits > 32) return -1;
  if (d.data_bits < nbits) {
    refill(d);
    if (d.data_bits < nbits) {
      d.bits_short = true;
      return -1;
    }
  }
  const uint64_t v = d.temp_data >> (64 - nbits);
  d.temp_data <<= nbits;
  d.data_bits -= nbits;
  return static_cast<int64_t>(v);
}

int64_t grib_read_value() {
  const GribDecoder &d = grib_decoder();
  if (d.bpval == 0) return 0;
  const int64_t v = grib_bits_get(d.bpval);
  if (v < 0) return -1;
  grib_bad_check(v);
  return v;
}

int64_t grib_bits_used() {
  const GribDecoder &d = grib_decoder();
  return static_cast<int64_t>(d.bits_pos) - d.data_bits / 8;
}

int GRIB_bit_read(int /*handle*/) {
  GribDecoder &d = grib_decoder();
  const int64_t v = grib_read_value();
  d.data_bytes = grib_bits_used();
  return v > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(v);
}
