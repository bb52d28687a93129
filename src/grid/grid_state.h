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
  int64_t msg_pos = 0;   // where the search for the product holding that grid began
  int use_hdrfile = 1;   // 1: a GRIB file may be read through its header file
  char format[16] = "";  // value format of text grid files; empty: "%14.8e"

  // Reading state carried from one GRD_read to the next.
  int cont = 0;      // 1 while the edition 2 message just read has further fields
  int pcont = 0;     // cont before the last read: a multi-field message has just ended
  int wind_dec = 0;  // pairing state of the GRID bulletin wind decoder
  int bpval = 0;     // digits per value of the GRID bulletin being read
  char hdr_text[129] = "";  // the header file line of the grid read last, after its offset
};

GridState &grid_state();

// The open file behind a handle, or nullptr for a handle out of range or an empty slot.
GridFile *grid_file(int handle);

// The readers of each file kind, called by GRD_read and GRD_getinfo.
int grid_read_text(int handle, GridRecord *grid, int mode, int *grid_number);
int grid_info_text(int handle, GridFileInfo *info);
int grid_read_grib(int handle, GridRecord *grid, int mode, int *grid_number);
int grid_info_grib(int handle, GridFileInfo *info);

// Decodes the key numbers after the "/" of a header (index) file line into the
// record; returns false when the line holds none.
bool grid_header_keys(const char *line, GridRecord *grid);

#endif
