// One GRIB edition 2 section held in memory, and the checks made before any of
// its octets is used: the section is read whole, with one fread, only once its
// declared length has been found to fit the product.  Octet k of the section
// is then at index k.  Also the once-per-file warning about templates that
// are not decoded.  Private to the edition 2 section decoders.
#ifndef KVZ_GRIB_EDITION2_SECTION_H
#define KVZ_GRIB_EDITION2_SECTION_H

#include <cstdint>
#include <cstdio>
#include <vector>

struct Ed2Section {
  std::vector<unsigned char> octets;  // octets[k] is octet k of the section, k = 1 to len
  int64_t len = 0;                    // declared section length

  // Whether octets k to k + n - 1 are all inside the section.
  bool has(int64_t k, int64_t n) const { return k >= 1 && n >= 0 && k + n - 1 <= len; }
  // Unsigned big-endian group of n octets (n at most 8) from octet k; 0 when
  // the group is not inside the section.
  uint64_t u(int64_t k, int n) const;
  int u8(int64_t k) const { return static_cast<int>(u(k, 1)); }
  // Sign-and-magnitude group of n octets (n at most 4) from octet k; 0 outside.
  int32_t sm(int64_t k, int n) const;
  // The first n octets from k are all 0xFF (a value sent as missing).
  bool all_ones(int64_t k, int n) const;
};

// Reads the section whose header the section walker has just read.  False
// when the section is shorter than `least` octets or claims more bytes than
// the product holds: the product is then reported damaged (naming the
// section) and the stream is left at the product's end marker, never past it.
bool ed2_read_section(FILE *fp, int64_t least, const char *name, Ed2Section &s);

// A number clamped to the range of int, for the traces that print ints.
inline int ed2_trace_int(int64_t v) {
  return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int>(v);
}

// Reports a section whose octets do not hold what its template needs.
void ed2_section_too_short(const char *name);

// True the first time a template of the given section is met in this file.
bool ed2_first_unsupported(FILE *fp, int section, int number);

#endif
