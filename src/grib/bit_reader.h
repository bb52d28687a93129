// The bit reader of the GRIB decoder.  A data section is first loaded into
// memory with one read; packed values are then taken from that buffer, most
// significant bit first, across byte boundaries, a 64-bit word at a time.
// Only files of the grib subsystem include it.
#ifndef KVZ_GRIB_BIT_READER_H
#define KVZ_GRIB_BIT_READER_H

#include <cstdint>
#include <cstdio>

// Reads count bytes of the stream as the source of packed values and empties
// the bit buffer.  Returns the number of bytes loaded (fewer at the end of
// the file).  The stream is left after the bytes read.
int64_t grib_bits_load(FILE *fp, int64_t count);

// Empties the bit buffer: the next value starts at the next byte boundary.
void grib_bits_clear();

// The next nbits (0 to 32) as a non-negative number; -1 when the loaded
// bytes do not hold them (nothing is consumed then).
int64_t grib_bits_get(int nbits);

// The next value of `bpval` bits, passed through the bad-value check; -1 when
// the loaded bytes are used up.
int64_t grib_read_value();

// Bytes of the loaded section taken by the values read so far.
int64_t grib_bits_used();

#endif
