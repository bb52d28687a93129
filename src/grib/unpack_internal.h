// What the GRIB edition 2 data section unpackers share: the section body held
// in memory, the word-at-a-time bit extraction they run their loops with, and
// one entry per packing template.  Each unpacker turns the section into the
// list of packed values in data order (pack.packed, -9999.0 for a missing
// value); edition2_data.cpp places that list on the grid.
// Only files of the grib subsystem include it.
#ifndef KVZ_GRIB_UNPACK_INTERNAL_H
#define KVZ_GRIB_UNPACK_INTERNAL_H

#include <cstdint>
#include <cstring>

#include "grib/packing_state.h"

constexpr float kMissingValue = -9999.0f;

// Zero bytes kept after a loaded section body, so that a 64-bit word can be
// read at any byte of the body.
constexpr int64_t kSectionPad = 8;

// The body of a data section (octets 6 onwards), followed in memory by
// kSectionPad zero bytes.
struct DataSection {
  const unsigned char *bytes = nullptr;
  int64_t size = 0;  // body bytes, without the padding
  int64_t bits() const { return size * 8; }
};

// Big-endian 64-bit word at p (any alignment).
inline uint64_t grib_load_be64(const unsigned char *p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return __builtin_bswap64(v);
}

// The nbits (1 to 32) bits starting at bit position pos of the section, most
// significant bit first.  The caller has checked pos + nbits against the
// section; the padding makes the word read safe.
inline uint32_t grib_bits_at(const DataSection &s, uint64_t pos, int nbits) {
  const uint64_t word = grib_load_be64(s.bytes + (pos >> 3)) << (pos & 7);
  return static_cast<uint32_t>(word >> (64 - nbits));
}

// Where the unpacked values go: the whole grid in scanning order, or, for a
// JPEG 2000 image of several rows, a rectangle of the grid that the image
// covers row by row (data rows y0 to y0 + h - 1, columns x0 to x0 + w - 1).
struct Placement {
  bool rectangle = false;
  int64_t x0 = 0, y0 = 0, w = 0, h = 0;
};

// The grid the values are placed on, for the unpackers' checks.
struct GridShape {
  int64_t nx = 0, ny = 0;
  int64_t points = 0;  // points carried by the data rows (the row lengths' sum when quasi-regular)
  bool thin = false;
  bool bitmap = false;
};

// Each unpacker fills pack.packed and returns nullptr, or returns the reason
// the section cannot be unpacked (the field then has no values).  None keeps
// more values than shape.points.
const char *unpack_simple(const DataSection &s, Edition2Packing &pack, const GridShape &shape);
const char *unpack_complex(const DataSection &s, Edition2Packing &pack, const GridShape &shape);
// A code stream that cannot be decoded gives kJpegDecodeError itself.
const char *unpack_jpeg2000(const DataSection &s, Edition2Packing &pack, const GridShape &shape,
                            Placement *placement);
extern const char kJpegDecodeError[];
const char *unpack_runlength(const DataSection &s, Edition2Packing &pack, const GridShape &shape);
const char *unpack_ccsds(const DataSection &s, Edition2Packing &pack, const GridShape &shape);

// Fills pack.packed with count copies of R * 10^-D: a field packed with 0 bits per value.
void unpack_constant(Edition2Packing &pack, int64_t count);

#endif
