// Reading grids: GRD_read and GRD_getinfo hand each file kind to its reader.
#include "grid/bulletin.h"
#include "grid/grid_netcdf.h"
#include "grid/grid_state.h"

int GRD_getinfo(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  if (!f) return -1;
  info->label[0] = '\0';
  info->grid_type = 0;
  DATE_init(&info->date);
  switch (f->type) {
    case GRD_TEXT: case GRD_KVZGRID: case GRD_KVZGRID_BIN: case GRD_KVZGRID4:
      return grid_info_text(handle, info);
    case GRD_GRIB:
      return grid_info_grib(handle, info);
    case GRD_NETCDF:
      return grid_info_netcdf(handle, info);
    case GRD_BULLETIN:
      return grid_info_bulletin(handle, info);
    default:
      return -1;
  }
}

int GRD_read(int handle, GridRecord *grid, int mode, int *grid_number) {
  GridFile *f = grid_file(handle);
  if (!f) return -1;
  switch (f->type) {
    case GRD_TEXT: case GRD_KVZGRID: case GRD_KVZGRID_BIN: case GRD_KVZGRID4:
      return grid_read_text(handle, grid, mode, grid_number);
    case GRD_GRIB:
      return grid_read_grib(handle, grid, mode, grid_number);
    case GRD_NETCDF:
      return grid_read_netcdf(handle, grid, mode, grid_number);
    case GRD_BULLETIN:
      return grid_read_bulletin(handle, grid, mode, grid_number);
    default:
      return -1;
  }
}
