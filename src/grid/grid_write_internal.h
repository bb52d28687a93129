// The writers of each output grid file kind, called by GRD_putinfo and
// GRD_write.  Only the grid writing files include this header.
#ifndef KVZ_GRID_WRITE_INTERNAL_H
#define KVZ_GRID_WRITE_INTERNAL_H

#include <cstdio>

#include "grid/grid.h"

// What a writer did with one grid (or with the start of a file).
enum GridWriteResult : int {
  GRID_WRITTEN = 0,
  GRID_SKIPPED = 1,   // not writable to this kind of file; nothing written
  GRID_REFUSED = -1,  // record or file unusable; nothing written
  GRID_FAILED = -2,   // the stream reported an error; the file is incomplete
};

// Text grid files (types 2 and 3).
GridWriteResult grid_putinfo_text(FILE *fp);
GridWriteResult grid_write_text(FILE *fp, int type, GridRecord *grid);

// Raw GRIB copies (type 21): the record's raw bytes as they are.
GridWriteResult grid_write_raw(FILE *fp, const GridRecord *grid);

// netCDF grid files (type 11): the file header, and grid `record` of the file.
GridWriteResult grid_putinfo_netcdf(int handle, const GridFileInfo *info);
GridWriteResult grid_write_netcdf(int handle, const GridRecord *grid, int record);

// Bookkeeping of the output files, one entry per handle: a fresh entry when a
// file starts (GRD_putinfo), the failed mark set by the first failed write,
// which is reported once with the file's name.
void grid_out_begin(int handle);
bool grid_out_failed(int handle);
void grid_out_report(int handle, const char *who);

// Writes what the stream still buffers; GRID_FAILED when it or an earlier
// write to it reported an error.
GridWriteResult grid_flush(FILE *fp);

#endif
