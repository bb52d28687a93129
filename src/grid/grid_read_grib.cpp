// Reading grids from GRIB files: positioning on the grid asked for (through
// the header file when one is open, else by searching the products), and
// decoding its sections.  Every field of an edition 2 message is one grid.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "config/config.h"
#include "files/files.h"
#include "grib/grib.h"
#include "grid/grid_state.h"
#include "naming/naming.h"

namespace {

constexpr uint32_t kTrace = 0x40000000;  // debug c


bool seek(FILE *fp, int64_t at) { return FILE_seek(fp, at) == 0; }

int64_t tell(FILE *fp) { return static_cast<int64_t>(ftello(fp)); }

// Moves to the start of the next grid after the one just read.
int step_to_next(int handle, GridFile *f, GridState &s) {
  if (s.cont == 1) {
    seek(f->fp, s.new_pos);
    s.cur_pos = s.new_pos;
  } else if (s.pcont == 1) {
    seek(f->fp, s.new_pos);
    if (GRIB_search(handle) < 0) return -1;
    seek(f->fp, s.new_pos);
    s.cur_pos = s.new_pos;
  } else {
    if (grid_next_grib_product(handle, f) < 0) return -1;
    s.cur_pos = GRIB_next(handle, 1);
  }
  return 0;
}

// Steps over a product its decoder found damaged (the decoder has said so);
// false when the stream cannot move past it.
bool skip_damaged(int handle, GridFile *f, GridState &s) {
  seek(f->fp, s.msg_pos);  // a later field's message is searched for from where the first field's was
  s.cont = s.pcont = 0;
  if (grid_next_grib_product(handle, f) < 0) return false;
  const int64_t next = GRIB_next(handle, 1);
  return next > s.msg_pos && seek(f->fp, next);
}

// Passes over the grid at the stream position, which has not been read: an
// edition 2 field has its sections read, decoding only what later fields
// reuse, so that the grid after it can be found.  The stream is left at the
// grid's start, as a read leaves it; damaged products are passed over
// uncounted, as reading passes over them.
int pass_current(int handle, GridFile *f, GridState &s) {
  GridRecord scratch{};
  for (;;) {
    s.pcont = s.cont;
    if (s.cont == 0) {
      s.cur_pos = s.msg_pos = tell(f->fp);
      if (grid_next_grib_product(handle, f) < 0) return -1;
      if (!GRIB_product_complete(handle)) continue;
      if (GRIB_get_version() != 2) break;  // an edition 1 product is one grid
    }
    const int passed = grid_pass_field_sections(handle, &scratch);
    if (passed > 0) {
      grid_continuation(f->fp, s);
      break;
    }
    if (passed == 0 || !skip_damaged(handle, f, s)) return -1;
  }
  s.read_current = true;
  return seek(f->fp, s.cur_pos) ? 0 : -1;
}

// Moves from the start of grid cur_grid to the start of the grid after it.
int advance(int handle, GridFile *f, GridState &s) {
  if (!s.read_current && pass_current(handle, f, s) != 0) return -1;
  if (step_to_next(handle, f, s) != 0) return -1;
  s.read_current = false;
  ++f->cur_grid;
  return 0;
}

// Passes over grids until the one asked for is next.
int skip_forward(int handle, GridFile *f, GridState &s, int n) {
  while (f->cur_grid < n) {
    if (!f->hdr_fp) {
      if (advance(handle, f, s) != 0) return -1;
      continue;
    }
    if (!grid_hdr_line(f, s, f->cur_grid + 1)) return -1;
    MESS_print(kTrace, "GRIB HDR3: %" PRId64 " %s\n", s.cur_pos, s.hdr_text);
    ++f->cur_grid;
  }
  return 0;
}

// Positions the file for grid n; through a header file, its line becomes the current one.
int position(int handle, GridFile *f, GridState &s, int n) {
  if (f->hdr_fp && !f->hdr_current) {
    // The first line of the header file belongs to grid 0.
    rewind(f->hdr_fp);
    f->cur_grid = 0;
    if (!grid_hdr_line(f, s, 0)) return -1;
    f->hdr_current = true;
  }
  const int c = f->cur_grid;
  if (n < c) {
    if (f->hdr_fp) {
      rewind(f->hdr_fp);
      f->cur_grid = 0;
      f->hdr_current = true;
    } else {
      GRD_rewind(handle);
    }
    s.new_pos = -1;
    s.cont = s.pcont = 0;
    s.read_current = false;
    if (f->hdr_fp) {
      if (!grid_hdr_line(f, s, 0)) return -1;
    } else {
      s.cur_pos = tell(f->fp);
    }
  } else if (n == c + 1) {
    if (!f->hdr_fp) return advance(handle, f, s);
    if (!grid_hdr_line(f, s, c + 1)) return -1;
    MESS_print(kTrace, "GRIB HDR1: %" PRId64 " %s\n", s.cur_pos, s.hdr_text);
    ++f->cur_grid;
  } else if (n == c) {
    if (f->hdr_fp && n == 0) {
      rewind(f->hdr_fp);
      if (!grid_hdr_line(f, s, 0)) return -1;
      MESS_print(kTrace, "GRIB HDR2: %" PRId64 " %s\n", s.cur_pos, s.hdr_text);
    }
    s.cont = s.pcont;
  }
  return skip_forward(handle, f, s, n);
}

// Lists a grid from its header file line alone; the GRIB file is not touched.
int header_fast_path(const GridFile *f, GridRecord *g, int mode, const char *line) {
  g->values.clear();
  GRD_init(g);
  g->version = 1;
  g->source = f->edition == 10 ? 98 : 7;
  g->base_date = f->base_date;
  if (grid_header_keys(line, g)) {
    // The line holds the package's codes, already mapped from the centre's own
    // parameter table when the grid was first read: only their units are looked up.
    const int source = g->source;
    g->source = 7;
    GRIB_units(g);
    g->source = source;
  }
  DOM_init(g->domain);
  GRIB_set_domain(g->type, &g->domain);
  MESS_print(kTrace, "GRIB HDR--%d %d %d %d %d %d\n", g->model, g->type, g->time, g->ltype, g->level, g->var);
  if (mode == 2) {
    VAR_make_datatype(g->time, g->ltype, g->level, g->var, g->units, g->info);
    DATE_make_label_for_time(g->time, GRD_model_key(g), &g->base_date, g->datim);
  }
  return 0;
}

// Results of decoding one grid.
constexpr int kDecoded = 0, kNoProduct = 1, kDamaged = -1;

int decode_edition1(int handle, GridRecord *g, int mode) {
  if (GRIB_PDB(handle, g) <= 0 || GRIB_GDB(handle, g) <= 0) return kDamaged;
  if (mode != 0) return kDecoded;
  grid_state().wind_dec = 0;
  GRIB_BMB(handle, g);
  GRIB_BDB(handle, g);
  return kDecoded;
}

// Decodes one edition 2 field: sections up to the header that follows its data.
int decode_edition2(int handle, GridFile *f, GridRecord *g, int mode) {
  GridState &s = grid_state();
  s.pcont = s.cont;
  bool data_seen = false;
  while (GRIB_read_section(handle)) {
    MESS_print(kTrace, "SECT: %d %" PRId64 "\n", GRIB_get_sect(), tell(f->fp));
    s.cont = 0;
    if (data_seen) break;
    switch (GRIB_get_sect()) {
      case 1:
        if (GRIB_IDS(handle, g) <= 0) return kDamaged;
        break;
      case 3:
        if (GRIB_GDS(handle, g) <= 0) return kDamaged;
        break;
      case 4:
        if (GRIB_PDS(handle, g) <= 0) return kDamaged;
        break;
      case 5: GRIB_DRS(handle, g); break;
      case 6:
        if (mode == 1) GRIB_skip_section(handle);
        else GRIB_BMS(handle);
        break;
      case 7:
        if (mode == 1) GRIB_skip_section(handle);
        else GRIB_DS(handle, g);
        data_seen = true;
        break;
      default: GRIB_skip_section(handle); break;
    }
  }
  if (!data_seen) {
    // A product already reported damaged needs no second message.
    if (!GRIB_damaged()) MESS_print(0xC0, "No product found\n");
    s.cont = 0;
    return kNoProduct;
  }
  s.new_pos = tell(f->fp);
  grid_continuation(f->fp, s);
  return kDecoded;
}

void no_product_at(const GridFile *f, int n, int64_t at) {
  MESS_print(0xC0, "%s: grid %d: no GRIB product at or after offset %" PRId64 ", where the header file puts it\n",
             f->path.c_str(), n, at);
}

// Positions a header-file read of grid n on its field: a line pointing into an
// edition 2 message needs the sections its fields share, decoded from the
// message start unless the field decoded last leads straight to it.
bool hdr_position(int handle, GridFile *f, GridState &s, int n) {
  if (s.field_handle == handle && s.field_after >= 0 && s.field_after == s.cur_pos) {
    s.msg_pos = s.field_msg;
  } else {
    s.msg_pos = grid_hdr_msg_pos(handle, f, f->hdr_offsets, n);
    if (s.msg_pos == s.cur_pos) {
      s.cont = 0;
      if (seek(f->fp, s.cur_pos)) return true;
      no_product_at(f, n, s.cur_pos);
      return false;
    }
    if (grid_reach_field(handle, f, s, s.msg_pos, s.cur_pos)) return true;
    MESS_print(0xC0, "%s: grid %d: no GRIB field at offset %" PRId64 ", where the header file puts it\n",
               f->path.c_str(), n, s.cur_pos);
    return false;
  }
  s.cont = 1;
  return seek(f->fp, s.cur_pos);
}

}  // namespace

