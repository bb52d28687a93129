// Pieces of the grid file parser shared by the files of the driver.
#ifndef KVZ_DRIVER_INTERNAL_H
#define KVZ_DRIVER_INTERNAL_H

#include <cstdio>
#include <string>

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

// The output grid file of a conversion.
struct OutputFile {
  int handle = -1;           // -1: nothing is converted
  int code = 0;              // output code: 2, 3, 11 or 21
  int count = 0;             // grids written so far
  std::string path;          // the file's full name, to remove it when incomplete
  bool units_warned = false; // units asked for a raw copy: said once
  int64_t copied_msg = -1;   // raw copy: the product copied last (a message of several fields once)
};

struct GridSpec;

// Creates the output file named by "out_file" and the grid file's date.
void output_start(const DateRec &date, const GridFileInfo &info, OutputFile &out);
// Converts one listed grid into the output file.
void output_grid(int handle, int number, GridRecord &grid, const GridSpec &wanted, OutputFile &out);
// Closes the output file; one whose writing failed is removed.
void output_finish(OutputFile &out);

#endif
