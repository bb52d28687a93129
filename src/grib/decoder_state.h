// The GRIB decoder state: one object for the whole process, holding the
// current product's framing, the fixed parts of the sections read so far, the
// bit reader and bit map, and the values that an edition 2 message does not
// repeat for its next field.  Only files of the grib subsystem include it.
#ifndef KVZ_GRIB_DECODER_STATE_H
#define KVZ_GRIB_DECODER_STATE_H

#include <cstdint>
#include <cstdio>
#include <vector>

#include "grib/edition2_state.h"
#include "grib/packing_state.h"

struct GribDecoder {
  // ---- framing ----
  unsigned char data[1000] = {};  // tag and indicator, last section header, fixed section parts
  unsigned char *data_ptr = data; // octet base of the structure being decoded (data_ptr[k] = octet k)
  int32_t version = -1;           // edition of the current product
  int32_t discipline = -1;        // edition 2 discipline
  int64_t grid_size = 0;          // product length, or the absolute end for the old package header
  char wmo_header[32] = "";       // WMO heading of the current product
  int32_t prev = 0;               // header kind to restore after a kind failed
  int32_t sect = 0;               // last edition 2 section number read; -1 after "7777"
  int64_t slen = 0;               // its length
  int64_t cur_pos = 0;            // product start used by the raw copy

  // ---- the current product as measured by the search ----
  int64_t tag_pos = -1;    // file offset of the product tag
  int64_t prod_len = -1;   // length from the indicator; -1 when the product does not state it
  int64_t prod_end = -1;   // file offset just past the product; -1 when unknown
  bool damaged = false;    // the product was found damaged; its data are not trusted
  int64_t damaged_at = -1; // tag offset of the damaged product reported last (one message each)
  const FILE *size_fp = nullptr;     // the stream file_size was last read for
  int64_t file_size = 0;
  const char *where_file = nullptr;  // the file and grid being read, named in damage reports
  int32_t where_grid = 0;

  // ---- notes given once per file ----
  const FILE *noted_fp = nullptr;  // the file the notes below belong to
  unsigned noted = 0;              // bit set of the notes already given for it

  // ---- bad-value check ----
  int32_t bad_max = -1;
  int32_t bad = -9;
  int64_t bad_limit = 0;
  int32_t bad_test = 0;
  int32_t valid_data[20] = {};
  int64_t prev_val = -1;

  // ---- edition 1 sections ----
  int32_t grid_id = 0;
  float dscale = 1.0f;  // 10^-D
  float sfac = 1.0f;    // 2^E
  float ref = 0.0f;     // reference value R
  int32_t bpval = 0;    // bits per packed value
  uint32_t bit_mask = 0;
  int32_t ydir = 1;     // +1 rows south to north in the data, -1 north to south
  int32_t xalt = 0;
  int32_t pole = 0;
  float lat = 0.0f;
  int32_t thin = 0;
  std::vector<int32_t> thin_ptr;   // quasi-regular row lengths
  std::vector<unsigned char> bmb;  // bit map
  int64_t bmoff = 0;               // next bit-map bit
  bool no_values = false;          // the current product's values cannot be given (set by the bit map)
  unsigned char pds[470] = {};     // the PDS of the current edition 1 product (pds[k] = octet k)
  int32_t pds_len = 0;             // PDS octets held in pds

  // ---- bit reader: packed values come from a section loaded into memory ----
  std::vector<unsigned char> bits;  // the loaded section bytes
  size_t bits_pos = 0;              // next byte of bits to enter the buffer
  uint64_t temp_data = 0;           // buffered bits, left-aligned
  int32_t data_bits = 0;            // number of valid buffered bits
  int64_t data_bytes = 0;           // bytes of the section consumed by values read so far
  bool bits_short = false;          // a value was asked for beyond the loaded bytes

  // ---- ensemble and probability products ----
  int32_t ens = 0;
  int32_t ens_type = 0;
  int32_t ens_id = 0;
  int32_t ens_prod = 0;
  int32_t ens_smooth = 0;
  int32_t ens_prob_var = 0;
  int32_t ens_prob_type = 0;
  float ens_prob_low = 0.0f;
  float ens_prob_up = 0.0f;

  // ---- edition 2 ----
  Edition2Sections ed2;  // identification, grid, product and bit-map sections
  Edition2Packing pack;  // data representation
};

GribDecoder &grib_decoder();

#endif
