// Conversion of the listed grids into an output grid file: choosing and
// creating the file, writing each grid (values, or the raw GRIB product), and
// closing it so that a file left behind is always complete.
#include <cstdio>
#include <cstring>

#include "config/config.h"
#include "driver/driver_internal.h"
#include "files/files.h"
#include "grib/grib.h"
#include "naming/naming.h"

namespace {

constexpr uint32_t kWarn = 0xC0;

}  // namespace

void output_start(const DateRec &date, const GridFileInfo &info, OutputFile &out) {
  if (!RES_get("out_file")) return;
  out.code = GRD_out_file(0);
  std::string name;
  FILE_set_date(&date, &name);
  out.handle = GRD_open_out_file(name.c_str(), out.code);
  if (out.handle == -1) return;
  out.path = GRD_out_path(name.c_str());
  GRD_set_out_name(out.handle, out.path.c_str());
  GRD_putinfo(out.handle, &info);
  out.count = 0;
}

void output_grid(int handle, int number, GridRecord &grid, const GridSpec &wanted, OutputFile &out) {
  if (out.handle == -1) return;
  if (out.code == 21) {
    // The fields of one edition 2 message share their product: it is copied once.
    if (GRD_get_msg_pos(handle) == out.copied_msg) return;
    int64_t len = 0;
    if (GRIB_get_raw(handle, &grid.raw, &len) < 0) return;
    out.copied_msg = GRD_get_msg_pos(handle);
    if (wanted.units[0] && !out.units_warned) {
      MESS_print(kWarn, "Units %s do not apply to a raw GRIB copy; products are copied unchanged\n", wanted.units);
      out.units_warned = true;
    }
  } else {
    if (GRD_read(handle, &grid, 0, &number) != 0) return;
    if (wanted.units[0]) GRD_units(&grid, wanted.units);
  }
  if (GRD_write(out.handle, &grid, 0, &out.count) == 0) ++out.count;
}

void output_finish(OutputFile &out) {
  if (out.handle == -1) return;
  bool failed = GRD_write_failed(out.handle) != 0;
  // Closing completes a netCDF file; a close that fails leaves it incomplete.
  if (GRD_close(out.handle) != 0) failed = true;
  out.handle = -1;
  if (failed && !out.path.empty() && remove(out.path.c_str()) == 0)
    MESS_print(kWarn, "Removed the incomplete grid file: %s\n", out.path.c_str());
}
