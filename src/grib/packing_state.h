// Decoder state of GRIB edition 2 data representation: the template and its
// parameters as the data representation section gave them, read by the
// unpackers of the data section, and the buffers the unpackers reuse from one
// field to the next.  Part of GribDecoder.
#ifndef KVZ_GRIB_PACKING_STATE_H
#define KVZ_GRIB_PACKING_STATE_H

#include <cstdint>
#include <cstdio>
#include <vector>

struct Edition2Packing {
  // ---- every template ----
  int64_t data_pnts = 0;  // number of values packed in the data section
  int32_t drs_temp = -1;  // data representation template; -1 before the first section 5
  const char *fault = nullptr;  // why the parameters cannot be used; nullptr when they can

  // ---- simple, complex, JPEG 2000 and CCSDS packing: value = (R + X * 2^E) * 10^-D ----
  float ref = 0.0f;        // R
  double sfac = 1.0;       // 2^E
  double dscale = 1.0;     // 10^-D
  int32_t num_bits = 0;    // bits per value (per group reference for complex packing)
  int32_t data_type = 0;   // type of the original values (0 floating point, 1 integer)

  // ---- complex packing (5.2) and spatial differencing (5.3) ----
  int32_t split_method = 0;
  int32_t miss_type = 0;   // 0 none, 1 primary missing values, 2 primary and secondary
  float miss1 = 0.0f;
  float miss2 = 0.0f;
  int64_t num_group = 0;
  int32_t ref_gwidth = 0;
  int32_t num_bits_gwidth = 0;
  int64_t ref_glen = 0;
  int32_t inc_glen = 0;
  int64_t last_glen = 0;
  int32_t num_bits_glen = 0;
  int32_t order = -1;       // order of spatial differencing (1 or 2); -1 without
  int32_t spat_bytes = -1;  // octets of each extra descriptor; -1 without

  // ---- CCSDS (5.42) ----
  int32_t ccsds_flags = 0;
  int32_t block_size = 0;
  int32_t rsi = 0;          // reference sample interval

  // ---- run-length packing with level values (5.200) ----
  int32_t max_val = 0;      // V, the highest level number used
  std::vector<float> map;   // representative value of level 1, 2, ... (map[k - 1] is level k)

  // ---- buffers reused between fields ----
  std::vector<unsigned char> section;  // the data section body, padded for word reads
  std::vector<float> packed;           // the unpacked values in data order, -9999.0 for missing
  std::vector<int64_t> ints;           // complex packing: the integers before scaling
};

#endif
