// Helpers shared by the files of the GRIB decoder: the stream behind a handle,
// big-endian and sign-and-magnitude octet groups, the room left in the current
// product, the damaged-product report and the notes given once per file.
// Only files of the grib subsystem include it.
#ifndef KVZ_GRIB_GRIB_INTERNAL_H
#define KVZ_GRIB_GRIB_INTERNAL_H

#include <cstdint>
#include <cstdio>

// Longest edition 1 product accepted, and longest old-header product.
constexpr int64_t kGribMaxProduct = 2000000;

// Message levels used by the decoder.
constexpr uint32_t kGribWarn = 0xC0;
constexpr uint32_t kGribTrace = 0x40000000;  // decoding traces
constexpr uint32_t kGribDump = 0x80000000;   // section dumps and bit-level traces

// The stream of an open GRIB file, or nullptr.
FILE *grib_stream(int handle);

// Unsigned big-endian number of n octets (n at most 8).
uint64_t grib_uint(const unsigned char *p, int n);

// The full year of an edition 0 or 1 reference date: with a century octet
// (1 to 99) the year is exact; without one, years of century 0 to 49 are
// 2000 to 2049 and 50 to 99 are 1950 to 1999.
int grib_full_year(int year_of_century, int century);
// Sign-and-magnitude number of n octets (top bit = sign, n at most 4).
int32_t grib_sm(const unsigned char *p, int n);

// Bytes of the current product left after the stream position; a large
// number when the product does not state its length.
int64_t grib_room(FILE *fp);

// Reports the current product as damaged, once per product, and marks it so.
void grib_damaged(const char *reason);

// Notes given at most once per file.
enum GribNote : unsigned {
  kNotePredefinedBitmap = 1u,
  kNoteSpectral = 2u,
  kNoteSecondOrder = 4u,
};
// True the first time the note is asked for on this file.
bool grib_note_once(FILE *fp, unsigned note);
// Forgets the notes given (a file is being opened afresh).
void grib_notes_reset(FILE *fp);

// Traces octets as "[%2.2X]" items, a new line after every eighth.
void grib_dump_octets(const unsigned char *octets, int count);

// ---- bad-value check (bad_values.cpp) ----
// Checks one packed value against the one before; sets `bad` when too many
// of the last 20 steps were jumps.  Runs only when max_bad is set.
void grib_bad_check(int64_t value);
// Clears the window of the last 20 steps (start of a product or row).
void grib_bad_window_clear();

#endif