int grid_next_grib_product(int handle, GridFile *f) {
  for (;;) {
    const int rc = GRIB_header(handle);
    if (rc < 0 || GRIB_is_grib()) return rc;
    const int64_t at = tell(f->fp);
    const int64_t next = GRIB_next(handle, 1);
    if (next <= at - 4 || !seek(f->fp, next)) return -1;  // the stream must move on
  }
}

int grid_pass_field_sections(int handle, GridRecord *scratch) {
  bool data_seen = false;
  while (GRIB_read_section(handle) && !data_seen) {
    switch (GRIB_get_sect()) {
      case 1:
        if (GRIB_IDS(handle, scratch) <= 0) return -1;
        break;
      case 3:
        if (GRIB_GDS(handle, scratch) <= 0) return -1;
        break;
      case 6: GRIB_BMS(handle); break;
      case 7: GRIB_skip_section(handle); data_seen = true; break;
      default: GRIB_skip_section(handle); break;
    }
  }
  if (GRIB_damaged()) return -1;
  return data_seen ? 1 : 0;
}

void grid_continuation(FILE *fp, GridState &s) {
  // Another field of the same message starts at the section header just read.
  s.cont = 1;
  const int sect = GRIB_get_sect();
  if (sect == -1) {
    s.new_pos = tell(fp);
    s.cont = 0;
  } else if (sect < 0 || sect > 7) {
    s.cont = 0;
  } else {
    s.new_pos = tell(fp) - 5;
  }
}

