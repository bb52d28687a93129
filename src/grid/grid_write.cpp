// Writing grids: GRD_putinfo starts an output grid file and GRD_write appends
// one grid to it; each file kind has its own writer.  A failed write is
// reported once with the file's name and ends the writing to that file.
#include "grid/grid_state.h"
#include "grid/grid_write_internal.h"

namespace {

// The result handed to the caller; a failed write is reported here.
int finish(int handle, GridWriteResult result, const char *who) {
  if (result == GRID_FAILED) {
    grid_out_report(handle, who);
    return -1;
  }
  return result;
}

}  // namespace

int GRD_putinfo(int handle, const GridFileInfo *info) {
  const GridFile *f = grid_file(handle);
  if (!f) return -1;
  grid_out_begin(handle);
  switch (f->type) {
    case GRD_TEXT: case GRD_GRIB: case GRD_BULLETIN:
      return 0;
    case GRD_KVZGRID: case GRD_KVZGRID_BIN:
      return finish(handle, grid_putinfo_text(f->fp), "GRD_putinfo");
    case GRD_NETCDF:
      if (!info) return -1;
      return finish(handle, grid_putinfo_netcdf(handle, info), "GRD_putinfo");
    default:
      return -1;
  }
}

int GRD_write(int handle, GridRecord *grid, int /*unused*/, int *count) {
  const GridFile *f = grid_file(handle);
  if (!f || !grid || grid_out_failed(handle)) return -1;
  switch (f->type) {
    case GRD_KVZGRID: case GRD_KVZGRID_BIN:
      return finish(handle, grid_write_text(f->fp, f->type, grid), "GRD_write");
    case GRD_GRIB:
      return finish(handle, grid_write_raw(f->fp, grid), "GRD_write");
    case GRD_NETCDF:
      return finish(handle, grid_write_netcdf(handle, grid, count ? *count : 0), "GRD_write");
    default:
      return -1;
  }
}
