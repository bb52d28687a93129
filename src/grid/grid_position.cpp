// Positioning services on open grid files: the offset of the grid read last, a
// jump to a known offset, rewinding, a peek at the raw bytes of the current
// grid, and the header (index) file that lets a GRIB file be read without searching.
#include <sys/types.h>

#include "files/files.h"
#include "grid/grid_state.h"

namespace {

bool is_std_stream(const FILE *fp) { return fp == stdin || fp == stdout; }

}  // namespace

int GRD_use_hdr_file(int flag) {
  grid_state().use_hdrfile = flag;
  return 0;
}

int GRD_hdr_open(int handle, const char *name) {
  GridFile *f = grid_file(handle);
  if (!f || !grid_state().use_hdrfile || f->type != GRD_GRIB || !name || !*name) return -1;
  if (FILE_is_dir(name)) return -1;  // a directory opens for reading but holds no lines
  FILE *hdr = FILE_open(name, "r");
  if (!hdr) return -1;
  if (f->hdr_fp) FILE_close(f->hdr_fp);
  f->hdr_fp = hdr;
  f->hdr_current = false;
  return 0;
}

int64_t GRD_get_pos(int /*handle*/) { return grid_state().cur_pos; }

int64_t GRD_get_msg_pos(int handle) {
  GridState &s = grid_state();
  GridFile *f = grid_file(handle);
  if (s.msg_pos == kMsgPosUnknown && f && f->fp && f->hdr_fp) {
    // Listed from a header file line: the product is looked for in the GRIB file now.
    const int64_t here = static_cast<int64_t>(ftello(f->fp));
    s.msg_pos = grid_hdr_msg_pos(handle, f, f->hdr_offsets, s.msg_grid);
    if (here >= 0) fseeko(f->fp, static_cast<off_t>(here), SEEK_SET);
  }
  return s.msg_pos;
}

int GRD_setpos(int handle, int64_t offset, int grid_number) {
  GridFile *f = grid_file(handle);
  if (!f || f->type != GRD_GRIB || !f->fp) return 1;
  fseeko(f->fp, static_cast<off_t>(offset), SEEK_SET);
  grid_state().new_pos = offset;
  grid_state().read_current = false;
  f->cur_grid = grid_number;
  return 1;
}

int GRD_setpos_recorded(int handle, const std::vector<int64_t> &recent, int grid_number) {
  GridFile *f = grid_file(handle);
  if (!f || f->type != GRD_GRIB || !f->fp || recent.empty() || grid_number < 0) return 1;
  const int64_t last = recent.back();
  GRD_setpos(handle, last, grid_number);
  if (is_std_stream(f->fp)) return 1;
  GridState &s = grid_state();
  const int64_t msg = grid_hdr_msg_pos(handle, f, recent, static_cast<int>(recent.size()) - 1);
  if (msg != last && grid_reach_field(handle, f, s, msg, last)) {
    s.pcont = 1;  // read again as the later field it is
    s.msg_pos = msg;
  } else {
    fseeko(f->fp, static_cast<off_t>(last), SEEK_SET);
    s.msg_pos = last;
  }
  s.cur_pos = last;
  return 1;
}

int GRD_rewind(int handle) {
  if (handle < 0 || handle >= GRD_MAX_FILES) return -1;
  GridFile *f = grid_file(handle);
  if (!f) return 0;
  if (f->type == GRD_NETCDF) {
    f->cur_var = -1;
    f->cur_grid = 0;
    return 0;
  }
  if (!f->fp || is_std_stream(f->fp)) return 0;
  rewind(f->fp);
  if (f->hdr_fp) {
    rewind(f->hdr_fp);
    f->hdr_current = false;
  }
  if (f->type == GRD_KVZGRID || f->type == GRD_KVZGRID_BIN) {
    if (fscanf(f->fp, "%*[^\n]\n") == EOF) clearerr(f->fp);
  }
  f->cur_grid = 0;
  // The next read of grid 0 starts here, not where the grid read last was.
  GridState &s = grid_state();
  s.cur_pos = static_cast<int64_t>(ftello(f->fp));
  s.new_pos = -1;
  s.cont = s.pcont = 0;
  s.read_current = false;
  return 0;
}

int GRD_get_header(int handle, unsigned char *buffer) {
  GridFile *f = grid_file(handle);
  if (!f || !f->fp) return 0;
  const off_t at = static_cast<off_t>(grid_state().cur_pos);
  if (fseeko(f->fp, at, SEEK_SET) == 0) {
    const size_t got = fread(buffer, 1, 160, f->fp);
    (void)got;  // fewer bytes at the end of the file leave the rest as it was
    clearerr(f->fp);
    fseeko(f->fp, at, SEEK_SET);
  }
  return 0;
}
