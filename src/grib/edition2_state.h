// Decoder state of the GRIB edition 2 sections that describe a field: what the
// identification, grid definition, product definition and bit-map sections
// leave for the fields that follow in the same message.  Part of GribDecoder.
//
// The data section unpacker finds here, and in the GribDecoder fields named
// below, everything it needs about the grid and the bit map:
//   - `dv`: the grid in force (nx, ny); the record's `domain` is a copy;
//   - GribDecoder `ydir`, `xalt`, `thin` and `thin_ptr` (quasi-regular row
//     lengths, one per row in data order), set by the grid definition;
//   - GribDecoder `bmb` (the bit map in force, empty when none) and `bmoff`;
//   - `values_unplaceable()`: the field must get no values at all.
#ifndef KVZ_GRIB_EDITION2_STATE_H
#define KVZ_GRIB_EDITION2_STATE_H

#include <cstdint>
#include <cstdio>
#include <vector>

#include "date/date.h"
#include "domain/domain.h"

struct Edition2Sections {
  // ---- identification section ----
  int32_t source = 0;  // originating centre
  DateRec date = {DATE_MISSING, DATE_MISSING, DATE_MISSING, DATE_MISSING,
                  DATE_MISSING, DATE_MISSING, DATE_MISSING, DATE_MISSING};  // reference time

  // ---- grid definition section ----
  // The grid in force; no projection (as DOM_init leaves it) until a
  // supported grid has been read.
  Domain dv = {DOM_PROJ_NONE, -9999.0f, -9999.0f, -9999.0f, -9999.0f, -9999.0f, -9999.0f, -9999.0f,
               -9999.0f,      -9999.0f, -9999.0f, -9999.0f, -9999,    -9999,    0};
  int32_t grid_template = -1;  // template number of the grid in force; -1 before any
  int32_t grid_code = 0;       // the record's `type`, built from the grid definition
  // The grid in force cannot be placed (its template is not supported): the
  // fields on it get an empty domain and no values.
  bool grid_unsupported = false;

  // ---- bit-map section ----
  // The current field's bit map cannot be had (a predefined bit map, a reuse
  // with none in force, or a map shorter than the grid): no values.
  bool bitmap_unavailable = false;

  // ---- templates reported as unsupported in the current file ----
  // Section number × 100000 + template number, each warned about once per file.
  std::vector<int32_t> warned_templates;

  // The current field must get no values: placing them would be guesswork.
  bool values_unplaceable() const { return grid_unsupported || bitmap_unavailable; }
};

#endif
