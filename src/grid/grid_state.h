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
  int use_hdrfile = 1;   // 1: a GRIB file may be read through its header file
  char format[16] = "";  // value format of text grid files; empty: "%14.8e"
};

GridState &grid_state();

// The open file behind a handle, or nullptr for a handle out of range or an empty slot.
GridFile *grid_file(int handle);

#endif
