// The grid record's own operations, the table of open grid files, and opening
// and closing grid files (streams or netCDF datasets) after detecting their kind.
#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "grib/grib.h"
#include "grid/grid_netcdf.h"
#include "grid/grid_state.h"

namespace {

constexpr size_t kProbeSize = 200;
constexpr size_t kStreamBuffer = size_t{1} << 16;  // bytes buffered for a grid file stream

bool is_std_stream(const FILE *fp) { return fp == stdin || fp == stdout; }

bool is_stream_type(int type) {
  return (type >= GRD_TEXT && type <= GRD_KVZGRID4) || type == GRD_GRIB || type == GRD_BULLETIN;
}

int detect_type(const unsigned char *p) {
  if (p[0] == ' ' || (p[0] >= '0' && p[0] <= '9')) return GRD_TEXT;
  if (memcmp(p, "KVZGRID4", 8) == 0) return GRD_KVZGRID4;
  if (memcmp(p, "KVZGRID", 7) == 0) return GRD_KVZGRID;
  if (memcmp(p, "CDF", 3) == 0) return GRD_NETCDF;
  if (memcmp(p, "GRIB", 4) == 0 || p[0] == '*' || p[0] == 0x01) return GRD_GRIB;
  if (memcmp(p, "GRID", 4) == 0) return GRD_BULLETIN;
  for (size_t i = 0; i + 4 <= kProbeSize; ++i)
    if (memcmp(p + i, "GRIB", 4) == 0) return GRD_GRIB;
  return -1;
}

// Opens or creates a netCDF dataset (classic format); -1 when that fails.
// Failures come back as results, so a damaged file never ends the run inside
// the library.  A dataset being written is closed at process exit if it is
// still open then, so that it is complete whatever ends the run.
int open_dataset(const char *path, int mode) {
  int id = -1;
  if (mode == 0 && !grid_nc_header_sane(path)) return -1;
  // Output goes to the file in large blocks: the library's default (the file
  // system's block size) makes a system call for every few kilobytes of values.
  size_t block = size_t{1} << 20;
  const int status = mode == 0 ? nc_open(path, NC_NOWRITE, &id) : nc__create(path, NC_CLOBBER, 0, &block, &id);
  if (status != NC_NOERR) return -1;
  if (mode == 1) grid_netcdf_close_at_exit();
  return id;
}

}  // namespace

GridState &grid_state() {
  static GridState state;
  return state;
}

GridFile *grid_file(int handle) {
  if (handle < 0 || handle >= GRD_MAX_FILES) return nullptr;
  return grid_state().gfile[handle].get();
}

int GRD_init(GridRecord *grid) {
  grid->type = 0;
  grid->source = 0;
  grid->model = 0;
  grid->ltype = -9999;
  grid->level = -9999;
  grid->time = -9999;
  grid->var = -9999;
  grid->datim[0] = '\0';
  grid->info[0] = '\0';
  grid->values.clear();
  grid->raw.clear();
  return 0;
}

GridFile *GRD_get_gfile(int handle) { return grid_file(handle); }

int GRD_chktype(const char *path) {
  FILE *fp = FILE_open(path, "r");
  if (!fp) return -1;
  unsigned char probe[kProbeSize] = {};
  const size_t got = fread(probe, 1, sizeof probe, fp);
  (void)got;  // a shorter file leaves the rest of the probe zero
  FILE_close(fp);
  return detect_type(probe);
}

int GRD_open(const char *path, int mode, int *type) {
  auto &slots = grid_state().gfile;
  int handle = 0;
  while (handle < GRD_MAX_FILES && slots[handle]) ++handle;
  if (handle == GRD_MAX_FILES || (mode != 0 && mode != 1)) return -1;
  auto file = std::make_unique<GridFile>();
  if (FILE_is_stdio(path)) {
    if (*type != GRD_KVZGRID && *type != GRD_KVZGRID_BIN && *type != GRD_GRIB) *type = GRD_KVZGRID;
  } else if (*type == GRD_DETECT) {
    if (mode == 1) return -1;
    *type = GRD_chktype(path);
    if (*type == -1) return -1;
  }
  if (is_stream_type(*type)) {
    file->fp = FILE_open(path, mode == 0 ? "r" : "w");
    if (!file->fp) return -1;
    // Grid files are read and written in long runs: a larger buffer than the
    // C library's page-sized one saves most of the system calls.
    if (!is_std_stream(file->fp)) setvbuf(file->fp, nullptr, _IOFBF, kStreamBuffer);
    file->ncid = 1;
  } else if (*type == GRD_NETCDF) {
    const int id = open_dataset(path, mode);
    if (id == -1) return -1;
    file->ncid = id;
  } else {
    return -1;
  }
  file->type = *type;
  file->path = path;
  slots[handle] = std::move(file);
  // A new file starts outside any multi-field message of the file read before.
  grid_state().cont = grid_state().pcont = 0;
  return handle;
}

int GRD_close(int handle) {
  if (handle < 0 || handle >= GRD_MAX_FILES) return -1;
  auto &slot = grid_state().gfile[handle];
  if (!slot) return 0;
  GRIB_set_context(nullptr, 0);  // damage reports must not name a closed file
  if (is_stream_type(slot->type)) {
    if (slot->fp && !is_std_stream(slot->fp)) FILE_close(slot->fp);
  } else if (slot->type == GRD_NETCDF) {
    // A dataset that could not be completed is reported as a failed close.
    if (!grid_netcdf_close(handle)) {
      slot.reset();
      return -1;
    }
  } else {
    return -1;
  }
  // The header file was opened for this grid file alone; it goes with it.
  if (slot->hdr_fp) FILE_close(slot->hdr_fp);
  slot.reset();
  return 0;
}
