// Module state shared by the grid file operations: the table of open files and
// the positions of the grid read last.  Only files of the grid subsystem include it.
#ifndef KVZ_GRID_STATE_H
#define KVZ_GRID_STATE_H

#include <array>
#include <cstdint>
#include <memory>

#include "grid/grid.h"

struct GridState {
  std::array<std::unique_ptr<GridFile>, GRD_MAX_FILES> gfile;
  int64_t cur_pos = 0;   // offset from which the grid last read came
  int64_t new_pos = -1;  // offset at which the next grid starts; -1 when unknown
  int64_t msg_pos = 0;   // where the search for the product holding that grid began;
                         // kMsgPosUnknown until asked for after a header-file listing
  int msg_grid = 0;      // the grid kMsgPosUnknown stands for
  int64_t field_after = -1;  // next field of the edition 2 message decoded last; -1 when none
  int64_t field_msg = -1;    // msg_pos of that message
  int field_handle = -1;     // the file it belongs to
  int use_hdrfile = 1;   // 1: a GRIB file may be read through its header file
  char format[16] = "";  // value format of text grid files; empty: "%14.8e"

  // Reading state carried from one GRD_read to the next.
  int cont = 0;      // 1 while the edition 2 message just read has further fields
  int pcont = 0;     // cont before the last read: a multi-field message has just ended
  bool read_current = false;  // cont and new_pos describe grid cur_grid: it has been read or passed
  int wind_dec = 0;  // pairing state of the GRID bulletin wind decoder
  int bpval = 0;     // digits per value of the GRID bulletin being read
  char hdr_text[129] = "";  // the header file line of the grid read last, after its offset
};

constexpr int64_t kMsgPosUnknown = -2;

GridState &grid_state();

// The open file behind a handle, or nullptr for a handle out of range or an empty slot.
GridFile *grid_file(int handle);

// The readers of each file kind, called by GRD_read and GRD_getinfo.
int grid_read_text(int handle, GridRecord *grid, int mode, int *grid_number);
int grid_info_text(int handle, GridFileInfo *info);
int grid_read_grib(int handle, GridRecord *grid, int mode, int *grid_number);
int grid_info_grib(int handle, GridFileInfo *info);

// GRIB reading, shared by the reader and its header-file helpers.
// The next GRIB product from the current position, passing over the other
// products of a feed; negative at the end.
int grid_next_grib_product(int handle, GridFile *f);
// Reads the sections of one edition 2 field, decoding only what later fields
// reuse, up to the section header after its data: 1, 0 when the sections end
// before any data, -1 when the product is damaged.
int grid_pass_field_sections(int handle, GridRecord *scratch);
// The continuation rule after a field's data (sets cont and new_pos).
void grid_continuation(FILE *fp, GridState &s);

// Reads the header file line of grid `grid`: its offset into cur_pos, the rest
// into hdr_text; false when there is none.
bool grid_hdr_line(GridFile *f, GridState &s, int grid);
// Where the search for the product holding grid n of a header file begins,
// given the offsets of its lines up to n: the line's own offset, or, when the
// line points into an edition 2 message (a later field's repeated sections),
// the offset of the message's first field.
int64_t grid_hdr_msg_pos(int handle, GridFile *f, const std::vector<int64_t> &seen, int n);
// Decodes the message searched for from msg up to its field starting at `at`
// and leaves the stream there with cont 1; false when no field starts there.
bool grid_reach_field(int handle, GridFile *f, GridState &s, int64_t msg, int64_t at);

// Decodes the key numbers after the "/" of a header (index) file line into the
// record; returns false when the line holds none.
bool grid_header_keys(const char *line, GridRecord *grid);

#endif
