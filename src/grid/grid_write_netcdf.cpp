// netCDF grid output: the place where the package's netCDF grid layout is
// written.  Until that layout is built, a netCDF output file is refused with
// one message per run and no grid is written to it.
#include "config/config.h"
#include "grid/grid_write_internal.h"

namespace {

GridWriteResult not_available() {
  static bool told = false;
  if (!told) MESS_print(0xC0, "GRD_putinfo: netCDF grid files cannot be written yet\n");
  told = true;
  return GRID_REFUSED;
}

}  // namespace

GridWriteResult grid_putinfo_netcdf(int /*handle*/, const GridFileInfo * /*info*/) { return not_available(); }

GridWriteResult grid_write_netcdf(int /*handle*/, const GridRecord * /*grid*/, int /*record*/) {
  return GRID_REFUSED;
}
