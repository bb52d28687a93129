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

// Reads the next header file line; false when there is none.
bool read_header_line(FILE *hdr, GridState &s) {
  long long off = 0;
  s.hdr_text[0] = '\0';
  const int n = fscanf(hdr, "%lld %128[^\n]\n", &off, s.hdr_text);
  if (n < 1) return false;
  s.cur_pos = off;
  return true;
}

// Finds the next GRIB product, passing over the other products a feed may
// carry between them (BUFR messages, GRID blocks); negative at the end.
int next_grib_product(int handle, GridFile *f) {
  for (;;) {
    const int rc = GRIB_header(handle);
    if (rc < 0 || GRIB_is_grib()) return rc;
    const int64_t at = tell(f->fp);
    const int64_t next = GRIB_next(handle, 1);
    if (next <= at - 4 || !seek(f->fp, next)) return -1;  // the stream must move on
  }
}

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
    if (next_grib_product(handle, f) < 0) return -1;
    s.cur_pos = GRIB_next(handle, 1);
  }
  return 0;
}

// The continuation rule after the data of an edition 2 field: another field of
// the same message starts at the section header just read.
void continuation(FILE *fp, GridState &s) {
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

// Passes over one edition 2 field, decoding only what later fields reuse:
// sections are read up to the section header that follows the data.
int pass_edition2_field(int handle, GridFile *f, GridState &s, GridRecord *scratch) {
  if (step_to_next(handle, f, s) != 0) return -1;
  s.pcont = s.cont;
  bool data_seen = false;
  while (GRIB_read_section(handle) && !data_seen) {
    switch (GRIB_get_sect()) {
      case 1: GRIB_IDS(handle, scratch); break;
      case 3: GRIB_GDS(handle, scratch); break;
      case 6: GRIB_BMS(handle); break;
      case 7: GRIB_skip_section(handle); data_seen = true; break;
      default: GRIB_skip_section(handle); break;
    }
  }
  continuation(f->fp, s);
  return 0;
}

// Passes over grids until the one asked for is next.
int skip_forward(int handle, GridFile *f, GridState &s, int n) {
  GridRecord scratch{};
  while (f->cur_grid < n) {
    if (f->hdr_fp) {
      if (!read_header_line(f->hdr_fp, s)) return -1;
      MESS_print(kTrace, "GRIB HDR3: %" PRId64 " %s\n", s.cur_pos, s.hdr_text);
    } else if (GRIB_get_version() == 2) {
      if (pass_edition2_field(handle, f, s, &scratch) != 0) return -1;
    } else {
      if (next_grib_product(handle, f) < 0) return -1;
      s.cur_pos = GRIB_next(handle, 0);
      seek(f->fp, s.cur_pos);
    }
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
    if (!read_header_line(f->hdr_fp, s)) return -1;
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
    if (f->hdr_fp) {
      if (!read_header_line(f->hdr_fp, s)) return -1;
    } else {
      s.cur_pos = tell(f->fp);
    }
  } else if (n == c + 1) {
    if (f->hdr_fp) {
      if (!read_header_line(f->hdr_fp, s)) return -1;
      MESS_print(kTrace, "GRIB HDR1: %" PRId64 " %s\n", s.cur_pos, s.hdr_text);
    } else if (step_to_next(handle, f, s) != 0) {
      return -1;
    }
    ++f->cur_grid;
  } else if (n == c) {
    if (f->hdr_fp && n == 0) {
      rewind(f->hdr_fp);
      if (!read_header_line(f->hdr_fp, s)) return -1;
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
  continuation(f->fp, s);
  return kDecoded;
}

// Steps over a product its decoder found damaged (the decoder has said so);
// false when the stream cannot move past it.
bool skip_damaged(int handle, GridFile *f, GridState &s) {
  seek(f->fp, s.cur_pos);
  s.cont = s.pcont = 0;
  if (next_grib_product(handle, f) < 0) return false;
  const int64_t next = GRIB_next(handle, 1);
  return next > s.cur_pos && seek(f->fp, next);
}

}  // namespace

int grid_info_grib(int handle, GridFileInfo *info) {
  GridFile *f = grid_file(handle);
  info->grid_type = 0;
  GRIB_set_context(f->path.c_str(), 0);
  if (next_grib_product(handle, f) < 0) return -1;
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
    s.msg_pos = s.cur_pos;
    return header_fast_path(f, grid, mode, s.hdr_text);
  }
  if (f->hdr_fp) seek(f->fp, s.cur_pos);
  GRIB_set_context(f->path.c_str(), n);
  for (;;) {
    if (s.cont == 0) {
      s.cur_pos = tell(f->fp);
      s.msg_pos = s.cur_pos;
      if (next_grib_product(handle, f) < 0) {
        if (f->hdr_fp)
          MESS_print(0xC0, "%s: grid %d: no GRIB product at or after offset %" PRId64
                     ", where the header file puts it\n", f->path.c_str(), n, s.cur_pos);
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
    const int rc = edition2 ? decode_edition2(handle, f, grid, mode) : decode_edition1(handle, grid, mode);
    if (rc == kNoProduct) return 1;
    if (rc == kDecoded) {
      seek(f->fp, s.cur_pos);
      if (mode == 0 || edition2) *grid_number = f->cur_grid;
      return 0;
    }
    // A damaged product is not a grid: the search goes on after it, except
    // where a header file says a grid stands at this offset.
    if (f->hdr_fp || !skip_damaged(handle, f, s)) return -1;
  }
}
