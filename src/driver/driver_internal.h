// Pieces of the grid file parser shared by the files of the driver.
#ifndef KVZ_DRIVER_INTERNAL_H
#define KVZ_DRIVER_INTERNAL_H

#include <cstdio>

#include "date/date.h"
#include "grid/grid.h"

// Describes one grid at the levels the user chose: the number, the labels,
// the model/time/level/variable line, the key numbers, the projection and the
// header dump.
void describe_grid(int handle, int number, GridRecord &grid);

// Header-file mode: the index being written, and where listing resumes.
struct HeaderWriter {
  FILE *fp = nullptr;        // the header file, open for writing or appending
  bool no_source = false;    // every line in the form without the source
};

// Opens (or scans and reopens for appending) the header file of the grid file;
// returns the number of the first grid to list.  Ends the run with status 12
// when the file cannot be written.
int header_file_start(int handle, const DateRec &date, GridRecord &grid, HeaderWriter &out);

// Writes the index line of the grid just listed.
void header_file_line(int handle, const GridRecord &grid, HeaderWriter &out);

#endif