int grid_info_grib(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  info->grid_type = 0;
  GRIB_set_context(f->path.c_str(), 0);
  if (grid_next_grib_product(handle, f) < 0) return -1;
  GRIB_get_info(handle, info);
  f->base_date = info->date;
  GRD_rewind(handle);
  return 0;
}


int grid_read_grib(int handle, GridRecord *grid, int mode, int *grid_number) {
  GridFile *f = grid_file(handle);
  GridState &s = grid_state();
  const int n = *grid_number;
  if (position(handle, f, s, n) != 0) return -1;
  if (f->hdr_fp && mode != 0) {
    // Found from the GRIB file only when asked for (a raw copy).
    s.msg_pos = kMsgPosUnknown;
    s.msg_grid = n;
    return header_fast_path(f, grid, mode, s.hdr_text);
  }
  GRIB_set_context(f->path.c_str(), n);
  if (f->hdr_fp && !hdr_position(handle, f, s, n)) return -1;
  for (;;) {
    if (s.cont == 0) {
      s.cur_pos = tell(f->fp);
      s.msg_pos = s.cur_pos;
      if (grid_next_grib_product(handle, f) < 0) {
        if (f->hdr_fp) no_product_at(f, n, s.cur_pos);
        return -1;
      }
      if (!GRIB_product_complete(handle)) {
        if (f->hdr_fp) return -1;
        continue;
      }
    }
    grid->datim[0] = '\0';
    grid->info[0] = '\0';
    const bool edition2 = GRIB_get_version() == 2;
    s.field_after = -1;
    const int rc = edition2 ? decode_edition2(handle, f, grid, mode) : decode_edition1(handle, grid, mode);
    if (rc == kNoProduct) return 1;
    if (rc == kDecoded) {
      s.read_current = true;
      s.field_handle = handle;
      s.field_after = edition2 && s.cont == 1 ? s.new_pos : -1;
      s.field_msg = s.msg_pos;
      seek(f->fp, s.cur_pos);
      if (mode == 0 || edition2) *grid_number = f->cur_grid;
      return 0;
    }
    // A damaged product is not a grid: the search goes on after it, except
    // where a header file says a grid stands at this offset.
    if (f->hdr_fp || !skip_damaged(handle, f, s)) return -1;
  }
}
