// Decoder state of the GRIB edition 2 sections that describe a field: what the
// identification, grid definition, product definition and bit-map sections
// leave for the fields that follow in the same message.  Part of GribDecoder.
#ifndef KVZ_GRIB_EDITION2_STATE_H
#define KVZ_GRIB_EDITION2_STATE_H

#include <cstdint>
#include <vector>

struct Edition2Sections {
  // Filled by the section decoders; kept while a message repeats only later sections.
};

#endif
