// Reading grids from open grid files.  No format reader is in place yet: file
// information is the empty record, and reading a grid reports that none can be read.
#include "grid/grid_state.h"

int GRD_getinfo(int handle, GridFileInfo *info) {
  info->label[0] = '\0';
  info->nx = 0;
  info->ny = 0;
  info->grid_type = 0;
  DATE_init(&info->date);
  if (GridFile *f = grid_file(handle)) f->base_date = info->date;
  return 0;
}

int GRD_read(int handle, GridRecord * /*grid*/, int /*mode*/, int * /*grid_number*/) {
  return grid_file(handle) ? 1 : -1;
}
